// End to end through a real audio server: a JACK server on its dummy
// backend, our tone client playing L = 0.5 sin(1 kHz) and R = -L into the
// program's JACK ports, and the capture engine reading them through
// PortAudio's JACK host API.
#include "platform/wavein/PortAudioWaveDriver.h"
#include "platform/wavein/WaveIn.h"
#include "tests/common/CaptureHubFixture.h"
#include "tests/common/EndWithTest.h"

#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <jack/jack.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <regex>

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

// A child with its output in a log file. It gets SIGTERM when stopped and when
// the test goes: a JACK server then leaves JACK's shared registry cleanly.
class CChild : public QProcess {
public:
    void Start(const QString& program, const QStringList& args, const QString& log)
    {
        EndWithTest(*this, SIGTERM);
        setProcessChannelMode(QProcess::MergedChannels);
        setStandardOutputFile(log);
        start(program, args);
        ASSERT_TRUE(waitForStarted()) << program.toStdString();
    }
    void Stop()
    {
        terminate();
        if (!waitForFinished(5000)) {
            kill();
            waitForFinished();
        }
    }
    ~CChild() override { Stop(); }
};

// Hands every block on to the hub and judges those after the first block
// with the tone on both channels (that one may be half silent: the tone's
// ports are connected one after the other). 512 frames hold more than ten
// periods of 1 kHz: every judged block must reach the crest on both channels
// and hold R = -L in every frame.
class CToneJudge : public IBlockSink {
public:
    void ProcessBlock(const std::uint8_t* block, const std::uint8_t* sampleArea) override
    {
        const auto* samples = reinterpret_cast<const std::int16_t*>(block);
        int peakLeft = 0;
        int peakRight = 0;
        bool antiPhase = true;
        for (int i = 0; i < 1024; i += 2) {
            peakLeft = std::max(peakLeft, std::abs(samples[i]));
            peakRight = std::max(peakRight, std::abs(samples[i + 1]));
            antiPhase = antiPhase && std::abs(samples[i] + samples[i + 1]) <= 1;
        }
        if (m_bToneSeen && m_nJudged < kBlocksToCheck) {
            const bool crests = std::abs(peakLeft - kExpectedPeak) <= 1 && std::abs(peakRight - kExpectedPeak) <= 1;
            m_nFaulty += antiPhase && crests ? 0 : 1;
            ++m_nJudged;
        }
        m_bToneSeen = m_bToneSeen || (peakLeft > kExpectedPeak / 2 && peakRight > kExpectedPeak / 2);
        m_pHub->ProcessBlock(block, sampleArea);
    }
    void OnInputLost() override { m_pHub->OnInputLost(); }
    void OnInputOpened() override { m_pHub->OnInputOpened(); }

    IBlockSink* m_pHub = nullptr;
    std::atomic<int> m_nJudged { 0 };
    std::atomic<int> m_nFaulty { 0 };

private:
    bool m_bToneSeen = false; // capture thread only
};

// The last level the hub gave the left bar; -1 before any.
int LastLeftValue(const CFakePpm& ppm)
{
    const auto last = std::find_if(ppm.m_events.rbegin(), ppm.m_events.rend(),
                                   [](const std::string& e) { return e.rfind("value 0 ", 0) == 0; });
    return last == ppm.m_events.rend() ? -1 : std::stoi(last->substr(8));
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
    std::error_code ec;
    std::vector<std::filesystem::path> sharedFiles;
    bool otherServer = false;
    for (const auto& entry : std::filesystem::directory_iterator("/dev/shm", ec)) {
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
    // Our servers are called "lumetra_<what>_<pid of the test>...".
    static const std::regex kServer("lumetra_[a-z0-9]+_([0-9]+)");
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/dev/shm", ec)) {
        const std::string name = entry.path().filename().string();
        std::smatch owner;
        if (name.rfind("jack", 0) == 0 && std::regex_search(name, owner, kServer)
            && ::kill(static_cast<pid_t>(std::stol(owner[1].str())), 0) != 0 && errno == ESRCH)
            std::filesystem::remove(entry.path(), ec);
    }
    if (!AnyJackServerRuns())
        RemoveSharedMemoryOf("lumetra_e2e_" + std::to_string(::getpid()), true);
}

// A JACK server of its own for each test, under a name no parallel run
// shares; the shared-memory files of this run's servers go when the suite does.
class JackCaptureTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_jackd = QStandardPaths::findExecutable(QStringLiteral("jackd"));
        if (m_jackd.isEmpty()) {
            if (qgetenv("CI") == "true")
                FAIL() << "jackd is not installed, and CI needs this test to run";
            GTEST_SKIP() << "jackd is not installed: the end-to-end capture test needs a JACK server";
        }
        jack_set_error_function(&Quiet);
        jack_set_info_function(&Quiet);
        m_server = "lumetra_e2e_" + std::to_string(::getpid()) + "_" + std::to_string(++m_nServers);
        ::setenv("JACK_DEFAULT_SERVER", m_server.c_str(), 1);
        ::setenv("JACK_NO_START_SERVER", "1", 1);
        ASSERT_NO_FATAL_FAILURE(StartServer());
    }
    void StartServer()
    {
        // A long client timeout: on a loaded machine the server would
        // otherwise drop a client that answers late (the tone client then
        // plays silence into ports that stay connected).
        ASSERT_NO_FATAL_FAILURE(m_jackServer.Start(m_jackd,
            { "--no-realtime", "-t", "10000", "-n", QString::fromStdString(m_server), "-d", "dummy", "-r",
              QString::number(kServerRate), "-p", "512" }, QStringLiteral("jackd.log")));
        bool ready = false;
        for (int i = 0; i < 100 && !ready; ++i) {
            const auto options = static_cast<jack_options_t>(JackNoStartServer | JackServerName);
            jack_client_t* probe = jack_client_open("lumetra_probe", options, nullptr, m_server.c_str());
            ready = probe != nullptr && jack_client_close(probe) == 0;
            if (!ready && m_jackServer.waitForFinished(100))
                break;
        }
        ASSERT_TRUE(ready) << "the JACK server did not come up; see jackd.log";
    }
    void StartTone(CChild& tone, const char* log)
    {
        tone.Start(QStringLiteral(LUMETRA_JACK_TONE),
                   { QString::fromStdString(m_server), CPortAudioWaveDriver::kJackClientName, "60" },
                   QString::fromLatin1(log));
    }
    static void SetUpTestSuite() { RemoveLeftoversOfDeadRuns(); }
    static void TearDownTestSuite() { RemoveSharedMemoryOf("lumetra_e2e_" + std::to_string(::getpid()), true); }

    inline static int m_nServers = 0;
    QString m_jackd;
    std::string m_server;
    CChild m_jackServer;
};

