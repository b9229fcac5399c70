#pragma once
// The capture thread: owns the input device and its ring of 32 buffers,
// handles the device's notices on a thread of its own and hands every filled
// buffer to the sample hub.
//
// Threads: construction, CreateThread(), EndThread(), Open(), StopCapture(),
// WaitForIdle(), SetDocument() and the priority calls run on the UI thread;
// every notice and WM_CAPTURE_STOP is handled on the capture thread, one at
// a time. Flags shared by both are atomics. The only lock the two threads
// share guards the close count, and no block is processed while it is held.
#include "audio/WaveInDevice.h"
#include "platform/ThreadMessageQueue.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

class IBlockSink;

constexpr std::uint32_t WM_CAPTURE_STOP = 0x13A0;
// Private: answered once every message posted before it has been handled.
constexpr std::uint32_t WM_CAPTURE_SYNC = 0x13A1;

class CAudioCapture {
public:
    // The longest StopCapture waits for the device's close notice.
    static constexpr std::chrono::milliseconds kCloseTimeout { 2000 };
    // Thread niceness for the two priority levels: below normal and normal.
    static constexpr int kNiceNormalSetting = 1;
    static constexpr int kNiceHighSetting = 0;

    CAudioCapture();
    ~CAudioCapture(); // ends the thread (as its exit would) if it still runs
    CAudioCapture(const CAudioCapture&) = delete;
    CAudioCapture& operator=(const CAudioCapture&) = delete;

    // Starts the capture thread and its message loop. UI thread.
    bool CreateThread();
    // Ends the thread: sets the stop flag, wakes the loop and joins it. UI thread.
    void EndThread();
    bool IsThreadRunning() const { return m_thread.joinable(); }

    // The sample hub; blocks are dropped while it is null.
    void SetDocument(IBlockSink* document) { m_pDocument.store(document, std::memory_order_release); }

    // Opens the device (current id and rate) and starts the ring. 1 on success,
    // 0 on failure, already reported to the user. UI thread.
    int Open(bool quiet = false);
    // Posts WM_CAPTURE_STOP and waits for the device's close, at most 2000 ms.
    // True when the close came (or the thread had already ended). UI thread.
    bool StopCapture();
    // Waits until the capture thread has handled every message posted so
    // far (for tests). False on timeout or when the thread is not running.
    bool WaitForIdle(std::chrono::milliseconds timeout = std::chrono::milliseconds(5000));

    CWaveInDevice& Device() { return *m_pDevice; }
    CThreadMessageQueue& Queue() { return m_queue; }

    // Post-tick enable: clear while the user moves or sizes a window.
    std::atomic<int> m_bPostTick { 1 };
    // Set once by the document as it closes; blocks are then dropped and the
    // message loop ends after the message at hand.
    std::atomic<int> m_bStop { 0 };
    // 1 between the device's open notice and its close notice.
    std::atomic<int> m_bOpened { 0 };

    // The capture thread's priority: below normal for the priority setting
    // Normal (`high` false), normal for High. Set it before CreateThread so
    // the thread starts at it. Returns false when the system refused (on
    // Linux an unprivileged thread may lower its priority but not raise it
    // again); the thread then keeps the priority it had.
    bool SetThreadPriority(bool high);
    bool IsPriorityHigh() const { return m_bPriorityHigh.load(std::memory_order_relaxed); }
    // The capture thread's system id while it runs, else 0.
    int ThreadId() const { return m_nThreadId.load(std::memory_order_acquire); }
    // Data notices dropped (before the open notice, after the close notice,
    // with no document or while stopping).
    std::uint64_t DroppedNotices() const { return m_nDropped.load(std::memory_order_relaxed); }
    // Data notices handed to the document.
    std::uint64_t DeliveredBlocks() const { return m_nDelivered.load(std::memory_order_relaxed); }
    // Close notices handled since construction.
    std::uint64_t CloseNotices() const;
    // Times the open device went away by itself.
    std::uint64_t LostNotices() const { return m_nLost.load(std::memory_order_relaxed); }
    // Interruptions the devices reported while open (see IWaveInStream::DropoutCount),
    // summed over every open since construction.
    std::uint64_t DeviceDropouts() const { return m_nDeviceDropouts.load(std::memory_order_relaxed); }

private:
    void Run();
    void HandleMessage(const CThreadMessage& msg);
    void OnOpen();
    void OnClose(const CThreadMessage& msg);
    void OnLost();
    void CountDeviceDropouts();
    void OnData(const CThreadMessage& msg);
    void OnStop();
    void OnSync();
    void DrainAfterStop();
    void ExitInstance();
    bool ApplyPriority();
    void SignalClosed(bool threadEnded);

    CThreadMessageQueue m_queue;
    std::atomic<IBlockSink*> m_pDocument { nullptr };
    std::unique_ptr<CWaveInDevice> m_pDevice;
    std::thread m_thread;
    std::atomic<int> m_nThreadId { 0 };

    // The close event: StopCapture waits until a close notice is counted
    // after it posted the stop, or until the thread has ended.
    mutable std::mutex m_closeLock;
    std::condition_variable m_closeCv;
    std::uint64_t m_nCloses = 0; // under m_closeLock
    bool m_bThreadEnded = false; // under m_closeLock
    std::uint64_t m_nSyncsPosted = 0; // UI thread
    std::uint64_t m_nSyncsDone = 0; // under m_closeLock

    std::atomic<std::uint64_t> m_nDropped { 0 };
    std::atomic<std::uint64_t> m_nDelivered { 0 };
    std::atomic<std::uint64_t> m_nLost { 0 };
    std::atomic<std::uint64_t> m_nDeviceDropouts { 0 };
    long long m_nDropoutsSeen = 0; // capture thread: the open device's count already added
    std::atomic<bool> m_bPriorityHigh { false };
};
