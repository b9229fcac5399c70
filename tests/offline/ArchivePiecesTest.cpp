#include "OfflineFixture.h"
#include "offline/CsvReportWriter.h"

TEST(CsvReportWriter, QuotesWhatASpreadsheetWouldSplit)
{
    for (const auto& [name, cell] : { std::pair { "plain.wav", "plain.wav" }, { "a,b.wav", "\"a,b.wav\"" },
             { "say \"hi\".wav", "\"say \"\"hi\"\".wav\"" }, { "two\nlines", "\"two\nlines\"" } })
        EXPECT_EQ(CCsvReportWriter::Quoted(QString::fromLatin1(name)), QString::fromLatin1(cell));
}
