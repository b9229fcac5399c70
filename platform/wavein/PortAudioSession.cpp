#include "platform/wavein/PortAudioSession.h"

#include <jack/jack.h>
#include <pa_jack.h>

#include <cstddef>

namespace {

// The head of PortAudio's private stream and host-API records, as laid out
// by every PortAudio v19 release (pa_stream.h, pa_hostapi.h). Only the
// fields up to the ones used here are mirrored.
struct CPaStreamHead {
    unsigned long magic;
};

struct CPaHostApiHead {
    unsigned long baseDeviceIndex;
    PaHostApiInfo info;
    PaDeviceInfo** deviceInfos;
    void (*terminate)(CPaHostApiHead* hostApi);
};

void LeaveJackClient(CPaHostApiHead*) {}

} // namespace

CPortAudioSession::~CPortAudioSession()
{
    if (m_bInitialized && OpenStreams() == 0)
        Terminate();
}

bool CPortAudioSession::Initialize()
{
    if (m_bInitialized)
        return true;
    m_bInitialized = Pa_Initialize() == paNoError;
    m_jackClientName.clear();
    const char* name = nullptr;
    if (m_bInitialized && Pa_HostApiTypeIdToHostApiIndex(paJACK) >= 0 && PaJack_GetClientName(&name) == paNoError && name)
        m_jackClientName = name;
    return m_bInitialized;
}

bool CPortAudioSession::Terminate()
{
    if (!m_bInitialized)
        return true;
    if (OpenStreams() > 0)
        return false;
    DropForgottenStreams();
    SkipDeadJackTerminate();
    Pa_Terminate();
    m_bInitialized = false;
    return true;
}

bool CPortAudioSession::Reinitialize() { return Terminate() && Initialize(); }

void CPortAudioSession::Forget(PaStream* stream)
{
    if (!stream)
        return;
    std::lock_guard lock(m_forgottenLock);
    m_forgotten.push_back(stream);
    StreamClosed();
}

void CPortAudioSession::DropForgottenStreams()
{
    std::lock_guard lock(m_forgottenLock);
    for (PaStream* stream : m_forgotten) {
        // With its mark cleared PortAudio takes the stream off its open list
        // and calls none of the host API's functions on it.
        static_cast<CPaStreamHead*>(stream)->magic = 0;
        Pa_CloseStream(stream);
    }
    m_forgotten.clear();
}

void CPortAudioSession::SkipDeadJackTerminate()
{
    const PaHostApiIndex jack = Pa_HostApiTypeIdToHostApiIndex(paJACK);
    if (jack < 0 || JackClientAlive(m_jackClientName))
        return;
    const PaHostApiInfo* info = Pa_GetHostApiInfo(jack);
    if (!info)
        return;
    auto* head = reinterpret_cast<CPaHostApiHead*>(
        reinterpret_cast<char*>(const_cast<PaHostApiInfo*>(info)) - offsetof(CPaHostApiHead, info));
    head->terminate = &LeaveJackClient;
}

bool CPortAudioSession::JackClientAlive(const std::string& clientName)
{
    jack_status_t status {};
    jack_client_t* probe = jack_client_open("lumetra_probe", JackNoStartServer, &status);
    if (!probe)
        return false;
    // A server that was restarted answers, but knows nothing of the client
    // made with the one before it.
    char* uuid = clientName.empty() ? nullptr : jack_get_uuid_for_client_name(probe, clientName.c_str());
    const bool alive = uuid != nullptr;
    if (uuid)
        jack_free(uuid);
    jack_client_close(probe);
    return alive;
}
