// The archive options on the command line.
#include "offline/AnalyzeOptions.h"

#include <gtest/gtest.h>

namespace {
CAnalyzeOptions Parse(std::initializer_list<const char*> words)
{
    QStringList args;
    for (const char* word : words)
        args << QString::fromUtf8(word);
    return CAnalyzeOptions::Parse(args);
}
}

TEST(ArchiveOptions, ArchiveWordsSetTheirFields)
{
    const CAnalyzeOptions options = Parse({ "--jobs", "3", "--files-from=-", "--null", "--format", "csv", "--check",
                                            "atsc-a85", "--shard", "2/5", "--progress" });
    ASSERT_EQ(options.action, CAnalyzeOptions::Action::Run) << qPrintable(options.error);
    EXPECT_EQ(options.Workers(), 3);
    EXPECT_EQ(options.filesFrom, QStringLiteral("-"));
    EXPECT_TRUE(options.nulSeparated);
    EXPECT_EQ(options.format, CReportWriter::Format::Csv);
    EXPECT_EQ(options.check, QStringLiteral("atsc-a85"));
    EXPECT_EQ(options.shard.Index(), 2);
    EXPECT_EQ(options.shard.Count(), 5);
    EXPECT_TRUE(options.progress);
    EXPECT_TRUE(options.files.isEmpty()); // the list alone is enough

    const CAnalyzeOptions merge = Parse({ "--merge", "p0.jsonl", "p1.jsonl" });
    EXPECT_TRUE(merge.merge);
    EXPECT_EQ(merge.files.size(), 2);
    EXPECT_GE(Parse({ "a.wav" }).Workers(), 1); // one per core
}

TEST(ArchiveOptions, ShortHelpIsHelpNotAFile)
{
    EXPECT_EQ(Parse({ "-h" }).action, CAnalyzeOptions::Action::Help);
    EXPECT_EQ(Parse({ "a.wav", "-h" }).action, CAnalyzeOptions::Action::Help);
    const CAnalyzeOptions file = Parse({ "--", "-h" }); // unless options have ended
    EXPECT_EQ(file.action, CAnalyzeOptions::Action::Run);
    EXPECT_EQ(file.files, QStringList { QStringLiteral("-h") });
}

TEST(ArchiveOptions, BadArchiveValuesAreRefused)
{
    for (auto words : { std::initializer_list<const char*> { "--jobs", "0", "a.wav" }, { "--jobs", "two", "a.wav" },
                        { "--format", "xml", "a.wav" }, { "--check", "ebu", "a.wav" }, { "--shard", "4/4", "a.wav" },
                        { "--shard", "1", "a.wav" }, { "--files-from=", "a.wav" }, { "--merge" } }) {
        const CAnalyzeOptions options = Parse(words);
        EXPECT_EQ(options.action, CAnalyzeOptions::Action::Usage) << *words.begin();
        EXPECT_FALSE(options.error.isEmpty());
    }
}
