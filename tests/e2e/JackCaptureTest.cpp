// End to end through a real audio server: a JACK server on its dummy
// backend, our tone client playing L = 0.5 sin(1 kHz) and R = -L into the
// program's JACK ports, and the capture engine reading them through
// PortAudio's JACK host API into a block sink.
#include "audio/AudioCapture.h"
#include "audio/BlockSink.h"
#include "audio/VelmoraDoc.h"
#include "platform/Notices.h"
#include "platform/wavein/PortAudioWaveDriver.h"
#include "platform/wavein/WaveIn.h"
#include "tests/common/EndWithTest.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <jack/jack.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <regex>
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
        std::vector<char*> args;
        for (const auto& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        const pid_t parent = ::getpid();
        m_pid = ::fork();
        if (m_pid == 0) {
            // Only async-signal-safe calls from here to exec. SIGTERM when
            // the test goes: a server then leaves JACK's registry cleanly.
            const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int in = ::open("/dev/null", O_RDONLY);
            if (!EndWithParent(SIGTERM, parent) || out < 0 || in < 0 || ::dup2(out, STDOUT_FILENO) < 0
                || ::dup2(out, STDERR_FILENO) < 0 || ::dup2(in, STDIN_FILENO) < 0)
                ::_exit(127);
            ::execve(args[0], args.data(), environ);
            ::_exit(127);
        }
        return m_pid > 0;
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
        // The tone's two ports are connected one after the other, so the
        // first block with the tone on both channels counts.
        for (std::size_t b = 0; b < m_blocks.size(); ++b) {
            bool left = false;
            bool right = false;
            for (std::size_t i = 0; i + 1 < m_blocks[b].size(); i += 2) {
                left = left || std::abs(static_cast<int>(m_blocks[b][i])) > kExpectedPeak / 2;
                right = right || std::abs(static_cast<int>(m_blocks[b][i + 1])) > kExpectedPeak / 2;
            }
            if (left && right)
                return static_cast<int>(b);
        }
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

// The PPM as the hub drives it: the last peak of the left channel, and how
// many zero values came.
class CPeakPpm : public IPpmSink {
public:
    int IsOn() const override { return m_nOn; }
    void SetOn(int on) override { m_nOn = on; m_onForCapture = on; }
    bool IsOnForCapture() const override { return m_onForCapture.load(); }
    void SetValue(unsigned value, int channel) override
    {
        if (channel != 0)
            return;
        m_nLastPeak = static_cast<int>(value);
        if (value == 0)
            ++m_nZeroValues;
    }
    void OnTimer() override {}
    void ResetBars(int, int) override {}
    bool WindowExists() const override { return true; }
    void SetRelay(QWidget*) override {}

    int m_nOn = 0;
    std::atomic<int> m_onForCapture { 0 };
    int m_nLastPeak = 0;
    int m_nZeroValues = 0;
};

class CLossHost : public IDocumentHost {
public:
    void RedrawMainWindow() override {}
    void ShowInputLost(const QString& device) override { m_lost.push_back(device.toStdString()); }
    std::vector<std::string> m_lost;
};

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

// The process that named the server `name` belongs to: our servers are
// called "lumetra_<what>_<pid>...". 0 when it is no such file.
pid_t OwnerOfServerFile(const std::string& name)
{
    static const std::regex kServer("lumetra_[a-z0-9]+_([0-9]+)");
    std::smatch match;
    return std::regex_search(name, match, kServer) ? static_cast<pid_t>(std::stol(match[1].str())) : 0;
}

// Whether any JACK server process runs on this machine (another test run's
// may be starting up, before it has made any file of its own).
bool AnyJackServerRuns()
{
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", ec)) {
        std::ifstream comm(entry.path() / "comm");
        std::string name;
        if (std::getline(comm, name) && name == "jackd")
            return true;
    }
    return false;
}

// Removes what runs killed before their clean-up left behind: the files of
// servers whose test process is gone and, when no JACK server runs at all,
// the shared registry. A killed server never frees its slot in that
// registry, and once its few slots are taken no new server can start.
void RemoveLeftoversOfDeadRuns()
{
    const std::filesystem::path shm("/dev/shm");
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(shm, ec)) {
        const std::string name = entry.path().filename().string();
        const pid_t owner = OwnerOfServerFile(name);
        if (name.rfind("jack", 0) == 0 && owner > 0 && ::kill(owner, 0) != 0 && errno == ESRCH)
            std::filesystem::remove(entry.path(), ec);
    }
    if (!AnyJackServerRuns())
        RemoveSharedMemoryOf("lumetra_e2e_" + std::to_string(::getpid()), true);
}

