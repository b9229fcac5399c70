// A small JACK client for the end-to-end capture test: plays
// L = 0.5 sin(2 pi 1000 t) and R = -L, and links its two outputs to the
// first two input ports of the client named on the command line as soon as
// they appear, and again whenever they come back. Ends on SIGTERM or after
// the given number of seconds.
//
//     lumetra_jack_tone <server> <target client> <seconds>
#include <jack/jack.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <string>
#include <thread>

namespace {

constexpr double kToneHz = 1000.0;
constexpr double kAmplitude = 0.5;

std::atomic<bool> g_bQuit { false };
jack_port_t* g_pLeft = nullptr;
jack_port_t* g_pRight = nullptr;
double g_fPhase = 0; // process thread only
double g_fStep = 0;

int Process(jack_nframes_t frames, void*)
{
    auto* left = static_cast<float*>(jack_port_get_buffer(g_pLeft, frames));
    auto* right = static_cast<float*>(jack_port_get_buffer(g_pRight, frames));
    for (jack_nframes_t i = 0; i < frames; ++i) {
        left[i] = static_cast<float>(kAmplitude * std::sin(2.0 * std::numbers::pi * g_fPhase));
        right[i] = -left[i];
        g_fPhase += g_fStep;
        g_fPhase -= g_fPhase >= 1.0 ? 1.0 : 0.0;
    }
    return 0;
}

void OnSignal(int) { g_bQuit.store(true); }

// Links the tone's outputs to the target's first two inputs unless they are
// linked already. Asked by name every time, so a target that registered
// fresh ports under the same names (it reopened its device) is linked again
// even when this client's own view of its connections lags behind.
void LinkIfNeeded(jack_client_t* client, const std::string& target)
{
    const char** ports = jack_get_ports(client, ("^" + target + ":").c_str(), JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput);
    if (ports && ports[0] && ports[1]
        && !(jack_port_connected_to(g_pLeft, ports[0]) && jack_port_connected_to(g_pRight, ports[1]))) {
        jack_connect(client, jack_port_name(g_pLeft), ports[0]);
        jack_connect(client, jack_port_name(g_pRight), ports[1]);
    }
    jack_free(ports);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s <server> <target client> <seconds>\n", argv[0]);
        return 2;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(std::atoi(argv[3]));
    std::signal(SIGTERM, OnSignal);
    std::signal(SIGINT, OnSignal);
    // A server that has just been started may not take clients yet: try
    // again until the deadline.
    jack_status_t status {};
    jack_client_t* client = nullptr;
    while (!client && !g_bQuit.load() && std::chrono::steady_clock::now() < deadline) {
        client = jack_client_open("lumetra_tone", static_cast<jack_options_t>(JackNoStartServer | JackServerName), &status,
                                  argv[1]);
        if (!client)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    if (client) {
        g_fStep = kToneHz / jack_get_sample_rate(client);
        g_pLeft = jack_port_register(client, "out_left", JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
        g_pRight = jack_port_register(client, "out_right", JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
    }
    if (!g_pLeft || !g_pRight || jack_set_process_callback(client, Process, nullptr) != 0 || jack_activate(client) != 0) {
        std::fprintf(stderr, "cannot play the tone on server %s (status 0x%x)\n", argv[1], status);
        return 1;
    }
    while (!g_bQuit.load() && std::chrono::steady_clock::now() < deadline) {
        LinkIfNeeded(client, argv[2]);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    jack_client_close(client);
    return 0;
}
