// The archive's length and count forms byte for byte, and strings stored
// with 16-bit characters.
#include "workspace/ArchiveReader.h"
#include "workspace/ArchiveWriter.h"

#include <gtest/gtest.h>

namespace {
QByteArray Hex(const char* hex) { return QByteArray::fromHex(hex); }
}

TEST(Archive, EachStringLengthAndCountTakesItsForm)
{
    // A string of 16-bit characters (0xFF, marker 0xFFFE, length 3) reads as 8-bit text; Omega has no 8-bit form.
    CArchiveReader wide(Hex("fffeff03" "4100" "e900" "a903"));
    QByteArray read;
    EXPECT_TRUE(wide.ReadString(read) && wide.AtEnd());
    EXPECT_EQ(read, QByteArray("A\xE9?"));
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
        const QByteArray exact = writer.Bytes() + QByteArray(2 * row.count, '\0');
        EXPECT_TRUE(CArchiveReader(exact).ReadCount(count, 2));
        EXPECT_EQ(count, row.count);
        EXPECT_EQ(CArchiveReader(exact.chopped(row.count ? 1 : 0)).ReadCount(count, 2), row.count == 0);
    }
    // A count cut short, in its 16-bit or in its escaped 32-bit form, is a damaged file.
    std::uint32_t count = 0;
    for (const char* cut : { "ff", "ffff452301" })
        EXPECT_FALSE(CArchiveReader(Hex(cut)).ReadCount(count, 0)) << cut;
}
