#include "shell/AboutAnimation.h"

#include "shell/ShellIds.h"

#include <QPainter>
#include <cmath>
#include <numbers>

using namespace ShellIds;

namespace {
constexpr QColor kGround(0, 0, 0);
constexpr QColor kBarLow(0, 192, 0);
constexpr QColor kBarHigh(255, 255, 0);
constexpr QColor kTrace(0, 255, 255);
constexpr QColor kGrid(128, 128, 128);
constexpr int kTracePoints = 96;
}

CAboutAnimation::CAboutAnimation(QWidget* parent) : QWidget(parent)
{
    for (int i = 0; i < kAboutAnimationFrames; ++i)
        m_frames.push_back(DrawFrame(i, kAboutAnimationFrames, kAboutAnimationSize));
    m_timer.setInterval(kAboutAnimationFrameMs);
    connect(&m_timer, &QTimer::timeout, this, &CAboutAnimation::NextFrame);
    setFixedSize(sizeHint());
}

QSize CAboutAnimation::sizeHint() const { return QSize(kAboutAnimationSize, kAboutAnimationSize); }

QImage CAboutAnimation::DrawFrame(int index, int count, int size)
{
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(kGround);
    QPainter p(&image);
    const double t = count > 1 ? static_cast<double>(index) / (count - 1) : 1.0;

    // Two bars at the left rise with an ease-out towards their final levels.
    const double rise = 1.0 - (1.0 - t) * (1.0 - t);
    const int barWidth = size / 8;
    const int levels[2] = { static_cast<int>(rise * size * 0.85), static_cast<int>(rise * size * 0.7) };
    for (int ch = 0; ch < 2; ++ch) {
        const int x = 2 + ch * (barWidth + 2);
        const int top = size - 2 - levels[ch];
        const int split = size - 2 - static_cast<int>(size * 0.6);
        p.fillRect(QRect(x, std::max(top, split), barWidth, size - 2 - std::max(top, split)), kBarLow);
        if (top < split)
            p.fillRect(QRect(x, top, barWidth, split - top), kBarHigh);
    }

    // At the right, a stereo trace: an ellipse on the diagonals that opens
    // from a line (mono) to a wide figure as the frames go on.
    const QRectF area(size * 0.35, 2, size * 0.63, size - 4);
    p.setPen(kGrid);
    p.drawLine(area.topLeft(), area.bottomRight());
    p.drawLine(area.bottomLeft(), area.topRight());
    p.setPen(kTrace);
    const double width = 0.05 + 0.9 * t;
    for (int i = 0; i < kTracePoints; ++i) {
        const double a = 2.0 * std::numbers::pi * i / kTracePoints;
        const double mid = std::sin(a);
        const double side = width * std::sin(3.0 * a) * 0.5;
        const double x = area.center().x() + side * area.width() / 2;
        const double y = area.center().y() - mid * area.height() / 2 * 0.9;
        p.drawPoint(QPointF(x, y));
    }
    return image;
}

void CAboutAnimation::Play()
{
    m_nFrame = 0;
    update();
    m_timer.start();
}

void CAboutAnimation::NextFrame()
{
    if (m_nFrame + 1 >= FrameCount()) {
        m_timer.stop();
        emit Finished();
        return;
    }
    ++m_nFrame;
    update();
}

void CAboutAnimation::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawImage(0, 0, m_frames[static_cast<std::size_t>(m_nFrame)]);
}
