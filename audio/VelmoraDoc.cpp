#include "audio/VelmoraDoc.h"

#include "audio/AudioCapture.h"
#include "audio/LoudnessThread.h"
#include "platform/UiWakeup.h"
#include "platform/wavein/WaveIn.h"

#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstring>

static_assert(CLoudnessThread::kFramesPerBlock == CVelmoraDoc::kFramesPerBlock, "the loudness thread takes whole blocks");

CVelmoraDoc::CVelmoraDoc(CAudioCapture& capture)
    : m_capture(capture)
    , m_ring(kPacketRingSize)
    , m_pWakeup(std::make_unique<CUiWakeup>([this] {
        ++m_nUiWakes;
        ApplyPacedPackets();
    }))
    , m_pApplyTimer(std::make_unique<QTimer>())
    , m_pLostWakeup(std::make_unique<CUiWakeup>([this] { HandleInputLost(); }))
    , m_pDecayTimer(std::make_unique<QTimer>())
    , m_pRetryTimer(std::make_unique<QTimer>())
    , m_pDropoutTimer(std::make_unique<QTimer>())
{
    m_pApplyTimer->setSingleShot(true);
    // Never early: paced applies lie at least a period apart.
    m_pApplyTimer->setTimerType(Qt::PreciseTimer);
    m_pApplyTimer->setInterval(kApplyPeriodMs);
    m_pApplyTimer->callOnTimeout([this] { ApplyPacedPackets(); });
    m_pDecayTimer->setTimerType(Qt::PreciseTimer);
    m_pDecayTimer->callOnTimeout([this] { ApplySilence(); });
    m_pRetryTimer->setInterval(kRetryMs);
    m_pRetryTimer->callOnTimeout([this] { RetryLostInput(); });
    m_pDropoutTimer->setInterval(kDropoutPollMs);
    m_pDropoutTimer->callOnTimeout([this] { PollDropouts(); });
    m_silence.hasPeaks = true;
    m_capture.SetDocument(this);
}

CVelmoraDoc::~CVelmoraDoc()
{
    m_capture.SetDocument(nullptr);
    m_pLoudnessThread.reset();
}

void CVelmoraDoc::DetachInstruments()
{
    m_pPpm = nullptr;
    m_pCor = nullptr;
    m_pEstimator = nullptr;
    m_pFft = nullptr;
    m_pAnalyzerFeed = nullptr;
    m_pStereo = nullptr;
}

void CVelmoraDoc::SetLoudnessFeed(ILoudnessFeed* feed)
{
    if (feed == m_pLoudnessFeed)
        return;
    if (m_pLoudnessThread) {
        m_nEarlierLoudnessDrops += m_pLoudnessThread->Dropped();
        m_pLoudnessThread.reset();
    }
    m_pLoudnessFeed = feed;
    if (feed)
        m_pLoudnessThread = std::make_unique<CLoudnessThread>(*feed);
}

bool CVelmoraDoc::WaitForLoudness()
{
    return !m_pLoudnessThread || m_pLoudnessThread->WaitUntilMeasured(std::chrono::milliseconds(kLoudnessCatchUpMs));
}

std::uint64_t CVelmoraDoc::DroppedLoudnessBlocks() const
{
    return m_nEarlierLoudnessDrops + (m_pLoudnessThread ? m_pLoudnessThread->Dropped() : 0);
}

// ---- capture thread -------------------------------------------------------

