// The workspace file: a record's bytes in file order, round trips through
// bytes and files, and cut or overlong files that must load nothing.
#include "workspace/WspList.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
CWinSet SampleRecord(std::uint32_t type, int on)
{
    CWinSet record;
    record.m_strTitle = "Stereo-Meter";
    record.m_nType = type;
    record.m_wp = CWindowPlacement::FromValues({ 44, 0, SW_SHOWMAXIMIZED, -1, -1, -4, -23, 10, 20, 310, 144 });
    record.m_nParam = { 0, on, 2, 1024, 1, 2, 0, 0, 0, 0 };
    return record;
}

// The defaults with the last workspace stored (two records), so a cut in
// its last record is a cut at the end of the file.
CWspList StoredList()
{
    CWspList list;
    list.FillDefaults();
    CWsp stored = list.At(7);
    stored.m_frame.m_strTitle = "Tarvix Audio Meter";
    stored.m_frame.m_wp = CWindowPlacement::FromValues({ 44, 0, SW_SHOWNORMAL, -1, -1, -1, -1, 100, 80, 740, 560 });
    stored.AddWinSet(SampleRecord(kTypePpm, 1));
    CWinSet longTitle = SampleRecord(kTypeStereo, 0);
    longTitle.m_strTitle = QByteArray(300, 'T'); // the 3-byte length form
    stored.AddWinSet(longTitle);
    list.Replace(7, stored);
    return list;
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
}

TEST(WspList, RecordFieldsInFileOrder)
{
    CWsp workspace;
    workspace.m_strName = "W";
    workspace.AddWinSet(SampleRecord(kTypeStereo, 1));
    CWspList list;
    list.AddWsp(workspace);
    // Count 1, name "W", the never-stored frame record (90 bytes), record count 1, the record.
    const QByteArray expected = QByteArray::fromHex("0100" "0157") + QByteArray(90, '\0') + QByteArray::fromHex("0100" "0c")
        + "Stereo-Meter"
        + QByteArray::fromHex("00" "85000000" "2c000000" "00000000" "03000000" "ffffffff" "ffffffff" "fcffffff" "e9ffffff"
                              "0a000000" "14000000" "36010000" "90000000"
                              "00000000" "01000000" "02000000" "00040000" "01000000" "02000000")
        + QByteArray(16, '\0');
    EXPECT_EQ(list.ToBytes().toHex().toStdString(), expected.toHex().toStdString());
    EXPECT_FALSE(list.Replace(1, CWsp())) << "one past the last workspace";
    EXPECT_EQ(list.ToBytes(), expected);
    // The first run's file: eight never-stored workspaces "Workspace 1" .. "Workspace 8", 834 bytes.
    CWspList defaults;
    defaults.FillDefaults();
    EXPECT_EQ(QCryptographicHash::hash(defaults.ToBytes(), QCryptographicHash::Sha256).toHex(),
              QByteArray("1729dd0e80950ee53ef032aa86b2f1daa24c882c2db1c47a4d14b19740e6dca4"));
}

TEST(WspList, CutShortOrOverlongCountsLoadNothing)
{
    const QByteArray whole = StoredList().ToBytes();
    std::vector<QByteArray> damaged;
    for (int size = 0; size < whole.size(); ++size)
        damaged.push_back(whole.left(size));
    damaged.push_back(QByteArray::fromHex("ffffffffffff")); // 0xFFFFFFFF workspaces in six bytes
    QByteArray manyRecords = whole.left(2 + 12 + 90);       // the first workspace up to its record count
    damaged.push_back(manyRecords.replace(0, 2, QByteArray::fromHex("0100")) + QByteArray::fromHex("ffffffffff7f"));
    for (const QByteArray& bytes : damaged) {
        CWspList list;
        CWsp kept;
        kept.m_strName = "kept";
        list.AddWsp(kept);
        ASSERT_FALSE(list.AppendFromBytes(bytes)) << "cut at " << bytes.size();
        ASSERT_EQ(std::make_pair(list.Count(), list.m_nCount), std::make_pair(1, 1)) << "cut at " << bytes.size();
    }
}

// Loading appends whole workspaces. A 250-character name is valid, but the
// temporary file beside it is too long to create: that save fails before the
// old file is touched.
TEST(WspList, SaveReplacesTheFileWholeOrNotAtAllAndLoadAppends)
{
    QTemporaryDir folder;
    const QString path = QDir(folder.path()).filePath(QStringLiteral("cv.wsp"));
    ASSERT_TRUE(WriteFile(path, QByteArray(5000, 'x')));
    CWspList list = StoredList();
    ASSERT_TRUE(list.Save(path));
    EXPECT_EQ(ReadFile(path), list.ToBytes());
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList { QStringLiteral("cv.wsp") }) << "no temporary file left";

    CWspList read;
    read.FillDefaults();
    ASSERT_TRUE(read.Load(path));
    // Bytes after the last workspace are ignored.
    ASSERT_TRUE(read.AppendFromBytes(list.ToBytes() + "junk"));
    ASSERT_EQ(std::make_pair(read.Count(), read.m_nCount), std::make_pair(24, 24));
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(std::make_pair(read.At(8 + i), read.At(16 + i)), std::make_pair(list.At(i), list.At(i))) << i;
    EXPECT_FALSE(read.Load(QDir(folder.path()).filePath(QStringLiteral("absent.wsp"))));
    EXPECT_FALSE(read.Load(folder.path())) << "a folder is no file";
    EXPECT_EQ(read.Count(), 24);
    EXPECT_FALSE(list.Save(QDir(folder.path()).filePath(QStringLiteral("no/such/folder/cv.wsp"))));
    const QString longName = QDir(folder.path()).filePath(QString(250, QLatin1Char('w')));
    ASSERT_TRUE(WriteFile(longName, QByteArray(10, 'x')));
    EXPECT_FALSE(list.Save(longName));
    EXPECT_EQ(ReadFile(longName), QByteArray(10, 'x'));
}