// The whole life of a capture from a JACK server: the tone arrives as full
// anti-phase blocks and at the bar; the server killed, the capture side
// closes the device itself, the host is told and the bars fall as in
// silence; the server started again under the same name with the tone
// client, the hub reopens by itself and the tone's peaks arrive again.
TEST_F(JackCaptureTest, ToneArrivesTheLostServerIsToldAndARestartedOneIsReconnectedByItself)
{
    CNoticeRecorder notices;
    CPortAudioWaveDriver driver;
    ASSERT_TRUE(driver.IsInitialized());
    CDriverScope scope(&driver);
    CToneJudge judge;
    CFakePpm ppm;
    CRecordingHost host;
    CAudioCapture capture;
    capture.CreateThread();
    CVelmoraDoc doc(capture);
    judge.m_pHub = &doc;
    capture.SetDocument(&judge);
    doc.SetPpm(&ppm);
    doc.SetHost(&host);
    ASSERT_GT(capture.Device().EnumerateDevices(), 0);
    const auto& names = capture.Device().Names();
    const auto system = std::find(names.begin(), names.end(), "JACK: system");
    ASSERT_NE(system, names.end()) << "PortAudio lists no JACK device";
    capture.Device().SetDeviceId(static_cast<int>(system - names.begin()));
    // The server runs at 48000: asking for 44100 is refused and the open
    // falls back to the server's rate.
    capture.Device().SetSampleRate(44100);
    ppm.SetOn(1);
    ASSERT_EQ(doc.MeterOn(), 1);
    EXPECT_EQ(capture.Device().SampleRate(), kServerRate);
    {
        CChild tone;
        ASSERT_NO_FATAL_FAILURE(StartTone(tone, "tone1.log"));
        ASSERT_TRUE(SpinUntil([&] { return judge.m_nJudged == kBlocksToCheck; }, 20000)) << "see tone1.log";
        EXPECT_EQ(judge.m_nFaulty, 0) << "blocks without the crest or without R = -L";
        ASSERT_TRUE(SpinUntil([&] { return LastLeftValue(ppm) >= kExpectedPeak - 1; }, 20000)) << "no tone at the bar";
    }

    m_jackServer.Stop();
    ASSERT_TRUE(SpinUntil([&] { return doc.IsInputLost(); }, 10000)) << "the loss was not noticed";
    EXPECT_EQ(host.m_lost, std::vector<std::string> { "JACK: system" });
    EXPECT_EQ(capture.LostNotices(), 1u);
    EXPECT_TRUE(capture.WaitForIdle());
    EXPECT_FALSE(capture.Device().IsOpen());
    EXPECT_TRUE(capture.StopCapture()) << "a stop after the capture side closed the device itself hangs";
    // Falling as in silence: zero levels keep arriving without any packet.
    const std::size_t before = ppm.m_events.size();
    const auto zeros = [&] { return std::count(ppm.m_events.begin() + before, ppm.m_events.end(), "value 0 0"); };
    ASSERT_TRUE(SpinUntil([&] { return zeros() >= 20; }, 5000));
    EXPECT_EQ(ppm.IsOn(), 1);
    EXPECT_EQ(doc.MeterCount(), 1);

    ASSERT_NO_FATAL_FAILURE(StartServer());
    CChild tone;
    ASSERT_NO_FATAL_FAILURE(StartTone(tone, "tone2.log"));
    ASSERT_TRUE(SpinUntil([&] { return !doc.IsInputLost(); }, 15000)) << "no reconnection";
    EXPECT_EQ(host.m_lost, (std::vector<std::string> { "JACK: system", "" }));
    EXPECT_TRUE(capture.Device().IsOpen());
    // Blocks flow from the new server: a second's worth arrives...
    const std::uint64_t delivered = capture.DeliveredBlocks();
    EXPECT_TRUE(SpinUntil([&] { return capture.DeliveredBlocks() >= delivered + 90; }, 10000));
    // ...and they carry the tone at its level, not silence.
    ppm.m_events.clear();
    EXPECT_TRUE(SpinUntil([&] { return LastLeftValue(ppm) >= kExpectedPeak - 1; }, 10000)) << "see tone2.log";
    EXPECT_TRUE(notices.Notices().empty());
    doc.MeterOff(true);
    capture.m_bStop = 1;
    capture.EndThread();
}

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
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), folder.filePath(QStringLiteral("config")));
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
    EXPECT_EQ(QFile(folder.filePath(QStringLiteral("cv.wsp"))).size(), 834);
    QSettings stored(folder.filePath(QStringLiteral("config/TARVIX/Tarvix Audio Meter.conf")), QSettings::IniFormat);
    EXPECT_EQ(stored.value(QStringLiteral("Settings/MsgDecay")).toInt(), 1);
}

} // namespace