void CVelmoraDoc::ProcessBlock(const std::uint8_t* block, const std::uint8_t* sampleArea)
{
    CMeterPacket* packet = m_ring.BeginWrite();
    const bool queued = packet != nullptr;
    if (!queued)
        packet = &m_scratch;
    packet->hasPeaks = false;
    packet->nPairs = 0;
    packet->hasCorrelation = false;
    packet->hasBands = false;
    packet->hasLoudness = false;
    packet->hasLevels = false;

    DistributeBlock(reinterpret_cast<const std::int16_t*>(block), *packet);
    MeasureLoudness(reinterpret_cast<const std::int16_t*>(block), *packet);
    if (++m_nBlockCounter >= 2) {
        AnalyzeWindow(AssembleWindow(block, sampleArea), *packet);
        m_nBlockCounter = 0;
    }
    packet->tick = m_capture.m_bPostTick.load(std::memory_order_relaxed) != 0;

    if (queued) {
        m_ring.EndWrite();
        // Only a UI thread that has gone idle needs waking; a busy one finds
        // this packet itself. The count and the flag are seq_cst against the
        // UI side's (see AnnounceIdle), so either we see it idle or it sees
        // this packet counted.
        m_nPacketsPublished.fetch_add(1, std::memory_order_seq_cst);
        if (m_bUiIdle.exchange(false, std::memory_order_seq_cst))
            m_pWakeup->Wake();
    }
}

void CVelmoraDoc::OnInputLost() { m_pLostWakeup->Wake(); }

void CVelmoraDoc::OnInputOpened()
{
    m_nBlockCounter = 0;
    // A device (re)opened, perhaps at another rate: the loudness
    // integration starts again at the rate the blocks now come at.
    if (m_pLoudnessThread)
        m_pLoudnessThread->NoteOpened(static_cast<unsigned long>(std::max(0, m_capture.Device().SampleRate())));
}

void CVelmoraDoc::MeasureLoudness(const std::int16_t* block, CMeterPacket& packet)
{
    // The measurement itself runs on the loudness thread; the packet gets
    // its newest reading when there is a new one. A block the full ring
    // cannot take is counted as a dropout (see CLoudnessThread).
    if (!m_pLoudnessThread || !m_pLoudnessFeed->IsOnForCapture())
        return;
    m_pLoudnessThread->HandOver(block);
    packet.hasLoudness = m_pLoudnessThread->TakeReading(packet.loudness);
}

void CVelmoraDoc::DistributeBlock(const std::int16_t* block, CMeterPacket& packet)
{
    const bool ppmOn = m_pPpm && m_pPpm->IsOnForCapture();
    const bool stereoOn = m_pStereo && m_pStereo->IsOnForCapture();
    const int decimation = m_pStereo ? m_pStereo->DecimationForCapture() : 0;
    // A sample step outside the three modes skips the block's scan: the PPM
    // then reads silence and nothing is plotted.
    const bool scan = decimation >= 0 && decimation <= 2;
    if (ppmOn) {
        packet.hasPeaks = true;
        packet.peak[0] = scan ? ChannelPeak(block, 0) : 0;
        packet.peak[1] = scan ? ChannelPeak(block, 1) : 0;
        MeasureLevels(block, scan, packet);
    }
    if (stereoOn && scan)
        packet.nPairs = SelectPairs(block, 1 << decimation, packet.pairs);
}

void CVelmoraDoc::MeasureLevels(const std::int16_t* block, bool scan, CMeterPacket& packet)
{
    const int rate = std::max(1, m_capture.Device().SampleRate());
    if (scan) {
        packet.hasLevels = m_pPpm->MeasureForCapture(block, kFramesPerBlock, rate, packet.level, packet.levelMode);
    } else {
        // Unscanned blocks read as silence, in whatever mode the meter is.
        packet.hasLevels = true;
        packet.level[0] = packet.level[1] = 0;
        packet.levelMode = -1;
    }
    packet.levelSeconds = static_cast<float>(kFramesPerBlock) / static_cast<float>(rate);
}

std::uint16_t CVelmoraDoc::ChannelPeak(const std::int16_t* block, int channel)
{
    // The folded magnitude x ^ (x >> 15) is x for x >= 0 and -x-1 (its
    // complement) below, so -1 counts as 0 and -32768 as 32767. Eight
    // samples of both channels at a time (left in the even lanes, right in
    // the odd ones): a straight pass over the block, where one channel alone
    // is a strided walk the compiler vectorises poorly.
    typedef std::int16_t Samples __attribute__((vector_size(16)));
    constexpr int kLanes = static_cast<int>(sizeof(Samples) / sizeof(std::int16_t));
    Samples top {};
    for (int i = 0; i < 2 * kFramesPerBlock; i += kLanes) {
        Samples x;
        std::memcpy(&x, block + i, sizeof x);
        const Samples folded = x ^ (x >> 15);
        top = folded > top ? folded : top;
    }
    int peak = 0;
    for (int lane = channel; lane < kLanes; lane += 2)
        peak = std::max(peak, static_cast<int>(top[lane]));
    return static_cast<std::uint16_t>(peak);
}

