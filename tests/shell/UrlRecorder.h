#pragma once
// Takes the place of the desktop's handlers for file and web addresses while
// it lives, and records what it was asked to open.
#include <QDesktopServices>
#include <QObject>
#include <QUrl>
#include <vector>

class CUrlRecorder : public QObject {
    Q_OBJECT
public:
    CUrlRecorder()
    {
        for (const char* scheme : { "file", "http", "https" })
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "Open");
    }
    ~CUrlRecorder() override
    {
        for (const char* scheme : { "file", "http", "https" })
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }
    std::vector<QUrl> m_urls;

public slots:
    void Open(const QUrl& url) { m_urls.push_back(url); }
};
