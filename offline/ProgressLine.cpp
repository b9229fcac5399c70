#include "offline/ProgressLine.h"

#include "offline/OfflineIds.h"

#include <cmath>

namespace {
// Often enough to look alive, rarely enough to cost nothing.
constexpr auto kShowEvery = std::chrono::milliseconds(250);

QString Duration(double seconds)
{
    const auto whole = static_cast<long long>(std::ceil(seconds));
    if (whole < 60)
        return QStringLiteral("%1 s").arg(whole);
    if (whole < 3600)
        return QStringLiteral("%1 min %2 s").arg(whole / 60).arg(whole % 60);
    return QStringLiteral("%1 h %2 min").arg(whole / 3600).arg((whole % 3600) / 60);
}
}

CProgressLine::CProgressLine(std::FILE* err, int total)
    : m_err(err), m_total(total), m_start(Clock::now()), m_lastShown(m_start - kShowEvery)
{
}

void CProgressLine::FileDone(double audioSeconds)
{
    ++m_done;
    m_audioSeconds += audioSeconds;
    const Clock::time_point now = Clock::now();
    if (now - m_lastShown < kShowEvery && m_done < m_total)
        return;
    m_lastShown = now;
    const QByteArray text = QByteArray(offline::kProgramName) + ": "
        + Text(m_done, m_total, m_audioSeconds, std::chrono::duration<double>(now - m_start).count()).toUtf8();
    // Padding covers what a longer earlier line left behind.
    const int pad = m_shownWidth > text.size() ? m_shownWidth - static_cast<int>(text.size()) : 0;
    std::fprintf(m_err, "\r%s%*s", text.constData(), pad, "");
    std::fflush(m_err);
    m_shownWidth = static_cast<int>(text.size());
}

void CProgressLine::Finish()
{
    if (m_shownWidth == 0)
        return;
    std::fprintf(m_err, "\r%*s\r", m_shownWidth, "");
    std::fflush(m_err);
    m_shownWidth = 0;
}

QString CProgressLine::Text(int done, int total, double audioSeconds, double elapsedSeconds)
{
    QString text = QStringLiteral("%1 of %2 files").arg(done).arg(total);
    if (elapsedSeconds <= 0.0 || done == 0)
        return text;
    text += QStringLiteral(", %1x real time").arg(audioSeconds / elapsedSeconds, 0, 'f', 1);
    if (done < total) {
        const double perFile = elapsedSeconds / done;
        text += QStringLiteral(", about %1 left").arg(Duration(perFile * (total - done)));
    }
    return text;
}
