#include "OfflineFixture.h"
#include "offline/ArchiveRun.h"
#include "offline/FileJob.h"
#include "offline/ParallelRunner.h"

#include <QFile>
#include <QHash>
#include <chrono>
#include <mutex>
#include <stdexcept>
#include <thread>

// Later files finish first (the analysis takes longer the lower its number);
// a repeated path is analysed once; an analysis that throws makes its file
// unreadable and the run goes on; every report is handed over on the caller.
TEST(ParallelRunner, FourWorkersGiveTheSingleWorkersReportInListOrder)
{
    QStringList paths;
    for (int i = 0; i < 24; ++i)
        paths << QStringLiteral("f%1").arg(i);
    paths << QStringLiteral("throws") << QStringLiteral("f3") << QStringLiteral("f0");
    std::mutex mutex;
    QHash<QString, int> calls;
    const auto analyse = [&](const QString& path) {
        {
            const std::lock_guard<std::mutex> lock(mutex);
            ++calls[path];
        }
        if (path == QLatin1String("throws"))
            throw std::runtime_error("reader exploded");
        const int number = path.mid(1).toInt();
        std::this_thread::sleep_for(std::chrono::milliseconds(20 - number % 20));
        CFileReport report;
        report.object = QJsonObject { { QStringLiteral("file"), path }, { QStringLiteral("square"), number * number } };
        return report;
    };
    QStringList delivered; // "position file square error" per report
    bool allOnCaller = true;
    const std::thread::id caller = std::this_thread::get_id();
    CParallelRunner(4).Run(paths, analyse, [&](int position, const CFileReport& report) {
        delivered << QStringLiteral("%1 %2 %3 %4").arg(position).arg(report.object[QLatin1String("file")].toString())
                         .arg(report.object[QLatin1String("square")].toInt())
                         .arg(report.outcome == CFileReport::Outcome::Unreadable ? report.error : QString());
        allOnCaller = allOnCaller && std::this_thread::get_id() == caller;
    });
    QStringList expected;
    for (int i = 0; i < 24; ++i)
        expected << QStringLiteral("%1 f%1 %2 ").arg(i).arg(i * i);
    expected << QStringLiteral("24  0 reader exploded") << QStringLiteral("25 f3 9 ") << QStringLiteral("26 f0 0 ");
    EXPECT_EQ(delivered, expected);
    EXPECT_TRUE(allOnCaller);
    EXPECT_EQ(calls.size(), 25);
    EXPECT_EQ(std::count(calls.cbegin(), calls.cend(), 1), 25); // once, however often listed
}

// A file that vanishes after the run began, before its turn, is reported
// unreadable; the files after it are analysed and the run ends with status 1.
TEST_F(OfflineFixture, AFileThatVanishesMidRunIsUnreadableAndTheRunGoesOn)
{
    const testfiles::Samples tone = testfiles::StereoSine(1000.0, 48000, 16000, 48000);
    CAnalyzeOptions options;
    for (const char* name : { "first.wav", "gone.wav", "last.wav" })
        options.files << Write(QString::fromLatin1(name), 48000, 2, tone);
    const CFileJob job(options, [](const QString&) { return QString(); });
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    ASSERT_TRUE(out && err);
    const int status = CArchiveRun(options, out, err).Execute([&](const QString& path) {
        CFileReport report = job(path);
        if (path == options.files[0])
            QFile::remove(options.files[1]);
        return report;
    }, 1);
    EXPECT_EQ(status, 1);
    std::rewind(out);
    QFile written;
    ASSERT_TRUE(written.open(out, QIODevice::ReadOnly));
    const QJsonArray report = QJsonDocument::fromJson(written.readAll()).array();
    ASSERT_EQ(report.size(), 3);
    EXPECT_TRUE(report[1][QLatin1String("error")].toString().contains(QLatin1String("No such file")));
    EXPECT_EQ(report[2][QLatin1String("blocks")].toInt(), 94);
    EXPECT_FALSE(report[2].toObject().contains(QLatin1String("error")));
    std::fclose(out);
    std::fclose(err);
}
