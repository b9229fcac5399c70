#include "workspace/ArchiveWriter.h"
#include "workspace/ArchiveEscapes.h"

#include <QtEndian>

namespace {
// Lengths from here on no longer fit the 2-byte form, whose top values
// 0xFFFE and 0xFFFF are markers.
constexpr std::uint32_t kFirst32BitLength = 0xFFFE;
}

void CArchiveWriter::WriteU8(std::uint8_t value) { m_bytes.append(static_cast<char>(value)); }

void CArchiveWriter::WriteU16(std::uint16_t value)
{
    char bytes[2];
    qToLittleEndian<std::uint16_t>(value, bytes);
    m_bytes.append(bytes, 2);
}

void CArchiveWriter::WriteU32(std::uint32_t value)
{
    char bytes[4];
    qToLittleEndian<std::uint32_t>(value, bytes);
    m_bytes.append(bytes, 4);
}

void CArchiveWriter::WriteI32(std::int32_t value) { WriteU32(static_cast<std::uint32_t>(value)); }

void CArchiveWriter::WriteCount(std::uint32_t count)
{
    if (count < ArchiveEscapes::kCount) {
        WriteU16(static_cast<std::uint16_t>(count));
        return;
    }
    WriteU16(ArchiveEscapes::kCount);
    WriteU32(count);
}

void CArchiveWriter::WriteString(const QByteArray& text)
{
    const auto length = static_cast<std::uint32_t>(text.size());
    if (length < ArchiveEscapes::kLength8) {
        WriteU8(static_cast<std::uint8_t>(length));
    } else if (length < kFirst32BitLength) {
        WriteU8(ArchiveEscapes::kLength8);
        WriteU16(static_cast<std::uint16_t>(length));
    } else {
        WriteU8(ArchiveEscapes::kLength8);
        WriteU16(ArchiveEscapes::kLength16);
        WriteU32(length);
    }
    m_bytes.append(text);
}
