#include "OfflineFixture.h"
#include "offline/CsvReportWriter.h"
#include "offline/DeliveryCheck.h"
#include "offline/WavLengthProbe.h"

#include <QFile>
#include <QJsonDocument>


TEST(DeliveryCheck, JudgesTheRulesEdgesAsAMeterShowsThem)
{
    constexpr double kNone = 999;
    const double silence = -std::numeric_limits<double>::infinity();
    const struct {
        const char* rule;
        double seconds, integrated, truePeak; // integrated kNone: not measured
        bool pass;
        int reasons;
        bool note;
    } rows[] = {
        { "ebu-r128", 60, -23.5, -1.0, true, 0, false },   // both on the edge
        { "ebu-r128", 60, -22.5, -3.0, true, 0, false },
        { "ebu-r128", 60, -23.6, -3.0, false, 1, false },  // 0.1 LU too quiet
        { "ebu-r128", 60, -22.4, -3.0, false, 1, false },  // 0.1 LU too loud
        { "ebu-r128", 60, -23.0, -0.9, false, 1, false },  // peak 0.1 dB over
        { "ebu-r128", 60, -30.0, 0.5, false, 2, false },   // both wrong: two reasons
        { "atsc-a85", 60, -26.0, -2.0, true, 0, false },
        { "atsc-a85", 60, -26.1, -2.0, false, 1, false },
        { "atsc-a85", 60, -24.0, -1.9, false, 1, false },  // -1 dBTP is fine for EBU, not here
        { "streaming-14", 60, -13.0, -1.0, true, 0, false },
        { "streaming-14", 60, -16.0, -1.0, false, 1, false },
        { "streaming-16", 60, -16.0, -1.0, true, 0, false },
        { "ebu-r128", 60, silence, silence, false, 1, false },
        { "ebu-r128", 60, kNone, -3.0, false, 1, false },  // never measured: no pass
        { "ebu-r128", 0.3, kNone, -3.0, true, 0, true },   // too short: only the peak is judged
        { "ebu-r128", 0.3, kNone, 0.0, false, 1, true },
    };
    for (const auto& row : rows) {
        CLoudnessFigures figures;
        figures.seconds = row.seconds;
        if (row.integrated != kNone)
            figures.integratedLufs = row.integrated;
        figures.truePeakDbtp = row.truePeak;
        const CDeliveryCheck check = CDeliveryCheck::Evaluate(*CDeliveryRule::Find(QString::fromLatin1(row.rule)), figures);
        EXPECT_EQ(check.Passed(), row.pass) << row.rule << " " << row.integrated << " " << row.truePeak;
        EXPECT_EQ(check.Reasons().size(), row.reasons) << qPrintable(check.Reasons().join(QLatin1Char(';')));
        EXPECT_EQ(!check.Note().isEmpty(), row.note);
        EXPECT_EQ(check.ToJson()[QLatin1String("pass")].toBool(!row.pass), row.pass);
    }
    EXPECT_EQ(CDeliveryRule::Find(QStringLiteral("ebu")), nullptr);
}

TEST(CsvReportWriter, QuotesWhatASpreadsheetWouldSplit)
{
    for (const auto& [name, cell] : { std::pair { "plain.wav", "plain.wav" }, { "a,b.wav", "\"a,b.wav\"" },
             { "say \"hi\".wav", "\"say \"\"hi\"\".wav\"" }, { "two\nlines", "\"two\nlines\"" } })
        EXPECT_EQ(CCsvReportWriter::Quoted(QString::fromLatin1(name)), QString::fromLatin1(cell));
}

TEST(WavLengthProbe, StepsOverOddChunksAndGivesUpOnEndlessOnes)
{
    // A chunk: id, size as stored, body, and a pad byte after an odd body.
    auto chunk = [](const char* id, quint32 size, const QByteArray& body) {
        QByteArray bytes(id, 4);
        for (int shift = 0; shift < 32; shift += 8)
            bytes += static_cast<char>(size >> shift & 0xFF);
        return bytes + body + (body.size() % 2 ? QByteArray(1, '\0') : QByteArray());
    };
    // 16-bit stereo, 4 bytes a frame, with one extra (odd) byte.
    const QByteArray fmt = chunk("fmt ", 17, QByteArray::fromHex("0100" "0200" "44ac0000" "10b10200" "0400" "1000" "00"));
    const QByteArray data = chunk("data", 32, QByteArray(16, '\1')); // says 8 frames, holds 4
    const QByteArray riff = QByteArray("RIFF\0\0\0\0WAVE", 12);
    const QByteArray empty = chunk("junk", 0, {});
    struct Row {
        QByteArray bytes;
        bool known;
    } rows[] = {
        { "RIFF but not a wave file at all", false },
        { riff + fmt + chunk("LIST", 3, "abc") + data, true },
        { riff + fmt + empty.repeated(62) + data, true },  // the 64th chunk is still read
        { riff + fmt + empty.repeated(63) + data, false }, // junk past that is not
    };
    QTemporaryDir folder;
    const QString path = QDir(folder.path()).filePath(QStringLiteral("probe.wav"));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.bytes.size());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(row.bytes);
        file.close();
        CWavLengthProbe::Length length;
        ASSERT_EQ(CWavLengthProbe::Probe(path, length), row.known);
        if (row.known) {
            EXPECT_EQ(length.declaredFrames, 8);
            EXPECT_EQ(length.presentFrames, 4);
        }
    }
}
