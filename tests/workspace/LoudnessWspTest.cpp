// The loudness window's side file: its exact bytes, a round trip through a
// real file, and files that must be refused without touching what was read.
#include "tests/common/TestEnvironment.h"
#include "workspace/LoudnessWsp.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {
CLoudnessWspRecord SampleLoudnessRecord(std::uint32_t workspace = 2)
{
    return { workspace, CWindowPlacement::FromValues({ 44, 0, SW_SHOWMAXIMIZED, -1, -1, -1, -1, 10, 20, 250, 420 }), 1, 3, 1, 1, 0 };
}
}

// A known record's exact bytes; damaged forms of them are refused and keep what was read.
TEST(LoudnessWsp, KnownRecordHasTheseBytesAndDamagedFilesAreRefused)
{
    CLoudnessWsp source;
    source.Set(SampleLoudnessRecord());
    const QByteArray good = source.ToBytes();
    const QByteArray expected = QByteArray::fromHex("4c554457" "01000000" "01000000" // magic, version 1, one record
                                                    "02000000"                       // workspace 2
                                                    "2c000000" "00000000" "03000000" // length 44, flags, maximised
                                                    "ffffffff" "ffffffff" "ffffffff" "ffffffff"
                                                    "0a000000" "14000000" "fa000000" "a4010000" // 10 20 250 420
                                                    "01000000" "03000000" "01000000" "01000000" "00000000"
                                                    "13c8c395"); // CRC-32 of the bytes before it, as zlib computes it
    EXPECT_EQ(good.toHex(), expected.toHex());

    auto changed = [&](int at, char value) { return QByteArray(good).replace(at, 1, QByteArray(1, value)); };
    const QByteArray cases[] = { QByteArray(), good.left(15), good.left(good.size() - 1), good + QByteArray(1, '\0'),
        changed(20, static_cast<char>(good[20] ^ 1)), changed(4, 2), changed(11, static_cast<char>(0xff)), changed(0, 'X'),
        QByteArray("not a loudness file at all") };
    for (const QByteArray& bytes : cases) {
        SCOPED_TRACE(bytes.toHex().toStdString());
        CLoudnessWsp file;
        file.Set(SampleLoudnessRecord(5));
        EXPECT_FALSE(file.FromBytes(bytes));
        EXPECT_EQ(file.Records(), std::vector<CLoudnessWspRecord> { SampleLoudnessRecord(5) });
    }
    EXPECT_TRUE(CLoudnessWsp().FromBytes(CLoudnessWsp().ToBytes())); // a file of no records is whole
}

TEST(LoudnessWsp, RoundTripThroughAFileBesideTheWorkspaceFile)
{
    const QString side = CLoudnessWsp::PathBeside(QDir(CTestEnvironment::Folder()).filePath(QStringLiteral("cv.wsp")));
    CLoudnessWsp written;
    written.Set(SampleLoudnessRecord());
    CLoudnessWspRecord other = SampleLoudnessRecord(7);
    written.Set(other);
    other.targetPreset = 1; // replaces the record of workspace 7
    written.Set(other);
    ASSERT_TRUE(written.Save(side));
    CLoudnessWsp read;
    QString error;
    ASSERT_TRUE(read.Load(side, &error)) << error.toStdString();
    ASSERT_EQ(read.Records().size(), 2u);
    EXPECT_EQ(*read.Find(2), SampleLoudnessRecord());
    EXPECT_EQ(read.Find(7)->targetPreset, 1);
    EXPECT_EQ(read.Find(3), nullptr);
    QFile::remove(side);
    EXPECT_FALSE(read.Load(side, &error) || error.isEmpty());
    EXPECT_EQ(read.Records().size(), 2u);
}
