#pragma once
// The About box's animation: a short loop of frames drawn once at
// construction (two level bars rising to their peaks beside a stereo trace
// that opens out), played once from the first to the last frame, then
// standing on the last. UI thread only.
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <vector>

class CAboutAnimation : public QWidget {
    Q_OBJECT
public:
    explicit CAboutAnimation(QWidget* parent = nullptr);

    void Play();
    bool IsPlaying() const { return m_timer.isActive(); }
    int CurrentFrame() const { return m_nFrame; }
    int FrameCount() const { return static_cast<int>(m_frames.size()); }
    const QImage& Frame(int index) const { return m_frames[static_cast<std::size_t>(index)]; }

    QSize sizeHint() const override;

signals:
    void Finished();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void NextFrame();
    static QImage DrawFrame(int index, int count, int size);

    std::vector<QImage> m_frames;
    int m_nFrame = 0;
    QTimer m_timer;
};
