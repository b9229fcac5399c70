#pragma once
// PortAudio's life in this process: initialise, terminate and initialise
// again (to find a JACK server that came back, or devices plugged in since).
//
// A JACK server that went away leaves two things PortAudio cannot undo: a
// stream it can no longer stop or close (the calls never return), and its
// own JACK client, whose close fails an assertion inside PortAudio's
// terminate. So a stream lost that way is handed over here (Forget) and
// dropped from PortAudio's list of open streams without being closed, and
// the JACK host API's own terminate is skipped when its client no longer
// exists on a running server (the server is gone, or was restarted); their
// memory is left behind on purpose, a few kilobytes per lost
// server.
//
// Threads: Initialize, Terminate and Reinitialize on one thread at a time
// (the UI thread) while no stream is open. Forget, StreamOpened and
// StreamClosed may run on any thread.
#include <portaudio.h>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

class CPortAudioSession {
public:
    CPortAudioSession() = default;
    ~CPortAudioSession();
    CPortAudioSession(const CPortAudioSession&) = delete;
    CPortAudioSession& operator=(const CPortAudioSession&) = delete;

    bool Initialize();
    // Ends PortAudio without touching a dead JACK server; false (and nothing
    // done) while a stream is open.
    bool Terminate();
    // Terminate then Initialize; false while a stream is open or when the
    // new initialisation fails.
    bool Reinitialize();
    bool IsInitialized() const { return m_bInitialized; }

    void StreamOpened() { m_nOpenStreams.fetch_add(1, std::memory_order_acq_rel); }
    void StreamClosed() { m_nOpenStreams.fetch_sub(1, std::memory_order_acq_rel); }
    int OpenStreams() const { return m_nOpenStreams.load(std::memory_order_acquire); }
    // A stream whose JACK server died: never closed, only forgotten. Counts
    // as closed from here on.
    void Forget(PaStream* stream);

    // True when a JACK server of the default name answers now and knows the
    // client named `clientName` (PortAudio's own).
    static bool JackClientAlive(const std::string& clientName);

private:
    void DropForgottenStreams();
    void SkipDeadJackTerminate();

    bool m_bInitialized = false;
    // The name PortAudio's JACK client got (empty without a JACK host API).
    std::string m_jackClientName;
    std::atomic<int> m_nOpenStreams { 0 };
    std::mutex m_forgottenLock;
    std::vector<PaStream*> m_forgotten; // under m_forgottenLock
};