int CVelmoraDoc::SelectPairs(const std::int16_t* block, int step, std::int16_t (*pairs)[2])
{
    if (step == 1) {
        // Every frame: the pairs are the block itself.
        std::memcpy(pairs, block, kBlockBytes);
        return kFramesPerBlock;
    }
    int n = 0;
    for (int frame = 0; frame < kFramesPerBlock; frame += step, ++n) {
        pairs[n][0] = block[2 * frame];
        pairs[n][1] = block[2 * frame + 1];
    }
    return n;
}

const std::int16_t* CVelmoraDoc::AssembleWindow(const std::uint8_t* block, const std::uint8_t* sampleArea)
{
    if (block == sampleArea) {
        // Buffer 0: its predecessor, buffer 31, lies at the end of the area.
        std::memcpy(m_seam, sampleArea + 31 * kBlockBytes, kBlockBytes);
        std::memcpy(m_seam + kBlockBytes, block, kBlockBytes);
        return reinterpret_cast<const std::int16_t*>(m_seam);
    }
    return reinterpret_cast<const std::int16_t*>(block - kBlockBytes);
}

void CVelmoraDoc::AnalyzeWindow(const std::int16_t* window, CMeterPacket& packet)
{
    if (m_pEstimator) {
        const CCorReading reading = m_pEstimator->Estimate(window);
        if (m_pCor && m_pCor->IsOnForCapture()) {
            packet.hasCorrelation = true;
            packet.correlation = reading;
        }
    }
    if (m_pAnalyzerFeed)
        packet.hasBands = m_pAnalyzerFeed->Feed(window, packet.bands);
}

// ---- UI thread -------------------------------------------------------------

bool CVelmoraDoc::DrainPackets()
{
    bool applied = false;
    if (const std::size_t waiting = m_ring.Waiting(); m_bMergeBacklog && waiting > static_cast<std::size_t>(kMaxReplayPackets)) {
        MergeWaitingPackets(waiting);
        applied = true;
    }
    while (const CMeterPacket* packet = m_ring.BeginRead()) {
        ApplyPacket(*packet);
        TakePacket();
        applied = true;
    }
    return applied;
}

void CVelmoraDoc::TakePacket()
{
    m_ring.EndRead();
    ++m_nPacketsTaken;
}

bool CVelmoraDoc::AnnounceIdle()
{
    // Announce that the next packet must wake us, then look at the count
    // once more: a packet counted before the announcement is seen here, one
    // counted after it finds the flag set and wakes us. A packet already
    // taken but not yet counted is followed by its wake.
    m_bUiIdle.store(true, std::memory_order_seq_cst);
    const auto untaken = static_cast<std::int64_t>(m_nPacketsPublished.load(std::memory_order_seq_cst) - m_nPacketsTaken);
    if (untaken <= 0)
        return true;
    m_bUiIdle.store(false, std::memory_order_relaxed);
    return false;
}

void CVelmoraDoc::ApplyPackets()
{
    do
        DrainPackets();
    // While the apply timer runs, it looks again itself.
    while (!m_pApplyTimer->isActive() && !AnnounceIdle());
}

// Applying per packet would wake the UI thread and draw every control per
// block. Instead the packets of one period are applied together, and while
// packets keep coming the period's timer, not a wake per packet, brings the
// UI thread back for the next ones.
void CVelmoraDoc::ApplyPacedPackets()
{
    if (!DrainPackets() && AnnounceIdle())
        return;
    DrainPackets();
    ++m_nPacedApplies;
    m_bUiIdle.store(false, std::memory_order_relaxed);
    m_pApplyTimer->start();
}

