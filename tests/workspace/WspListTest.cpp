// The workspace file: golden bytes of the default list, records and
// workspaces round-tripping, and files that are cut short or corrupt
// loading as if missing.
#include "workspace/WspList.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
// One never-stored workspace as the file holds it: the name, an empty frame
// record (two empty strings, type 0, 44 zero bytes of placement, 40 zero
// bytes of parameters) and no window records.
QByteArray NeverStoredWorkspaceBytes(const QByteArray& name)
{
    return QByteArray(1, static_cast<char>(name.size())) + name + QByteArray::fromHex("0000") + QByteArray(4 + 44 + 40, '\0')
        + QByteArray::fromHex("0000");
}

CWinSet SampleRecord(std::uint32_t type, int on)
{
    CWinSet record;
    record.m_strTitle = "Stereo-Meter";
    record.m_nType = type;
    record.m_wp = CWindowPlacement::FromValues({ 44, 0, SW_SHOWMAXIMIZED, -1, -1, -4, -23, 10, 20, 310, 144 });
    record.m_nParam = { 0, on, 2, 1024, 1, 2, 0, 0, 0, 0 };
    return record;
}

CWspList StoredList()
{
    CWspList list;
    list.FillDefaults();
    CWsp stored = list.At(2);
    stored.m_frame.m_strTitle = "Tarvix Audio Meter";
    stored.m_frame.m_wp = CWindowPlacement::FromValues({ 44, 0, SW_SHOWNORMAL, -1, -1, -1, -1, 100, 80, 740, 560 });
    stored.AddWinSet(SampleRecord(kTypePpm, 1));
    stored.AddWinSet(SampleRecord(kTypeStereo, 0));
    list.Replace(2, stored);
    return list;
}

