// A workspace's records: lookup by type and copying.
#include "workspace/ArchiveReader.h"
#include "workspace/ArchiveWriter.h"
#include "workspace/Wsp.h"

#include <gtest/gtest.h>

namespace {
CWinSet Record(std::uint32_t type, const char* title)
{
    CWinSet record;
    record.m_nType = type;
    record.m_strTitle = title;
    return record;
}
}

TEST(Wsp, FindWinSetWithoutARecordOfTheTypeFindsNone)
{
    CWsp workspace;
    EXPECT_EQ(workspace.FindWinSet(kTypePpm), nullptr);
    workspace.AddWinSet(Record(kTypeCorrelation, "Correlation-Meter"));
    EXPECT_EQ(workspace.FindWinSet(kTypePpm), nullptr);
    // The frame record's type 0 is not a window record.
    EXPECT_EQ(workspace.FindWinSet(0), nullptr);
}

TEST(Wsp, FindWinSetWithTwoOfATypeFindsTheFirst)
{
    CWsp workspace;
    EXPECT_EQ(workspace.AddWinSet(Record(kTypeAnalyzer, "first")), 1);
    EXPECT_EQ(workspace.AddWinSet(Record(kTypePpm, "ppm")), 2);
    EXPECT_EQ(workspace.AddWinSet(Record(kTypeAnalyzer, "second")), 3);
    const CWinSet* found = workspace.FindWinSet(kTypeAnalyzer);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->m_strTitle, QByteArray("first"));
}

TEST(Wsp, CopyAppendsTheSourcesRecordsAndTakesNameAndFrame)
{
    CWsp source;
    source.m_strName = "Workspace 4";
    source.m_frame.m_strTitle = "Tarvix Audio Meter";
    source.AddWinSet(Record(kTypePpm, "PPM-Meter"));
    CWsp target;
    target.AddWinSet(Record(kTypeStereo, "Stereo-Meter"));
    target.CopyFrom(source);
    EXPECT_EQ(target.m_strName, QByteArray("Workspace 4"));
    EXPECT_TRUE(target.IsStored());
    ASSERT_EQ(target.m_winSets.size(), 2u);
    EXPECT_EQ(target.m_winSets[0].m_nType, kTypeStereo);
    EXPECT_EQ(target.m_winSets[1].m_nType, kTypePpm);
}

TEST(Wsp, EveryCutShortWorkspaceFailsToReadAndLeavesTheTargetAlone)
{
    CWsp source;
    source.m_strName = "Mix";
    source.AddWinSet(Record(kTypePpm, "PPM-Meter"));
    source.AddWinSet(Record(kTypeStereo, "Stereo-Meter"));
    CArchiveWriter writer;
    source.Write(writer);
    const QByteArray bytes = writer.Bytes();

    for (int length = 0; length < bytes.size(); ++length) {
        CWsp target;
        target.m_strName = "untouched";
        CArchiveReader reader(bytes.left(length));
        EXPECT_FALSE(target.Read(reader)) << length << " of " << bytes.size() << " bytes";
        EXPECT_EQ(target.m_strName, QByteArray("untouched")) << length;
        EXPECT_TRUE(target.m_winSets.empty()) << length;
    }
    CWsp whole;
    CArchiveReader reader(bytes);
    ASSERT_TRUE(whole.Read(reader));
    EXPECT_EQ(whole.m_strName, QByteArray("Mix"));
    ASSERT_EQ(whole.m_winSets.size(), 2u);
    EXPECT_EQ(whole.m_winSets[1].m_strTitle, QByteArray("Stereo-Meter"));
}