// A JACK server of its own for each test, under a name no parallel run
// shares; its shared-memory files go when the fixture does.
// A child's log, for a failure message.
std::string LogText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed().toStdString() : "(no log)";
}

// The program's ports on `server` and what feeds them, for a failure message.
std::string ConnectionsOf(const std::string& server, const std::string& client)
{
    jack_status_t status {};
    jack_client_t* probe = jack_client_open("lumetra_lsp", static_cast<jack_options_t>(JackNoStartServer | JackServerName),
                                            &status, server.c_str());
    if (!probe)
        return "(server not answering)";
    std::string text;
    const char** ports = jack_get_ports(probe, ("^" + client + ":").c_str(), nullptr, 0);
    for (int i = 0; ports && ports[i]; ++i) {
        text += std::string(ports[i]) + " <-";
        const char** links = jack_port_get_all_connections(probe, jack_port_by_name(probe, ports[i]));
        for (int k = 0; links && links[k]; ++k)
            text += std::string(" ") + links[k];
        jack_free(links);
        text += "; ";
    }
    jack_free(ports);
    jack_client_close(probe);
    return text.empty() ? "(no ports)" : text;
}

// Points the capture at PortAudio's "JACK: system" device.
void SelectJackSystem(CAudioCapture& capture)
{
    ASSERT_GT(capture.Device().EnumerateDevices(), 0);
    const auto& names = capture.Device().Names();
    const auto system = std::find(names.begin(), names.end(), "JACK: system");
    ASSERT_NE(system, names.end()) << "PortAudio lists no JACK device";
    capture.Device().SetDeviceId(static_cast<int>(system - names.begin()));
}

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
        m_jackd = jackd;
        jack_set_error_function(&Quiet);
        jack_set_info_function(&Quiet);
        static int s_nServers = 0;
        m_server = "lumetra_e2e_" + std::to_string(::getpid()) + "_" + std::to_string(++s_nServers);
        ::setenv("JACK_DEFAULT_SERVER", m_server.c_str(), 1);
        ::setenv("JACK_NO_START_SERVER", "1", 1);
        ASSERT_NO_FATAL_FAILURE(StartServer());
    }
    void StartServer()
    {
        // A long client timeout: on a loaded machine the server would
        // otherwise drop a client that answers late (the tone client then
        // plays silence into ports that stay connected).
        ASSERT_TRUE(m_jackServer.Start({ m_jackd, "--no-realtime", "-t", "10000", "-n", m_server, "-d", "dummy", "-r",
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
    // Runs the event loop until `done` or the time is up.
    template <typename Done> static bool SpinUntil(Done done, int timeoutMs)
    {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < timeoutMs)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return done();
    }
    void TearDown() override
    {
        m_jackServer.Stop();
        if (!m_server.empty())
            RemoveSharedMemoryOf(m_server, false);
    }
    static void SetUpTestSuite() { RemoveLeftoversOfDeadRuns(); }
    static void TearDownTestSuite() { RemoveSharedMemoryOf("lumetra_e2e_" + std::to_string(::getpid()), true); }

    std::string m_jackd;
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
            ASSERT_NO_FATAL_FAILURE(SelectJackSystem(capture));
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
    ASSERT_NO_FATAL_FAILURE(SelectJackSystem(capture));
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
    EXPECT_EQ(capture.LostNotices(), 1u);
    // The capture side closed the device itself; a stop afterwards returns.
    EXPECT_TRUE(capture.WaitForIdle());
    EXPECT_FALSE(capture.Device().IsOpen());
    EXPECT_TRUE(capture.StopCapture());
}

// The whole loss and return as the program lives it: the hub reading
// "JACK: system" with the instruments on, the server killed (the host is
// told, nothing opens, the instruments fall), the server started again
// under the same name with the tone client (the hub reopens by itself and
// the tone's peaks arrive again).
TEST_F(JackCaptureTest, AKilledAndRestartedServerIsReconnectedByItself)
{
    CNoticeRecorder notices;
    CPortAudioWaveDriver driver;
    ASSERT_TRUE(driver.IsInitialized());
    CDriverScope scope(&driver);
    CAudioCapture capture;
    capture.CreateThread();
    CVelmoraDoc doc(capture);
    CPeakPpm ppm;
    CLossHost host;
    doc.SetPpm(&ppm);
    doc.SetHost(&host);
    ASSERT_NO_FATAL_FAILURE(SelectJackSystem(capture));
    capture.Device().SetSampleRate(kServerRate);
    ppm.SetOn(1);
    ASSERT_EQ(doc.MeterOn(), 1);
    {
        CChildProcess tone;
        ASSERT_TRUE(tone.Start({ LUMETRA_JACK_TONE, m_server, CPortAudioWaveDriver::kJackClientName, "60" }, "tone1.log"));
        ASSERT_TRUE(SpinUntil([&] { return ppm.m_nLastPeak >= kExpectedPeak - 1; }, 20000)) << "no tone before the loss";
        tone.Stop();
    }

    m_jackServer.Stop();
    ASSERT_TRUE(SpinUntil([&] { return doc.IsInputLost(); }, 10000)) << "the loss was not noticed";
    ASSERT_EQ(host.m_lost.size(), 1u);
    EXPECT_EQ(host.m_lost[0], "JACK: system");
    // Falling as in silence: zero peaks keep arriving without any packet.
    ppm.m_nZeroValues = 0;
    ASSERT_TRUE(SpinUntil([&] { return ppm.m_nZeroValues >= 20; }, 5000));
    EXPECT_EQ(ppm.IsOn(), 1);
    EXPECT_EQ(doc.MeterCount(), 1);

    ASSERT_NO_FATAL_FAILURE(StartServer());
    CChildProcess tone;
    ASSERT_TRUE(tone.Start({ LUMETRA_JACK_TONE, m_server, CPortAudioWaveDriver::kJackClientName, "60" }, "tone2.log"));
    ASSERT_TRUE(SpinUntil([&] { return !doc.IsInputLost(); }, 15000)) << "no reconnection";
    ASSERT_EQ(host.m_lost.size(), 2u);
    EXPECT_EQ(host.m_lost[1], "");
    EXPECT_TRUE(capture.Device().IsOpen());
    // Blocks flow from the new server: a second's worth arrives.
    const std::uint64_t before = capture.DeliveredBlocks();
    EXPECT_TRUE(SpinUntil([&] { return capture.DeliveredBlocks() >= before + 90; }, 10000))
        << "delivered " << capture.DeliveredBlocks() - before << " blocks after the return";
    // ...and they carry the tone at its level, not silence.
    ppm.m_nLastPeak = 0;
    EXPECT_TRUE(SpinUntil([&] { return ppm.m_nLastPeak >= kExpectedPeak - 1; }, 10000))
        << "the tone's peak after the return reads " << ppm.m_nLastPeak << "; ports: "
        << ConnectionsOf(m_server, CPortAudioWaveDriver::kJackClientName) << "; tone client: "
        << LogText(QStringLiteral("tone2.log"));
    EXPECT_TRUE(notices.Notices().empty());
    doc.MeterOff(true);
    capture.m_bStop = 1;
    capture.EndThread();
    tone.Stop();
}

} // namespace

namespace {

// The program itself, started while a JACK server runs (so PortAudio's JACK
// client joins it), the server killed, then the program asked to close.
TEST_F(JackCaptureTest, TheProgramExitsCleanlyAfterItsJackServerWasKilled)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QProcess program;
    EndWithTest(program);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), QDir(folder.path()).filePath(QStringLiteral("config")));
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(folder.path());
    program.start(QStringLiteral(LUMETRA_PROGRAM), { QStringLiteral("--demo") });
    ASSERT_TRUE(program.waitForStarted());
    EXPECT_FALSE(program.waitForFinished(2000));
    m_jackServer.Stop();
    EXPECT_FALSE(program.waitForFinished(1000));
    program.terminate();
    ASSERT_TRUE(program.waitForFinished(30000)) << "the program hung at its exit";
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << program.readAllStandardError().toStdString();
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_EQ(QFile(QDir(folder.path()).filePath(QStringLiteral("cv.wsp"))).size(), 834);
    QSettings stored(QDir(folder.path()).filePath(QStringLiteral("config/TARVIX/Tarvix Audio Meter.conf")),
                     QSettings::IniFormat);
    EXPECT_EQ(stored.value(QStringLiteral("Settings/MsgDecay")).toInt(), 1);
}

} // namespace
