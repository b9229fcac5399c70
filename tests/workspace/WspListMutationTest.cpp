// Thousands of damaged workspace files: cut, bytes changed, bytes inserted.
// Loading one must never crash or allocate beyond the file's size; a file
// that still loads must load as whole workspaces that write back and read
// again unchanged, and a file that does not load must leave nothing behind.
#include "workspace/WspList.h"

#include <gtest/gtest.h>

#include <random>

namespace {
QByteArray ValidFile()
{
    CWspList list;
    list.FillDefaults();
    for (int index : { 0, 5 }) {
        CWsp stored = list.At(index);
        stored.m_frame.m_strTitle = "Tarvix Audio Meter";
        stored.m_frame.m_wp = CWindowPlacement::FromValues({ 44, 0, 1, -1, -1, -1, -1, 100, 80, 740, 560 });
        for (std::uint32_t type : { kTypePpm, kTypeCorrelation, kTypeAnalyzer, kTypeStereo }) {
            CWinSet record;
            record.m_nType = type;
            record.m_strTitle = QByteArray(300, 'T'); // takes the 3-byte length form
            record.m_nParam = { 1, 1, 2, 1, 0, 3, 1, 0, 0, 0 };
            stored.AddWinSet(record);
        }
        list.Replace(index, stored);
    }
    return list.ToBytes();
}

// Bytes that mean something to the reader: escapes, markers, large counts.
constexpr unsigned char kTellingBytes[] = { 0x00, 0x01, 0x0B, 0xFE, 0xFF, 0x7F, 0x80 };

QByteArray Mutate(QByteArray bytes, std::mt19937& random)
{
    const int edits = std::uniform_int_distribution<int>(1, 6)(random);
    for (int e = 0; e < edits && !bytes.isEmpty(); ++e) {
        const auto at = std::uniform_int_distribution<qsizetype>(0, bytes.size() - 1)(random);
        switch (std::uniform_int_distribution<int>(0, 4)(random)) {
        case 0: bytes[at] = static_cast<char>(random()); break;
        case 1: bytes[at] = static_cast<char>(kTellingBytes[random() % sizeof kTellingBytes]); break;
        case 2: bytes.truncate(at); break;
        case 3: bytes.insert(at, static_cast<char>(kTellingBytes[random() % sizeof kTellingBytes])); break;
        case 4: bytes.remove(at, std::uniform_int_distribution<qsizetype>(1, 8)(random)); break;
        }
    }
    return bytes;
}
}

TEST(WspListMutation, DamagedFilesLoadWholeOrNotAtAll)
{
    const QByteArray valid = ValidFile();
    std::mt19937 random(20240611);
    int loaded = 0;
    for (int round = 0; round < 20000; ++round) {
        const QByteArray damaged = Mutate(valid, random);
        CWspList list;
        if (!list.AppendFromBytes(damaged)) {
            ASSERT_EQ(list.Count(), 0) << "round " << round;
            continue;
        }
        ++loaded;
        // Every workspace read took at least its minimum size in the file.
        qint64 records = 0;
        for (int i = 0; i < list.Count(); ++i)
            records += static_cast<qint64>(list.At(i).m_winSets.size());
        ASSERT_LE(list.Count() * qint64(CWsp::kMinFileBytes) + records * CWinSet::kMinFileBytes, damaged.size() - 2)
            << "round " << round;
        const QByteArray rewritten = list.ToBytes();
        CWspList again;
        ASSERT_TRUE(again.AppendFromBytes(rewritten)) << "round " << round;
        ASSERT_EQ(again.ToBytes(), rewritten) << "round " << round;
    }
    // Some damage (a changed parameter, a title byte) leaves a valid file;
    // the round trip above must then have run.
    EXPECT_GT(loaded, 100);
}
