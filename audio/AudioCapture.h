#pragma once
// The capture thread: owns the input device and its ring of 32 buffers,
// handles the device's notices on a thread of its own and hands every filled
// buffer to the sample hub.
//
// Threads: Open(), StopCapture(), SetDocument(), SetStopFlag() and the
// priority calls run on the UI thread; every notice and WM_CAPTURE_STOP is
// handled on the capture thread. Flags shared by both are atomics.
#include "audio/WaveInDevice.h"
#include "platform/ThreadMessageQueue.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <semaphore>
#include <thread>

class IBlockSink;

constexpr std::uint32_t WM_CAPTURE_STOP = 0x13A0;

class CAudioCapture {
public:
    CAudioCapture();
    ~CAudioCapture(); // ends the thread (as ExitThread would) if it still runs
    CAudioCapture(const CAudioCapture&) = delete;
    CAudioCapture& operator=(const CAudioCapture&) = delete;

    // Starts the capture thread and its message loop. UI thread.
    bool CreateThread();
    // Ends the thread: sets the stop flag, wakes the loop and joins it. UI thread.
    void EndThread();

    // The sample hub; blocks are dropped while it is null.
    void SetDocument(IBlockSink* document) { m_pDocument.store(document, std::memory_order_release); }

    // Opens the device (current id and rate) and starts the ring. 1 on success,
    // 0 on failure, already reported to the user. UI thread.
    int Open();
    // Posts WM_CAPTURE_STOP and waits for the device's close, at most 2000 ms.
    // UI thread.
    void StopCapture();

    CWaveInDevice& Device() { return *m_pDevice; }
    CThreadMessageQueue& Queue() { return m_queue; }

    // Post-tick enable: clear while the user moves or sizes a window.
    std::atomic<int> m_bPostTick { 1 };
    // Set once by the document as it closes; blocks are then dropped.
    std::atomic<int> m_bStop { 0 };
    // 1 between the device's open notice and its close notice.
    std::atomic<int> m_bOpened { 0 };

    // The thread's priority: `normal` selects the lower of the two levels of
    // the priority setting, otherwise the higher. Refusals are ignored.
    void SetThreadPriority(bool high);
    // Number of data notices dropped (before the open notice, after the
    // close notice, with no document or while stopping).
    std::uint64_t DroppedNotices() const { return m_nDropped.load(std::memory_order_relaxed); }

private:
    void Run();
    void HandleMessage(const CThreadMessage& msg);
    void OnData(const CThreadMessage& msg);
    void OnStop();
    void ExitInstance();

    CThreadMessageQueue m_queue;
    std::atomic<IBlockSink*> m_pDocument { nullptr };
    std::unique_ptr<CWaveInDevice> m_pDevice;
    std::thread m_thread;
    // The close event (auto-reset): signalled by the close notice.
    std::binary_semaphore m_closeEvent { 0 };
    std::atomic<std::uint64_t> m_nDropped { 0 };
    std::atomic<int> m_nPriorityHigh { 1 };
};
