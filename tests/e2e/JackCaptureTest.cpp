// End to end through a real audio server: a JACK server on its dummy
// backend, our tone client playing L = 0.5 sin(1 kHz) and R = -L into the
// program's JACK ports, and the capture engine reading them through
// PortAudio's JACK host API into a block sink.
#include "audio/AudioCapture.h"
#include "audio/BlockSink.h"
#include "platform/Notices.h"
#include "platform/wavein/PortAudioWaveDriver.h"
#include "platform/wavein/WaveIn.h"

#include <gtest/gtest.h>
#include <jack/jack.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

// When a JACK server goes away under a running stream, PortAudio can no
// longer close its JACK client, so the program leaves it (and the client
// library's thread) behind on purpose. ThreadSanitizer builds of this
// program are told so; other builds never call this.
extern "C" const char* __tsan_default_suppressions() { return "thread:libjack.so\n"; }

namespace {

constexpr int kServerRate = 48000;
// 0.5 of full scale as PortAudio turns floats into 16 bits (x 32767, truncated).
constexpr int kExpectedPeak = 16383;
constexpr int kBlocksToCheck = 20;

std::string FindOnPath(const std::string& program)
{
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        const std::size_t end = std::min(dirs.find(':', start), dirs.size());
        const std::filesystem::path candidate = std::filesystem::path(dirs.substr(start, end - start)) / program;
        if (::access(candidate.c_str(), X_OK) == 0)
            return candidate.string();
        start = end + 1;
    }
    return {};
}