void CVelmoraDoc::ApplyPacket(const CMeterPacket& packet)
{
    // A packet made while an instrument was on may arrive after it was
    // switched off: an instrument that is off takes nothing.
    if (m_pStereo && packet.nPairs > 0 && m_pStereo->IsOn()) {
        for (int i = 0; i < packet.nPairs; ++i)
            m_pStereo->PlotPoint(packet.pairs[i][0], packet.pairs[i][1]);
    }
    if (m_pPpm && packet.hasPeaks && m_pPpm->IsOn()) {
        m_pPpm->SetValue(packet.peak[0], 0);
        m_pPpm->SetValue(packet.peak[1], 1);
        if (packet.hasLevels)
            m_pPpm->SetLevels(packet.level, packet.levelSeconds, packet.levelMode);
    }
    if (m_pCor && packet.hasCorrelation && m_pCor->IsOn())
        m_pCor->ShowCorrelation(packet.correlation.smoothed, packet.correlation.raw);
    if (m_pFft && packet.hasBands && m_pFft->IsOn()) {
        for (int i = 0; i < kBandCount; ++i)
            m_pFft->SetValue(packet.bands[i], i);
    }
    if (m_pLoudness && packet.hasLoudness && m_pLoudness->IsOn())
        m_pLoudness->ShowLoudness(packet.loudness);
    if (m_pPpm && packet.tick)
        m_pPpm->OnTimer();
}

// A backlog (the UI thread stalled) is shown as one step: what the
// instruments would show at its end, without replaying the past. Peaks keep
// their highest value per channel, the analyzer, the correlation and the
// loudness meter their most recent reading, the stereo meter the pairs of the most recent
// packets, and the PPM gets one tick per block period that went by.
void CVelmoraDoc::MergeWaitingPackets(std::size_t count)
{
    CMeterPacket& merged = m_merged;
    merged.hasPeaks = false;
    merged.peak[0] = merged.peak[1] = 0;
    merged.hasCorrelation = false;
    merged.hasBands = false;
    merged.nPairs = 0;
    merged.tick = false;
    merged.hasLoudness = false;
    merged.hasLevels = false;
    merged.levelSeconds = 0;
    merged.levelMode = -1;
    int ticks = 0;
    // The trail is drawn from the pairs of the last few packets only.
    const std::size_t plotted = std::min<std::size_t>(count, 4);
    for (std::size_t i = 0; i < count; ++i) {
        const CMeterPacket* packet = m_ring.BeginRead();
        if (!packet)
            break;
        if (packet->hasPeaks) {
            merged.hasPeaks = true;
            merged.peak[0] = std::max(merged.peak[0], packet->peak[0]);
            merged.peak[1] = std::max(merged.peak[1], packet->peak[1]);
        }
        if (packet->hasLevels)
            MergeLevels(*packet, merged);
        if (packet->hasCorrelation) {
            merged.hasCorrelation = true;
            merged.correlation = packet->correlation;
        }
        if (packet->hasBands) {
            merged.hasBands = true;
            std::memcpy(merged.bands, packet->bands, sizeof merged.bands);
        }
        if (packet->hasLoudness) {
            // Its readings and maxima are cumulative: the newest says it all.
            merged.hasLoudness = true;
            merged.loudness = packet->loudness;
        }
        if (packet->tick)
            ++ticks;
        if (i + plotted >= count && m_pStereo && packet->nPairs > 0 && m_pStereo->IsOn()) {
            for (int p = 0; p < packet->nPairs; ++p)
                m_pStereo->PlotPoint(packet->pairs[p][0], packet->pairs[p][1]);
        }
        TakePacket();
    }
    ApplyPacket(merged);
    if (m_pPpm) {
        for (int t = 0; t < ticks; ++t)
            m_pPpm->OnTimer();
    }
}