class WspListFile : public ::testing::Test {
protected:
    QString Path(const char* name = "cv.wsp") const { return QDir(m_folder.path()).filePath(QString::fromLatin1(name)); }
    void WriteFile(const QByteArray& bytes, const char* name = "cv.wsp") const
    {
        QFile file(Path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
    QByteArray ReadFile(const char* name = "cv.wsp") const
    {
        QFile file(Path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir m_folder;
};
}

TEST(WspListBytes, DefaultListIs834GoldenBytes)
{
    CWspList list;
    list.FillDefaults();
    ASSERT_EQ(list.Count(), 8);
    EXPECT_EQ(list.At(0).m_strName, QByteArray("Workspace 1"));
    EXPECT_EQ(list.At(7).m_strName, QByteArray("Workspace 8"));

    QByteArray expected = QByteArray::fromHex("0800");
    for (char digit = '1'; digit <= '8'; ++digit)
        expected += NeverStoredWorkspaceBytes(QByteArray("Workspace ") + digit);
    const QByteArray bytes = list.ToBytes();
    EXPECT_EQ(bytes.size(), 834);
    EXPECT_EQ(bytes, expected);
}

TEST(WspListBytes, OneWorkspaceMatchesTheDocumentedExample)
{
    CWspList list;
    CWsp workspace;
    workspace.m_strName = "Workspace 1";
    list.AddWsp(workspace);
    EXPECT_EQ(list.ToBytes(), QByteArray::fromHex("0100") + NeverStoredWorkspaceBytes("Workspace 1"));
}

TEST(WspListBytes, RecordFieldsInFileOrder)
{
    CWsp workspace;
    workspace.m_strName = "W";
    workspace.AddWinSet(SampleRecord(kTypeStereo, 1));
    CWspList list;
    list.AddWsp(workspace);
    const QByteArray bytes = list.ToBytes();
    // count, name, frame record (90 bytes), record count 1, then the record.
    const QByteArray record = bytes.mid(2 + 2 + 90 + 2);
    const QByteArray expected = QByteArray::fromHex("0c") + "Stereo-Meter" + QByteArray::fromHex("00" "85000000")
        + QByteArray::fromHex("2c000000" "00000000" "03000000" "ffffffff" "ffffffff" "fcffffff" "e9ffffff"
                              "0a000000" "14000000" "36010000" "90000000")
        + QByteArray::fromHex("00000000" "01000000" "02000000" "00040000" "01000000" "02000000")
        + QByteArray(16, '\0');
    EXPECT_EQ(record, expected);
    EXPECT_EQ(bytes.mid(2 + 2 + 90, 2), QByteArray::fromHex("0100"));
}

TEST(WspListBytes, StoredListRoundTrips)
{
    const CWspList list = StoredList();
    CWspList read;
    ASSERT_TRUE(read.AppendFromBytes(list.ToBytes()));
    ASSERT_EQ(read.Count(), 8);
    EXPECT_EQ(read.m_nCount, 8);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(read.At(i), list.At(i)) << "workspace " << i;
    ASSERT_NE(read.At(2).FindWinSet(kTypeStereo), nullptr);
    EXPECT_EQ(read.At(2).FindWinSet(kTypeStereo)->m_wp.maxY, -23);
}

TEST(WspListBytes, SixteenBitNameInFileReadsAsEightBit)
{
    // A workspace named "Mix" in 16-bit characters, otherwise never stored.
    const QByteArray bytes = QByteArray::fromHex("0100" "fffeff03" "4d00" "6900" "7800") + NeverStoredWorkspaceBytes("").mid(1);
    CWspList list;
    ASSERT_TRUE(list.AppendFromBytes(bytes));
    EXPECT_EQ(list.At(0).m_strName, QByteArray("Mix"));
    // Written back it takes the 8-bit form.
    EXPECT_EQ(list.ToBytes().mid(2, 4), QByteArray::fromHex("03") + "Mix");
}

TEST(WspListBytes, ZeroWorkspacesIsAnEmptyList)
{
    CWspList list;
    ASSERT_TRUE(list.AppendFromBytes(QByteArray::fromHex("0000")));
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.ToBytes(), QByteArray::fromHex("0000"));
}

TEST(WspListBytes, EveryTruncationLoadsNothing)
{
    const QByteArray whole = StoredList().ToBytes();
    for (int size = 0; size < whole.size(); ++size) {
        CWspList list;
        CWsp marker;
        marker.m_strName = "kept";
        list.AddWsp(marker);
        EXPECT_FALSE(list.AppendFromBytes(whole.left(size))) << "cut at " << size;
        ASSERT_EQ(list.Count(), 1) << "cut at " << size;
        EXPECT_EQ(list.At(0).m_strName, QByteArray("kept"));
    }
}

TEST(WspListBytes, CountsBeyondTheFileAreRefused)
{
    CWspList list;
    // 0xFFFFFFFF workspaces in a six-byte file.
    EXPECT_FALSE(list.AppendFromBytes(QByteArray::fromHex("ffffffffffff")));
    // One workspace claiming 0x7FFFFFFF records.
    QByteArray bytes = QByteArray::fromHex("0100") + NeverStoredWorkspaceBytes("W");
    bytes.chop(2);
    bytes += QByteArray::fromHex("ffffffffff7f");
    EXPECT_FALSE(list.AppendFromBytes(bytes));
    EXPECT_EQ(list.Count(), 0);
}

TEST(WspListBytes, BytesAfterTheLastWorkspaceAreIgnored)
{
    CWspList list;
    ASSERT_TRUE(list.AppendFromBytes(StoredList().ToBytes() + "junk"));
    EXPECT_EQ(list.Count(), 8);
    EXPECT_TRUE(list.At(2).IsStored());
}

TEST_F(WspListFile, SaveThenLoadAppendsToTheList)
{
    CWspList list = StoredList();
    ASSERT_TRUE(list.Save(Path()));
    EXPECT_EQ(ReadFile(), list.ToBytes());

    CWspList read;
    CWsp first;
    first.m_strName = "already here";
    read.AddWsp(first);
    ASSERT_TRUE(read.Load(Path()));
    EXPECT_EQ(read.Count(), 9);
    EXPECT_EQ(read.m_nCount, 9);
    EXPECT_EQ(read.At(0).m_strName, QByteArray("already here"));
    EXPECT_EQ(read.At(3), list.At(2));
}

TEST_F(WspListFile, MissingFileLeavesListUnchanged)
{
    CWspList list;
    list.FillDefaults();
    EXPECT_FALSE(list.Load(Path("absent.wsp")));
    EXPECT_EQ(list.Count(), 8);
}

TEST_F(WspListFile, SaveReplacesTheWholeFileAndLeavesNoTemporaryFile)
{
    WriteFile(QByteArray(5000, 'x'));
    CWspList list;
    list.FillDefaults();
    ASSERT_TRUE(list.Save(Path()));
    EXPECT_EQ(ReadFile().size(), 834);
    EXPECT_EQ(QDir(m_folder.path()).entryList(QDir::Files), QStringList { QStringLiteral("cv.wsp") });
}

TEST_F(WspListFile, SaveIntoAMissingFolderFails)
{
    CWspList list;
    list.FillDefaults();
    EXPECT_FALSE(list.Save(QDir(m_folder.path()).filePath(QStringLiteral("no/such/folder/cv.wsp"))));
}

TEST_F(WspListFile, FailedSaveLeavesTheOldFileIntact)
{
    // A name of 250 characters is valid, but the temporary file beside it
    // (the name plus a suffix) is too long to create: the save fails before
    // the old file is touched, so it must keep its bytes, not be cut to zero.
    const QByteArray longName(250, 'w');
    const QByteArray old = StoredList().ToBytes();
    WriteFile(old, longName.constData());
    ASSERT_EQ(ReadFile(longName.constData()), old);
    CWspList list;
    list.FillDefaults();
    EXPECT_FALSE(list.Save(Path(longName.constData())));
    EXPECT_EQ(ReadFile(longName.constData()), old);
}
