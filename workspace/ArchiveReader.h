#pragma once
// Reads the workspace file's primitives from a byte buffer (see
// CArchiveWriter). Every read checks the bytes left first: a value, count or
// string that runs past the end makes the reader fail, and once failed every
// further read fails too, so a caller may check once at the end. Nothing is
// allocated beyond what the buffer can hold. Plain C++; one reader per thread.
#include <QByteArray>
#include <cstdint>

class CArchiveReader {
public:
    explicit CArchiveReader(const QByteArray& bytes) : m_bytes(bytes) {}

    bool ReadU8(std::uint8_t& value);
    bool ReadU16(std::uint16_t& value);
    bool ReadU32(std::uint32_t& value);
    bool ReadI32(std::int32_t& value);
    // A count of items each at least `minItemBytes` long; fails when that
    // many items cannot fit in the bytes left.
    bool ReadCount(std::uint32_t& count, std::uint32_t minItemBytes = 1);
    // A length-prefixed string; a string stored with 16-bit characters is
    // converted to 8-bit text (characters outside it become '?').
    bool ReadString(QByteArray& text);

    bool Failed() const { return m_bFailed; }
    bool AtEnd() const { return m_nPos == m_bytes.size(); }
    qint64 BytesLeft() const { return m_bytes.size() - m_nPos; }

private:
    bool Take(qint64 size, const char*& data);
    bool ReadStringLength(std::uint32_t& length, bool& wide);
    bool Fail();

    const QByteArray m_bytes;
    qint64 m_nPos = 0;
    bool m_bFailed = false;
};
