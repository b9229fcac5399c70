#include "OfflineFixture.h"
#include "offline/ParallelRunner.h"

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
