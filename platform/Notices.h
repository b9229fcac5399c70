#pragma once
// Modal notices (message boxes) with a fixed text, caption and icon.
// Tests install a recorder that answers at once instead of opening a box.
// UI thread only.
#include <QString>
#include <vector>

enum class NoticeIcon { None, Information, Warning, Error };

struct CNotice {
    QString text;
    QString caption;
    NoticeIcon icon = NoticeIcon::None;
};

class INoticeSink {
public:
    virtual ~INoticeSink() = default;
    virtual void Show(const CNotice& notice) = 0;
};

class CNotices {
public:
    // Shows a modal box with an OK button, no owner window.
    static void MessageBox(const QString& text, const QString& caption, NoticeIcon icon = NoticeIcon::Warning);
    // Replaces the real message box; nullptr restores it. Returns the previous sink.
    static INoticeSink* SetSink(INoticeSink* sink);
};

// Records every notice instead of showing it, for as long as it lives.
class CNoticeRecorder : public INoticeSink {
public:
    CNoticeRecorder();
    ~CNoticeRecorder() override;
    CNoticeRecorder(const CNoticeRecorder&) = delete;
    CNoticeRecorder& operator=(const CNoticeRecorder&) = delete;

    void Show(const CNotice& notice) override;
    const std::vector<CNotice>& Notices() const { return m_notices; }
    void Clear() { m_notices.clear(); }

private:
    INoticeSink* m_pPrevious;
    std::vector<CNotice> m_notices;
};
