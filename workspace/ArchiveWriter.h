#pragma once
// Writes the workspace file's primitives into a byte buffer: little-endian
// integers, counts and length-prefixed 8-bit strings in the archive format
// the file has always used. Plain C++; any thread, one writer per thread.
#include <QByteArray>
#include <cstdint>

class CArchiveWriter {
public:
    void WriteU8(std::uint8_t value);
    void WriteU16(std::uint16_t value);
    void WriteU32(std::uint32_t value);
    void WriteI32(std::int32_t value);
    // Below 0xFFFF: 2 bytes; otherwise 0xFFFF and the value in 4 bytes.
    void WriteCount(std::uint32_t count);
    // The length (1 byte below 255; 0xFF and 2 bytes up to 0xFFFD; 0xFF,
    // 0xFFFF and 4 bytes above), then the bytes, no terminator.
    void WriteString(const QByteArray& text);

    const QByteArray& Bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};
