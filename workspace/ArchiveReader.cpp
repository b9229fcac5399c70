#include "workspace/ArchiveReader.h"
#include "workspace/ArchiveEscapes.h"

#include <QString>
#include <QtEndian>

namespace {
// After the 8-bit escape, this 2-byte value marks a string of 16-bit
// characters whose length prefix follows again.
constexpr std::uint16_t kWideMarker = 0xFFFE;
}

bool CArchiveReader::Fail()
{
    m_bFailed = true;
    return false;
}

bool CArchiveReader::Take(qint64 size, const char*& data)
{
    if (m_bFailed || size < 0 || size > BytesLeft())
        return Fail();
    data = m_bytes.constData() + m_nPos;
    m_nPos += size;
    return true;
}

bool CArchiveReader::ReadU8(std::uint8_t& value)
{
    const char* data = nullptr;
    if (!Take(1, data))
        return false;
    value = static_cast<std::uint8_t>(*data);
    return true;
}

bool CArchiveReader::ReadU16(std::uint16_t& value)
{
    const char* data = nullptr;
    if (!Take(2, data))
        return false;
    value = qFromLittleEndian<std::uint16_t>(data);
    return true;
}

bool CArchiveReader::ReadU32(std::uint32_t& value)
{
    const char* data = nullptr;
    if (!Take(4, data))
        return false;
    value = qFromLittleEndian<std::uint32_t>(data);
    return true;
}

bool CArchiveReader::ReadI32(std::int32_t& value)
{
    std::uint32_t raw = 0;
    if (!ReadU32(raw))
        return false;
    value = static_cast<std::int32_t>(raw);
    return true;
}

bool CArchiveReader::ReadCount(std::uint32_t& count, std::uint32_t minItemBytes)
{
    std::uint16_t shortCount = 0;
    if (!ReadU16(shortCount))
        return false;
    std::uint32_t value = shortCount;
    if (shortCount == ArchiveEscapes::kCount && !ReadU32(value))
        return false;
    // A count the rest of the file cannot hold is corruption, not a reason
    // to loop or allocate that many items.
    if (static_cast<qint64>(value) * minItemBytes > BytesLeft())
        return Fail();
    count = value;
    return true;
}

bool CArchiveReader::ReadStringLength(std::uint32_t& length, bool& wide)
{
    // Each pass consumes at least 3 bytes, so a run of markers ends with the file.
    for (;;) {
        std::uint8_t shortLength = 0;
        if (!ReadU8(shortLength))
            return false;
        if (shortLength < ArchiveEscapes::kLength8) {
            length = shortLength;
            return true;
        }
        std::uint16_t midLength = 0;
        if (!ReadU16(midLength))
            return false;
        if (midLength == kWideMarker) {
            wide = true;
            continue;
        }
        if (midLength == ArchiveEscapes::kLength16)
            return ReadU32(length);
        length = midLength;
        return true;
    }
}

bool CArchiveReader::ReadString(QByteArray& text)
{
    std::uint32_t length = 0;
    bool wide = false;
    if (!ReadStringLength(length, wide))
        return false;
    const qint64 size = static_cast<qint64>(length) * (wide ? 2 : 1);
    const char* data = nullptr;
    if (!Take(size, data))
        return false;
    if (!wide) {
        text = QByteArray(data, size);
        return true;
    }
    QString wideText(static_cast<qsizetype>(length), Qt::Uninitialized);
    for (std::uint32_t i = 0; i < length; ++i)
        wideText[i] = QChar(qFromLittleEndian<std::uint16_t>(data + 2 * i));
    text = wideText.toLatin1();
    return true;
}
