#pragma once
// One window's settings in a workspace: title, instrument type, placement
// and ten option parameters. Plain data; UI thread only.
#include "platform/WindowPlacement.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>

class CArchiveReader;
class CArchiveWriter;

// Instrument types, the resource numbers of the four document templates.
constexpr std::uint32_t kTypePpm = 129;
constexpr std::uint32_t kTypeCorrelation = 131;
constexpr std::uint32_t kTypeAnalyzer = 132;
constexpr std::uint32_t kTypeStereo = 133;

class CWinSet {
public:
    static constexpr int kParams = 10;

    // Title and second text are byte strings in the file's 8-bit code page.
    QByteArray m_strTitle;
    QByteArray m_strText2;
    std::uint32_t m_nType = 0;
    CWindowPlacement m_wp = ZeroPlacement();
    std::array<std::int32_t, kParams> m_nParam {};

    // A new record's placement is all zero, length included.
    static CWindowPlacement ZeroPlacement() { return CWindowPlacement::FromValues({}); }
    bool operator==(const CWinSet&) const = default;

    // Window text to and from the file's 8-bit form (Latin-1; characters
    // outside it become '?').
    static QByteArray TextToBytes(const QString& text) { return text.toLatin1(); }
    static QString BytesToText(const QByteArray& bytes) { return QString::fromLatin1(bytes); }

    // The record in the file: title, second text, type, the 44-byte
    // placement, the ten parameters. Read leaves the record untouched and
    // returns false when the bytes run out.
    void Write(CArchiveWriter& archive) const;
    bool Read(CArchiveReader& archive);
    // The fewest bytes a record takes in the file (two empty strings).
    static constexpr int kMinFileBytes = 1 + 1 + 4 + CWindowPlacement::kBytes + 4 * kParams;
};
