#include "offline/ParallelRunner.h"

#include <QHash>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <QThread>
#include <memory>
#include <vector>

namespace {
// The list as distinct paths, each mention pointing at its path.
struct Plan {
    QStringList distinct;
    std::vector<int> distinctOf;    // per mention
    std::vector<int> mentionsLeft;  // per distinct path
};

Plan PlanFor(const QStringList& paths)
{
    Plan plan;
    QHash<QString, int> seen;
    for (const QString& path : paths) {
        auto found = seen.constFind(path);
        int index = 0;
        if (found == seen.constEnd()) {
            index = static_cast<int>(plan.distinct.size());
            seen.insert(path, index);
            plan.distinct << path;
            plan.mentionsLeft.push_back(0);
        } else {
            index = *found;
        }
        plan.distinctOf.push_back(index);
        ++plan.mentionsLeft[static_cast<std::size_t>(index)];
    }
    return plan;
}

// An analysis that throws must not end the run: its file is unreadable.
CFileReport Guarded(const CParallelRunner::Analysis& analyse, const QString& path)
{
    try {
        return analyse(path);
    } catch (const std::exception& e) {
        CFileReport report;
        report.outcome = CFileReport::Outcome::Unreadable;
        report.error = QString::fromLocal8Bit(e.what());
        return report;
    } catch (...) {
        CFileReport report;
        report.outcome = CFileReport::Outcome::Unreadable;
        report.error = QStringLiteral("the analysis failed");
        return report;
    }
}
}

void CParallelRunner::Run(const QStringList& paths, const Analysis& analyse, const Deliver& deliver) const
{
    Plan plan = PlanFor(paths);
    const int distinct = static_cast<int>(plan.distinct.size());
    std::vector<std::optional<CFileReport>> done(static_cast<std::size_t>(distinct));
    const int workers = std::min(m_workers, distinct);

    // Delivers every mention whose report is ready, in list order, and
    // drops a report once its last mention is out, so memory stays with
    // the files in flight (and those waiting for a slow one before them).
    std::size_t next = 0;
    auto deliverReady = [&](std::unique_lock<std::mutex>* lock) {
        while (next < plan.distinctOf.size()) {
            const auto index = static_cast<std::size_t>(plan.distinctOf[next]);
            if (!done[index])
                return;
            CFileReport report = *done[index]; // a copy: delivery runs unlocked
            if (--plan.mentionsLeft[index] == 0)
                done[index].reset();
            const int position = static_cast<int>(next++);
            if (lock)
                lock->unlock();
            deliver(position, report);
            if (lock)
                lock->lock();
        }
    };

    if (workers <= 1) {
        for (int i = 0; i < distinct; ++i) {
            done[static_cast<std::size_t>(i)] = Guarded(analyse, plan.distinct[i]);
            deliverReady(nullptr);
        }
        return;
    }

    std::mutex mutex;
    std::condition_variable finished;
    std::atomic<int> claimed { 0 }; // next distinct path to analyse; relaxed: it only hands out indices
    int exited = 0;
    auto work = [&] {
        for (int i = claimed.fetch_add(1, std::memory_order_relaxed); i < distinct;
             i = claimed.fetch_add(1, std::memory_order_relaxed)) {
            CFileReport report = Guarded(analyse, plan.distinct[i]);
            // Notified under the lock: once the last report is delivered the
            // caller returns and destroys the condition, which must not
            // happen while a worker is still inside its notify.
            std::lock_guard<std::mutex> guard(mutex);
            done[static_cast<std::size_t>(i)] = std::move(report);
            finished.notify_one();
        }
        // The caller waits for this under the same lock, so everything a
        // worker did is ordered before the caller's return through a plain
        // mutex (a race checker cannot see through QThread::wait).
        std::lock_guard<std::mutex> guard(mutex);
        ++exited;
        finished.notify_one();
    };
    // Qt threads, not bare ones: an analysis owns Qt objects (the hub's
    // wake-up notifier, its timers) that need their thread's event
    // dispatcher to exist, though no event loop runs.
    std::vector<std::unique_ptr<QThread>> threads;
    threads.reserve(static_cast<std::size_t>(workers));
    for (int w = 0; w < workers; ++w) {
        threads.emplace_back(QThread::create(work));
        threads.back()->start();
    }
    {
        std::unique_lock<std::mutex> lock(mutex);
        while (next < plan.distinctOf.size()) {
            finished.wait(lock, [&] { return done[static_cast<std::size_t>(plan.distinctOf[next])].has_value(); });
            deliverReady(&lock);
        }
        finished.wait(lock, [&] { return exited == workers; });
    }
    for (const std::unique_ptr<QThread>& thread : threads)
        thread->wait();
}
