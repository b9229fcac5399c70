// The archive's length and count forms byte for byte, strings stored with
// 16-bit characters, and reads that would run past the end.
#include "workspace/ArchiveReader.h"
#include "workspace/ArchiveWriter.h"

#include <gtest/gtest.h>

namespace {
QByteArray Hex(const char* hex) { return QByteArray::fromHex(hex); }

// The string read from `bytes`, and whether it was read and used them all.
std::pair<QByteArray, bool> ReadOne(const QByteArray& bytes)
{
    CArchiveReader reader(bytes);
    QByteArray text;
    const bool ok = reader.ReadString(text);
    return { text, ok && reader.AtEnd() };
}
}

TEST(Archive, EachStringLengthTakesItsPrefixForm)
{
    const struct {
        int length;
        const char* prefix;
    } rows[] = { { 0, "00" }, { 11, "0b" }, { 254, "fe" }, { 255, "ffff00" }, { 0xFFFD, "fffdff" },
        { 0xFFFE, "fffffffeff0000" }, { 70000, "ffffff70110100" } };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.length);
        const QByteArray text(row.length, 'x');
        CArchiveWriter writer;
        writer.WriteString(text);
        EXPECT_EQ(writer.Bytes(), Hex(row.prefix) + text);
        EXPECT_EQ(ReadOne(writer.Bytes()), std::make_pair(text, true));
    }
}

TEST(Archive, EachCountTakesItsFormAndMustFitInTheBytesLeft)
{
    const struct {
        std::uint32_t count;
        const char* bytes;
    } rows[] = { { 0, "0000" }, { 8, "0800" }, { 0xFFFE, "feff" }, { 0xFFFF, "ffffffff0000" }, { 0x12345, "ffff45230100" } };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.count);
        CArchiveWriter writer;
        writer.WriteCount(row.count);
        EXPECT_EQ(writer.Bytes(), Hex(row.bytes));
        // Items of two bytes each: exactly enough bytes, then one too few.
        std::uint32_t count = 7;
        CArchiveReader fits(writer.Bytes() + QByteArray(2 * row.count, '\0'));
        EXPECT_TRUE(fits.ReadCount(count, 2));
        EXPECT_EQ(count, row.count);
        CArchiveReader short1(writer.Bytes() + QByteArray(qsizetype(2 * row.count) - 1, '\0'));
        EXPECT_EQ(short1.ReadCount(count, 2), row.count == 0);
    }
}

TEST(Archive, SixteenBitStringsReadAsEightBitText)
{
    // 0xFF, marker 0xFFFE, length 3: 'A', e-acute and Omega, which has no 8-bit form.
    EXPECT_EQ(ReadOne(Hex("fffeff03" "4100" "e900" "a903")), std::make_pair(QByteArray("A\xE9?"), true));
    // The length after the marker may take its longer form too.
    QByteArray wide300 = Hex("fffeff" "ff2c01");
    for (int i = 0; i < 300; ++i)
        wide300 += Hex("4200");
    EXPECT_EQ(ReadOne(wide300), std::make_pair(QByteArray(300, 'B'), true));
}

TEST(Archive, ReadsPastTheEndFailAndStayFailed)
{
    for (const QByteArray& bytes : { Hex("05") + "abcd", Hex("ffffffffffffff") + "abc", Hex("fffeff03" "41004200"), Hex("ff"),
             Hex("ffff") }) {
        SCOPED_TRACE(bytes.toHex().toStdString());
        CArchiveReader reader(bytes);
        QByteArray text;
        EXPECT_FALSE(reader.ReadString(text));
        EXPECT_TRUE(text.isEmpty() && reader.Failed());
    }
    CArchiveReader reader(Hex("0102"));
    std::uint32_t value = 0;
    std::uint8_t byte = 0;
    EXPECT_FALSE(reader.ReadU32(value));
    EXPECT_FALSE(reader.ReadU8(byte)) << "the two bytes are there, but the reader already failed";
}
