// The archive's length and count forms byte for byte, strings stored with
// 16-bit characters, and reads that would run past the end.
#include "workspace/ArchiveReader.h"
#include "workspace/ArchiveWriter.h"

#include <gtest/gtest.h>

namespace {
QByteArray Hex(const char* hex) { return QByteArray::fromHex(hex); }
}

TEST(Archive, EachStringLengthAndCountTakesItsForm)
{
    const struct {
        int length;
        const char* prefix;
    } strings[] = { { 0, "00" }, { 254, "fe" }, { 255, "ffff00" }, { 0xFFFD, "fffdff" }, { 0xFFFE, "fffffffeff0000" },
        { 70000, "ffffff70110100" } };
    for (const auto& row : strings) {
        SCOPED_TRACE(row.length);
        const QByteArray text(row.length, 'x');
        CArchiveWriter writer;
        writer.WriteString(text);
        EXPECT_EQ(writer.Bytes(), Hex(row.prefix) + text);
        CArchiveReader reader(writer.Bytes());
        QByteArray read;
        EXPECT_TRUE(reader.ReadString(read) && reader.AtEnd());
        EXPECT_EQ(read, text);
    }
    const struct {
        std::uint32_t count;
        const char* bytes;
    } counts[] = { { 0, "0000" }, { 0xFFFE, "feff" }, { 0xFFFF, "ffffffff0000" }, { 0x12345, "ffff45230100" } };
    for (const auto& row : counts) {
        SCOPED_TRACE(row.count);
        CArchiveWriter writer;
        writer.WriteCount(row.count);
        EXPECT_EQ(writer.Bytes(), Hex(row.bytes));
        // Items of two bytes each: exactly enough bytes, then one too few.
        std::uint32_t count = 7;
        EXPECT_TRUE(CArchiveReader(writer.Bytes() + QByteArray(2 * row.count, '\0')).ReadCount(count, 2));
        EXPECT_EQ(count, row.count);
        EXPECT_EQ(CArchiveReader(writer.Bytes() + QByteArray(qsizetype(2 * row.count) - 1, '\0')).ReadCount(count, 2), row.count == 0);
    }
}

// 16-bit strings (0xFF, marker 0xFFFE, then the length) read as 8-bit text;
// a read past the end fails, reads nothing and leaves the reader failed.
TEST(Archive, SixteenBitStringsReadAsEightBitTextAndShortReadsFail)
{
    QByteArray wide300 = Hex("fffeff" "ff2c01");
    for (int i = 0; i < 300; ++i)
        wide300 += Hex("4200");
    const struct {
        QByteArray bytes, text;
    } rows[] = {
        { Hex("fffeff03" "4100" "e900" "a903"), "A\xE9?" }, // Omega has no 8-bit form
        { wide300, QByteArray(300, 'B') },
        { Hex("05") + "abcd", {} },
        { Hex("fffeff03" "41004200"), {} },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.bytes.left(8).toHex().toStdString());
        CArchiveReader reader(row.bytes);
        QByteArray text;
        EXPECT_EQ(reader.ReadString(text), !row.text.isEmpty());
        EXPECT_EQ(text, row.text);
        EXPECT_EQ(reader.Failed() ? 0 : reader.AtEnd() ? 1 : 2, row.text.isEmpty() ? 0 : 1);
    }
    CArchiveReader reader(Hex("0102"));
    std::uint32_t value = 0;
    std::uint8_t byte = 0;
    EXPECT_FALSE(reader.ReadU32(value));
    EXPECT_FALSE(reader.ReadU8(byte)); // the two bytes are there, but the reader already failed
}
