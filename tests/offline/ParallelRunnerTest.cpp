#include "OfflineFixture.h"
#include "offline/AnalyzeOptions.h"
#include "offline/ArchiveRun.h"
#include "offline/FileJob.h"
#include "offline/ParallelRunner.h"

#include <QFile>
#include <QJsonDocument>

#include <QHash>
#include <chrono>
#include <gtest/gtest.h>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace {
// An analysis whose time depends on the path (later files finish first)
// and that counts how often each path was analysed.
struct CountingAnalysis {
    std::mutex mutex;
    QHash<QString, int> calls;

    CFileReport operator()(const QString& path)
    {
        {
            std::lock_guard<std::mutex> lock(mutex);
            ++calls[path];
        }
        if (path == QLatin1String("throws"))
            throw std::runtime_error("reader exploded");
        const int number = path.mid(1).toInt();
        std::this_thread::sleep_for(std::chrono::milliseconds(20 - number % 20));
        CFileReport report;
        report.object = QJsonObject { { QStringLiteral("file"), path }, { QStringLiteral("square"), number * number } };
        return report;
    }
};

struct Emitted {
    QList<int> positions;
    QStringList files;
    QList<int> squares;
    QStringList errors;
    bool allOnCaller = true;
};

Emitted RunWith(int workers, const QStringList& paths, CountingAnalysis& analysis)
{
    Emitted emitted;
    const std::thread::id caller = std::this_thread::get_id();
    CParallelRunner(workers).Run(
        paths, [&](const QString& path) { return analysis(path); },
        [&](int position, const CFileReport& report) {
            emitted.positions << position;
            emitted.files << report.object[QLatin1String("file")].toString();
            emitted.squares << report.object[QLatin1String("square")].toInt();
            emitted.errors << (report.outcome == CFileReport::Outcome::Unreadable ? report.error : QString());
            emitted.allOnCaller = emitted.allOnCaller && std::this_thread::get_id() == caller;
        });
    return emitted;
}
}

// Later files finish first; a repeated path is analysed once; an analysis
// that throws makes its file unreadable and the run goes on.
TEST(ParallelRunner, FourWorkersGiveTheSingleWorkersReportInListOrder)
{
    QStringList paths;
    for (int i = 0; i < 24; ++i)
        paths << QStringLiteral("f%1").arg(i);
    paths << QStringLiteral("throws") << QStringLiteral("f3") << QStringLiteral("f0");
    CountingAnalysis serialCalls;
    CountingAnalysis parallelCalls;
    const Emitted serial = RunWith(1, paths, serialCalls);
    const Emitted parallel = RunWith(4, paths, parallelCalls);

    ASSERT_EQ(parallel.positions.size(), 27);
    for (int i = 0; i < 27; ++i)
        EXPECT_EQ(parallel.positions[i], i);
    EXPECT_EQ(parallel.files.mid(0, 24), paths.mid(0, 24));
    EXPECT_EQ(parallel.files.mid(25), paths.mid(25));
    EXPECT_EQ(parallel.squares, serial.squares);
    EXPECT_EQ(parallel.squares[25], 9); // the repeated f3 gets f3's report
    QStringList errors(27);
    errors[24] = QStringLiteral("reader exploded");
    EXPECT_EQ(parallel.errors, errors);
    EXPECT_TRUE(parallel.allOnCaller);
    EXPECT_EQ(parallelCalls.calls.size(), 25);
    for (auto it = parallelCalls.calls.cbegin(); it != parallelCalls.calls.cend(); ++it)
        EXPECT_EQ(it.value(), 1) << qPrintable(it.key()); // once, however often listed
}

// A file that vanishes while the run is under way (after the run began,
// before its turn) is reported unreadable; the files after it are analysed
// and the run ends with status 1, not in a crash or a stop.
TEST_F(OfflineFixture, AFileThatVanishesMidRunIsUnreadableAndTheRunGoesOn)
{
    const testfiles::Samples tone = testfiles::StereoSine(1000.0, 48000, 0.5, 48000);
    CAnalyzeOptions options;
    options.files = QStringList { Write(QStringLiteral("first.wav"), 48000, 2, tone),
                                  Write(QStringLiteral("gone.wav"), 48000, 2, tone),
                                  Write(QStringLiteral("last.wav"), 48000, 2, tone) };
    const CFileJob job(options, [](const QString&) { return QString(); });
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    ASSERT_TRUE(out && err);
    CArchiveRun run(options, out, err);
    const int status = run.Execute(
        [&](const QString& path) {
            CFileReport report = job(path);
            if (path == options.files[0])
                QFile::remove(options.files[1]);
            return report;
        },
        1);
    EXPECT_EQ(status, 1);
    std::rewind(out);
    QFile written;
    ASSERT_TRUE(written.open(out, QIODevice::ReadOnly));
    const QJsonArray report = QJsonDocument::fromJson(written.readAll()).array();
    ASSERT_EQ(report.size(), 3);
    EXPECT_TRUE(report[1].toObject()[QLatin1String("error")].toString().contains(QLatin1String("No such file")));
    EXPECT_GT(report[2].toObject()[QLatin1String("blocks")].toInt(), 0);
    EXPECT_FALSE(report[2].toObject().contains(QLatin1String("error")));
    std::fclose(out);
    std::fclose(err);
}