// The merged readings are the highest of the packets measured in the most
// recent mode, over the time all of them cover (readings of an earlier mode
// mean nothing to the meter now).
void CVelmoraDoc::MergeLevels(const CMeterPacket& packet, CMeterPacket& merged)
{
    const bool sameMode = packet.levelMode < 0 || packet.levelMode == merged.levelMode;
    if (!merged.hasLevels || !sameMode) {
        merged.level[0] = merged.level[1] = 0;
        if (!merged.hasLevels || packet.levelMode >= 0)
            merged.levelMode = packet.levelMode;
    }
    merged.hasLevels = true;
    merged.level[0] = std::max(merged.level[0], packet.level[0]);
    merged.level[1] = std::max(merged.level[1], packet.level[1]);
    merged.levelSeconds += packet.levelSeconds;
}

void CVelmoraDoc::ReportSampleRate(int rateBefore)
{
    const int rateAfter = m_capture.Device().SampleRate();
    if (rateAfter != rateBefore && m_pFft)
        m_pFft->SetSampleRate(rateAfter);
}

int CVelmoraDoc::MeterOn()
{
    const int rateBefore = m_capture.Device().SampleRate();
    int result = 1;
    if (++m_nMeterCount == 1) {
        // After a loss the device list is stale (a restarted server is only
        // seen by a fresh start of the audio library).
        if (m_bRescanBeforeOpen)
            RescanFor(CurrentDeviceName());
        result = m_capture.Open();
        if (!result)
            --m_nMeterCount;
        else
            m_pDropoutTimer->start();
    }
    ReportSampleRate(rateBefore);
    return result;
}

int CVelmoraDoc::OpenForRestoredMeters()
{
    if (!m_capture.Open())
        return 0;
    m_pDropoutTimer->start();
    return 1;
}

// ---- a lost input --------------------------------------------------------------

QString CVelmoraDoc::CurrentDeviceName() const
{
    const CWaveIn& waveIn = CWaveIn::Instance();
    int id = m_capture.Device().DeviceId();
    if (id < 0)
        id = waveIn.DefaultDevice();
    return QString::fromStdString(waveIn.DeviceName(id));
}

void CVelmoraDoc::HandleInputLost()
{
    // A device closed on purpose in the meantime is not a loss.
    if (m_nMeterCount == 0 || m_capture.m_bOpened.load(std::memory_order_acquire))
        return;
    // Whatever came before the loss is shown first.
    ApplyPackets();
    m_bRescanBeforeOpen = true;
    if (!m_bInputLost) {
        m_bInputLost = true;
        m_strLostDevice = CurrentDeviceName();
        if (m_pHost)
            m_pHost->ShowInputLost(m_strLostDevice);
    }
    const int rate = std::max(1, m_capture.Device().SampleRate());
    m_pDecayTimer->setInterval(std::max(1, (kFramesPerBlock * 1000 + rate / 2) / rate));
    m_nSilentSteps = 0;
    m_pDecayTimer->start();
    m_pRetryTimer->start();
}

void CVelmoraDoc::EndInputLoss()
{
    m_pDecayTimer->stop();
    m_pRetryTimer->stop();
    if (!m_bInputLost)
        return;
    m_bInputLost = false;
    m_strLostDevice.clear();
    if (m_pHost)
        m_pHost->ShowInputLost(QString());
}

void CVelmoraDoc::ApplySilence()
{
    // Digital silence as the capture side would make it: zero peaks, the
    // stereo trace at the centre, the analyzer's bars fed zeros at its own
    // pace (one window per two blocks) and the meter tick. The correlation
    // pointer is left to its own watchdog, which centres it.
    CMeterPacket& silence = m_silence;
    silence.hasPeaks = m_pPpm && m_pPpm->IsOn();
    silence.peak[0] = silence.peak[1] = 0;
    silence.hasLevels = silence.hasPeaks;
    silence.level[0] = silence.level[1] = 0;
    silence.levelMode = -1;
    silence.levelSeconds = static_cast<float>(kFramesPerBlock) / static_cast<float>(std::max(1, m_capture.Device().SampleRate()));
    const int decimation = m_pStereo ? m_pStereo->DecimationForCapture() : 0;
    silence.nPairs = m_pStereo && decimation >= 0 && decimation <= 2 ? kFramesPerBlock >> decimation : 0;
    std::fill(&silence.pairs[0][0], &silence.pairs[0][0] + 2 * silence.nPairs, std::int16_t { 0 });
    silence.hasCorrelation = false;
    silence.hasLoudness = false;
    if (m_pLoudness && m_pLoudness->IsOn())
        m_pLoudness->ShowNoInput();
    silence.hasBands = (++m_nSilentSteps % 2) == 0;
    if (silence.hasBands)
        std::fill(std::begin(silence.bands), std::end(silence.bands), 0u);
    silence.tick = m_capture.m_bPostTick.load(std::memory_order_relaxed) != 0;
    ApplyPacket(silence);
}

