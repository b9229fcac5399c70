// The loudness window's side file: its exact bytes, a round trip through a
// real file, and files that must be refused without touching what was read.
#include "tests/common/TestEnvironment.h"
#include "workspace/LoudnessWsp.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

namespace {

CLoudnessWspRecord SampleRecord()
{
    CLoudnessWspRecord r;
    r.workspace = 2;
    r.placement.showCmd = SW_SHOWMAXIMIZED;
    r.placement.left = 10;
    r.placement.top = 20;
    r.placement.right = 250;
    r.placement.bottom = 420;
    r.on = 1;
    r.targetPreset = 3;
    r.scale = 1;
    r.unit = 1;
    r.active = 0;
    return r;
}

QByteArray Hex(const char* hex) { return QByteArray::fromHex(hex); }

TEST(LoudnessWsp, KnownRecordHasTheseBytes)
{
    CLoudnessWsp file;
    file.Set(SampleRecord());
    const QByteArray expected = Hex("4c554457" "01000000" "01000000" // magic, version 1, one record
                                    "02000000"                       // workspace 2
                                    "2c000000" "00000000" "03000000" // length 44, flags, maximised
                                    "ffffffff" "ffffffff" "ffffffff" "ffffffff"
                                    "0a000000" "14000000" "fa000000" "a4010000" // 10 20 250 420
                                    "01000000" "03000000" "01000000" "01000000" "00000000" // on, preset, scale, unit, active
                                    "13c8c395"); // CRC-32 of the bytes before it (as zlib computes it)
    EXPECT_EQ(file.ToBytes().toHex(), expected.toHex());
}

TEST(LoudnessWsp, RoundTripThroughAFileBesideTheWorkspaceFile)
{
    const QString wsp = QDir(CTestEnvironment::Folder()).filePath(QStringLiteral("cv.wsp"));
    const QString side = CLoudnessWsp::PathBeside(wsp);
    EXPECT_EQ(side, QDir(CTestEnvironment::Folder()).filePath(QStringLiteral("cv-loudness.wsp")));

    CLoudnessWsp written;
    written.Set(SampleRecord());
    CLoudnessWspRecord other = SampleRecord();
    other.workspace = 7;
    other.on = 0;
    written.Set(other);
    other.targetPreset = 1; // replaces the record of workspace 7
    written.Set(other);
    ASSERT_TRUE(written.Save(side));

    CLoudnessWsp read;
    QString error;
    ASSERT_TRUE(read.Load(side, &error)) << error.toStdString();
    ASSERT_EQ(read.Records().size(), 2u);
    EXPECT_EQ(*read.Find(2), SampleRecord());
    EXPECT_EQ(read.Find(7)->targetPreset, 1);
    EXPECT_EQ(read.Find(3), nullptr);
    QFile::remove(side);
}

TEST(LoudnessWsp, DamagedFilesAreRefusedAndKeepWhatWasRead)
{
    CLoudnessWsp source;
    source.Set(SampleRecord());
    const QByteArray good = source.ToBytes();

    QByteArray flipped = good;
    flipped[20] = static_cast<char>(flipped[20] ^ 0x01);
    QByteArray badVersion = good;
    badVersion[4] = 2;
    QByteArray hugeCount = good;
    hugeCount[11] = static_cast<char>(0xff);
    const QByteArray cases[] = {
        QByteArray(), good.left(3), good.left(good.size() - 1), good + QByteArray(1, '\0'),
        flipped, badVersion, hugeCount, QByteArray("not a loudness file at all"),
    };

    CLoudnessWspRecord kept = SampleRecord();
    kept.workspace = 5;
    for (const QByteArray& bytes : cases) {
        SCOPED_TRACE(bytes.toHex().toStdString());
        CLoudnessWsp file;
        file.Set(kept);
        EXPECT_FALSE(file.FromBytes(bytes));
        ASSERT_EQ(file.Records().size(), 1u);
        EXPECT_EQ(file.Records()[0], kept);
    }
}

TEST(LoudnessWsp, MissingFileReportsWhy)
{
    CLoudnessWsp file;
    QString error;
    EXPECT_FALSE(file.Load(QDir(CTestEnvironment::Folder()).filePath(QStringLiteral("absent-loudness.wsp")), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(file.Records().empty());
}

} // namespace
