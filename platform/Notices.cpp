#include "platform/Notices.h"

#include <QMessageBox>

namespace {
INoticeSink* g_pSink = nullptr;

QMessageBox::Icon ToQtIcon(NoticeIcon icon)
{
    switch (icon) {
    case NoticeIcon::Information: return QMessageBox::Information;
    case NoticeIcon::Warning: return QMessageBox::Warning;
    case NoticeIcon::Error: return QMessageBox::Critical;
    case NoticeIcon::None: break;
    }
    return QMessageBox::NoIcon;
}
}

void CNotices::MessageBox(const QString& text, const QString& caption, NoticeIcon icon)
{
    const CNotice notice { text, caption, icon };
    if (g_pSink) {
        g_pSink->Show(notice);
        return;
    }
    QMessageBox box(ToQtIcon(icon), caption, text, QMessageBox::Ok);
    box.exec();
}

INoticeSink* CNotices::SetSink(INoticeSink* sink)
{
    INoticeSink* previous = g_pSink;
    g_pSink = sink;
    return previous;
}

CNoticeRecorder::CNoticeRecorder() : m_pPrevious(CNotices::SetSink(this)) {}

CNoticeRecorder::~CNoticeRecorder() { CNotices::SetSink(m_pPrevious); }

void CNoticeRecorder::Show(const CNotice& notice) { m_notices.push_back(notice); }