// A child process started with its output in a log file, ended and reaped
// when the object goes.
class CChildProcess {
public:
    bool Start(const std::vector<std::string>& argv, const std::string& log)
    {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        std::vector<char*> args;
        for (const auto& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        const int rc = posix_spawn(&m_pid, args[0], &actions, nullptr, args.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (rc != 0)
            m_pid = -1;
        return rc == 0;
    }
    bool IsRunning()
    {
        if (m_pid <= 0)
            return false;
        int status = 0;
        if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            return false;
        }
        return true;
    }
    void Stop()
    {
        if (m_pid <= 0)
            return;
        ::kill(m_pid, SIGTERM);
        for (int i = 0; i < 100; ++i) {
            int status = 0;
            if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = -1;
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }
    ~CChildProcess() { Stop(); }

private:
    pid_t m_pid = -1;
};

// Keeps copies of every block (room reserved up front, so the capture
// thread never allocates here).
class CBlockCollector : public IBlockSink {
public:
    using Block = std::array<std::int16_t, 1024>;
    CBlockCollector() { m_blocks.reserve(4000); }

    void ProcessBlock(const std::uint8_t* block, const std::uint8_t*) override
    {
        std::lock_guard lock(m_lock);
        if (m_blocks.size() < m_blocks.capacity())
            std::memcpy(m_blocks.emplace_back().data(), block, 2048);
        m_changed.notify_all();
    }
    // Waits until `count` blocks have come after the first one that carries
    // the tone; false on timeout.
    bool WaitForToneBlocks(int count, std::chrono::seconds timeout, std::vector<Block>& out)
    {
        std::unique_lock lock(m_lock);
        const bool ok = m_changed.wait_for(lock, timeout, [&] {
            const auto first = FirstToneBlock();
            return first >= 0 && static_cast<int>(m_blocks.size()) - first - 1 >= count;
        });
        if (ok) {
            const auto first = static_cast<std::size_t>(FirstToneBlock());
            // Skip the block in which the connection was made: it may be half silent.
            out.assign(m_blocks.begin() + static_cast<long>(first) + 1,
                       m_blocks.begin() + static_cast<long>(first) + 1 + count);
        }
        return ok;
    }
    std::size_t Count()
    {
        std::lock_guard lock(m_lock);
        return m_blocks.size();
    }

private:
    int FirstToneBlock() const
    {
        for (std::size_t b = 0; b < m_blocks.size(); ++b)
            for (std::int16_t s : m_blocks[b])
                if (std::abs(static_cast<int>(s)) > kExpectedPeak / 2)
                    return static_cast<int>(b);
        return -1;
    }

    std::mutex m_lock;
    std::condition_variable m_changed;
    std::vector<Block> m_blocks;
};

bool ServerAcceptsClients(const std::string& server)
{
    jack_status_t status {};
    jack_client_t* probe = jack_client_open("lumetra_probe",
                                            static_cast<jack_options_t>(JackNoStartServer | JackServerName),
                                            &status, server.c_str());
    if (!probe)
        return false;
    jack_client_close(probe);
    return true;
}

void Quiet(const char*) {}

// Puts the facade's previous drivers back, however the test ends.
class CDriverScope {
public:
    explicit CDriverScope(IWaveInDriver* driver) : m_previous(CWaveIn::Instance().ReplaceDrivers({ driver })) {}
    ~CDriverScope() { CWaveIn::Instance().ReplaceDrivers(m_previous); }

private:
    std::vector<IWaveInDriver*> m_previous;
};

// Removes the server's shared-memory files, and (`shared`) the registry
// files all JACK servers share once no other server's semaphores remain.
// The shared ones go only when this program is done with JACK: the JACK
// library keeps the registry it first attached to.
void RemoveSharedMemoryOf(const std::string& server, bool shared)
{
    const std::filesystem::path shm("/dev/shm");
    std::error_code ec;
    std::vector<std::filesystem::path> sharedFiles;
    bool otherServer = false;
    for (const auto& entry : std::filesystem::directory_iterator(shm, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("jack", 0) != 0)
            continue;
        if (name.find(server) != std::string::npos)
            std::filesystem::remove(entry.path(), ec);
        else if (name.rfind("jack_sem.", 0) == 0)
            otherServer = true;
        else
            sharedFiles.push_back(entry.path());
    }
    if (shared && !otherServer) {
        for (const auto& path : sharedFiles)
            std::filesystem::remove(path, ec);
    }
}

// A JACK server of its own for each test, under a name no parallel run
// shares; its shared-memory files go when the fixture does.
class JackCaptureTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string jackd = FindOnPath("jackd");
        if (jackd.empty()) {
            const char* ci = std::getenv("CI");
            if (ci && std::string(ci) == "true")
                FAIL() << "jackd is not installed, and CI needs this test to run";
            GTEST_SKIP() << "jackd is not installed: the end-to-end capture test needs a JACK server";
        }
        jack_set_error_function(&Quiet);
        jack_set_info_function(&Quiet);
        static int s_nServers = 0;
        m_server = "lumetra_e2e_" + std::to_string(::getpid()) + "_" + std::to_string(++s_nServers);
        ::setenv("JACK_DEFAULT_SERVER", m_server.c_str(), 1);
        ::setenv("JACK_NO_START_SERVER", "1", 1);
        ASSERT_TRUE(m_jackServer.Start({ jackd, "--no-realtime", "-n", m_server, "-d", "dummy", "-r",
                                         std::to_string(kServerRate), "-p", "512" },
                                       "jackd.log"));
        bool ready = false;
        for (int i = 0; i < 100 && !ready && m_jackServer.IsRunning(); ++i) {
            ready = ServerAcceptsClients(m_server);
            if (!ready)
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        ASSERT_TRUE(ready) << "the JACK server did not come up; see jackd.log";
    }
    void TearDown() override
    {
        m_jackServer.Stop();
        if (!m_server.empty())
            RemoveSharedMemoryOf(m_server, false);
    }
    static void TearDownTestSuite() { RemoveSharedMemoryOf("lumetra_e2e_" + std::to_string(::getpid()), true); }

    std::string m_server;
    CChildProcess m_jackServer;
};

TEST_F(JackCaptureTest, ToneFromAJackClientReachesTheSinkAsFullAntiPhaseBlocks)
{
    const std::string& server = m_server;

    CChildProcess tone;
    ASSERT_TRUE(tone.Start({ LUMETRA_JACK_TONE, server, CPortAudioWaveDriver::kJackClientName, "60" }, "tone.log"));

    {
        CNoticeRecorder notices;
        CPortAudioWaveDriver driver;
        ASSERT_TRUE(driver.IsInitialized());
        CDriverScope scope(&driver);
        {
            CBlockCollector sink;
            CAudioCapture capture;
            capture.CreateThread();
            capture.SetDocument(&sink);
            ASSERT_GT(capture.Device().EnumerateDevices(), 0);
            const auto& names = capture.Device().Names();
            const auto system = std::find(names.begin(), names.end(), "JACK: system");
            ASSERT_NE(system, names.end()) << "PortAudio lists no JACK device";
            capture.Device().SetDeviceId(static_cast<int>(system - names.begin()));
            // The server runs at 48000: asking for 44100 is refused and the
            // open falls back to the server's rate.
            capture.Device().SetSampleRate(44100);
            ASSERT_EQ(capture.Open(), 1) << (notices.Notices().empty() ? "" : notices.Notices()[0].text.toStdString());
            EXPECT_EQ(capture.Device().SampleRate(), kServerRate);

            std::vector<CBlockCollector::Block> blocks;
            const bool toneArrived = sink.WaitForToneBlocks(kBlocksToCheck, std::chrono::seconds(20), blocks);
            EXPECT_TRUE(capture.StopCapture());
            capture.EndThread();
            ASSERT_TRUE(toneArrived) << "blocks received: " << sink.Count() << "; see tone.log";

            for (std::size_t b = 0; b < blocks.size(); ++b) {
                int peakLeft = 0;
                int peakRight = 0;
                for (int i = 0; i < 512; ++i) {
                    const int left = blocks[b][static_cast<std::size_t>(2 * i)];
                    const int right = blocks[b][static_cast<std::size_t>(2 * i + 1)];
                    peakLeft = std::max(peakLeft, std::abs(left));
                    peakRight = std::max(peakRight, std::abs(right));
                    ASSERT_NEAR(right, -left, 1) << "block " << b << " frame " << i;
                }
                // 512 frames hold more than ten periods of 1 kHz: every block
                // reaches the crest.
                EXPECT_NEAR(peakLeft, kExpectedPeak, 1) << "block " << b;
                EXPECT_NEAR(peakRight, kExpectedPeak, 1) << "block " << b;
            }
            EXPECT_TRUE(notices.Notices().empty());
        }
    }
    tone.Stop();
}

TEST_F(JackCaptureTest, AServerThatGoesAwayEndsCaptureWithACloseNotice)
{
    CNoticeRecorder notices;
    CPortAudioWaveDriver driver;
    ASSERT_TRUE(driver.IsInitialized());
    CDriverScope scope(&driver);
    CBlockCollector sink;
    CAudioCapture capture;
    capture.CreateThread();
    capture.SetDocument(&sink);
    ASSERT_GT(capture.Device().EnumerateDevices(), 0);
    const auto& names = capture.Device().Names();
    const auto system = std::find(names.begin(), names.end(), "JACK: system");
    ASSERT_NE(system, names.end());
    capture.Device().SetDeviceId(static_cast<int>(system - names.begin()));
    capture.Device().SetSampleRate(kServerRate);
    ASSERT_EQ(capture.Open(), 1);
    for (int i = 0; i < 100 && sink.Count() < 10; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_GE(sink.Count(), 10u);

    m_jackServer.Stop();
    // The stream ends by itself; the close notice clears the opened flag.
    bool closed = false;
    for (int i = 0; i < 200 && !closed; ++i) {
        closed = capture.WaitForIdle() && capture.m_bOpened.load() == 0;
        if (!closed)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_TRUE(closed) << "no close notice after the server went away";
    EXPECT_EQ(capture.CloseNotices(), 1u);
    // Switching the instrument off afterwards still closes the device.
    EXPECT_TRUE(capture.StopCapture());
    EXPECT_FALSE(capture.Device().IsOpen());
}

} // namespace
