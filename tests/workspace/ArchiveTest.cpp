// The archive's length and count forms, byte for byte, and how the reader
// treats strings stored with 16-bit characters and lengths past the end.
#include "workspace/ArchiveReader.h"
#include "workspace/ArchiveWriter.h"

#include <gtest/gtest.h>

namespace {
QByteArray Written(const QByteArray& text)
{
    CArchiveWriter writer;
    writer.WriteString(text);
    return writer.Bytes();
}

QByteArray WrittenCount(std::uint32_t count)
{
    CArchiveWriter writer;
    writer.WriteCount(count);
    return writer.Bytes();
}

QByteArray ReadBack(const QByteArray& bytes, bool* ok = nullptr)
{
    CArchiveReader reader(bytes);
    QByteArray text;
    const bool read = reader.ReadString(text);
    if (ok)
        *ok = read && reader.AtEnd();
    return text;
}
}

TEST(ArchiveString, LengthBelow255HasOneBytePrefix)
{
    EXPECT_EQ(Written(""), QByteArray::fromHex("00"));
    EXPECT_EQ(Written("Workspace 1"), QByteArray::fromHex("0b") + "Workspace 1");
    const QByteArray text254(254, 'x');
    const QByteArray bytes = Written(text254);
    ASSERT_EQ(bytes.size(), 255);
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0xFE);
    EXPECT_EQ(ReadBack(bytes), text254);
}

TEST(ArchiveString, LengthFrom255To0xFFFDHasThreeBytePrefix)
{
    const QByteArray text255(255, 'y');
    const QByteArray bytes255 = Written(text255);
    EXPECT_EQ(bytes255.left(3), QByteArray::fromHex("ffff00"));
    EXPECT_EQ(bytes255.size(), 3 + 255);
    EXPECT_EQ(ReadBack(bytes255), text255);

    const QByteArray textMax(0xFFFD, 'z');
    const QByteArray bytesMax = Written(textMax);
    EXPECT_EQ(bytesMax.left(3), QByteArray::fromHex("fffdff"));
    EXPECT_EQ(ReadBack(bytesMax), textMax);
}

TEST(ArchiveString, Length0xFFFEAndAboveHasSevenBytePrefix)
{
    const QByteArray text(0xFFFE, 'w');
    const QByteArray bytes = Written(text);
    EXPECT_EQ(bytes.left(7), QByteArray::fromHex("fffffffeff0000"));
    EXPECT_EQ(bytes.size(), 7 + 0xFFFE);
    bool ok = false;
    EXPECT_EQ(ReadBack(bytes, &ok), text);
    EXPECT_TRUE(ok);

    const QByteArray longer(70000, 'v');
    EXPECT_EQ(Written(longer).left(7), QByteArray::fromHex("ffffff70110100"));
    EXPECT_EQ(ReadBack(Written(longer)), longer);
}

TEST(ArchiveString, SixteenBitStringReadsAsEightBitText)
{
    // 0xFF, marker 0xFFFE, length 3, then 'A', e-acute and Greek Omega as
    // 16-bit characters; Omega has no 8-bit form.
    bool ok = false;
    const QByteArray text = ReadBack(QByteArray::fromHex("fffeff03" "4100" "e900" "a903"), &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(text, QByteArray("A\xE9?"));
    // The length prefix after the marker may take its longer forms too.
    QByteArray wide300 = QByteArray::fromHex("fffeff" "ff2c01");
    for (int i = 0; i < 300; ++i)
        wide300 += QByteArray::fromHex("4200");
    EXPECT_EQ(ReadBack(wide300, &ok), QByteArray(300, 'B'));
    EXPECT_TRUE(ok);
}

TEST(ArchiveString, LengthPastTheEndFailsWithoutReading)
{
    bool ok = true;
    ReadBack(QByteArray::fromHex("05") + "abcd", &ok);
    EXPECT_FALSE(ok);
    // A 4-byte length near 4 GiB in a 10-byte buffer.
    CArchiveReader reader(QByteArray::fromHex("ffffffffffffff") + "abc");
    QByteArray text;
    EXPECT_FALSE(reader.ReadString(text));
    EXPECT_TRUE(text.isEmpty());
    // Sixteen-bit characters take two bytes each: 3 characters need 6.
    ReadBack(QByteArray::fromHex("fffeff03" "41004200"), &ok);
    EXPECT_FALSE(ok);
}

TEST(ArchiveReader, FailureIsSticky)
{
    CArchiveReader reader(QByteArray::fromHex("0102"));
    std::uint32_t value = 0;
    EXPECT_FALSE(reader.ReadU32(value));
    std::uint8_t byte = 0;
    EXPECT_FALSE(reader.ReadU8(byte)); // the two bytes are still there, but the read already failed
    EXPECT_TRUE(reader.Failed());
}

TEST(ArchiveCount, TwoBytesBelow0xFFFFThenEscape)
{
    EXPECT_EQ(WrittenCount(0), QByteArray::fromHex("0000"));
    EXPECT_EQ(WrittenCount(8), QByteArray::fromHex("0800"));
    EXPECT_EQ(WrittenCount(0xFFFE), QByteArray::fromHex("feff"));
    EXPECT_EQ(WrittenCount(0xFFFF), QByteArray::fromHex("ffffffff0000"));
    EXPECT_EQ(WrittenCount(0x12345), QByteArray::fromHex("ffff45230100"));
}

TEST(ArchiveCount, ReadsBothFormsAndRefusesCountsThatCannotFit)
{
    std::uint32_t count = 0;
    CArchiveReader escaped(QByteArray::fromHex("ffff03000000") + "abc");
    EXPECT_TRUE(escaped.ReadCount(count));
    EXPECT_EQ(count, 3u);

    // Three items of at least two bytes do not fit in five bytes.
    CArchiveReader tooMany(QByteArray::fromHex("0300") + "abcde");
    EXPECT_FALSE(tooMany.ReadCount(count, 2));
    CArchiveReader fits(QByteArray::fromHex("0300") + "abcdef");
    EXPECT_TRUE(fits.ReadCount(count, 2));
    EXPECT_EQ(count, 3u);
}