// Asks the drivers again, then finds the device by name: its place in the
// list may have changed. False when the device is not listed now.
bool CVelmoraDoc::RescanFor(const QString& name)
{
    CWaveInDevice& device = m_capture.Device();
    if (!CWaveIn::Instance().Rescan())
        return true;
    m_bRescanBeforeOpen = false;
    device.EnumerateDevices(true);
    const auto& names = device.Names();
    const auto found = std::find(names.begin(), names.end(), name.toStdString());
    if (found == names.end())
        return false;
    if (device.DeviceId() >= 0)
        device.SetDeviceId(static_cast<int>(found - names.begin()));
    return true;
}

bool CVelmoraDoc::RetryLostInput()
{
    if (!m_bInputLost || m_nMeterCount == 0)
        return false;
    CWaveInDevice& device = m_capture.Device();
    // The lost device's close has not come back yet: next time.
    if (device.IsOpen())
        return false;
    if (!RescanFor(m_strLostDevice))
        return false;
    const int rateBefore = device.SampleRate();
    if (!m_capture.Open(true))
        return false;
    ReportSampleRate(rateBefore);
    EndInputLoss();
    return true;
}

// ---- dropouts --------------------------------------------------------------------

std::uint64_t CVelmoraDoc::TotalDropouts() const
{
    return m_ring.Dropped() + m_capture.DeviceDropouts() + DroppedLoudnessBlocks();
}

std::uint64_t CVelmoraDoc::Dropouts() const { return TotalDropouts() - m_nDropoutBase; }

void CVelmoraDoc::ResetDropouts()
{
    m_nDropoutBase = TotalDropouts();
    PollDropouts();
}

void CVelmoraDoc::PollDropouts()
{
    const std::uint64_t count = Dropouts();
    if (count == m_nDropoutsShown)
        return;
    m_nDropoutsShown = count;
    if (m_pHost)
        m_pHost->ShowDropouts(count);
}

void CVelmoraDoc::MeterOff(bool all)
{
    if (!all) {
        if (m_nMeterCount-- != 1)
            return;
    } else {
        m_nMeterCount = 0;
    }
    m_capture.StopCapture();
    EndInputLoss();
    m_pDropoutTimer->stop();
    PollDropouts();
    // Whatever the capture thread finished before it stopped still reaches
    // the displays before they are cleared.
    ApplyPackets();
    if (m_pPpm && m_pPpm->WindowExists())
        m_pPpm->ResetBars(-1, 1);
    if (m_pFft && m_pFft->WindowExists())
        m_pFft->ResetBars(-1, 1);
}

void CVelmoraDoc::AllMetersOff()
{
    IMeterSwitch* const meters[] = { m_pPpm, m_pCor, m_pFft, m_pStereo, m_pLoudness };
    for (IMeterSwitch* meter : meters) {
        // A minimised meter shows itself off but is still counted: it is
        // switched off all the same, or the device would stay open.
        if (meter && meter->IsSwitchedOn()) {
            meter->SetSwitchedOn(0);
            MeterOff(false);
        }
    }
}

void CVelmoraDoc::ResetDisplays()
{
    if (m_pPpm)
        m_pPpm->ResetBars(-1, 1);
    if (m_pFft)
        m_pFft->ResetBars(-1, 1);
    if (m_pStereo && m_pStereo->IsOn())
        m_pStereo->EraseAllPoints();
    if (m_pHost)
        m_pHost->RedrawMainWindow();
}
