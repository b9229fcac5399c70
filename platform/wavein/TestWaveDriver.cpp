#include "platform/wavein/TestWaveDriver.h"

#include "platform/wavein/TestWaveStream.h"
#include "platform/wavein/WaveIn.h"

CTestWaveDriver::CTestWaveDriver()
    : m_previousDrivers(CWaveIn::Instance().ReplaceDrivers({ this }))
{
}

CTestWaveDriver::~CTestWaveDriver() { CWaveIn::Instance().ReplaceDrivers(std::move(m_previousDrivers)); }

int CTestWaveDriver::AddDevice(const std::string& name)
{
    m_names.push_back(name);
    return static_cast<int>(m_names.size()) - 1;
}

void CTestWaveDriver::FailOpen(MMRESULT code, const std::string& text)
{
    m_nFailCode = code;
    m_failText = text;
}

void CTestWaveDriver::ClearFailures()
{
    m_refusedRates.clear();
    m_bBusy = false;
    m_nFailCode = 0;
    m_failText.clear();
}

std::string CTestWaveDriver::DeviceName(int index) const
{
    return index >= 0 && index < DeviceCount() ? m_names[static_cast<std::size_t>(index)] : std::string();
}

MMRESULT CTestWaveDriver::Open(int index, const WAVEFORMATEX& format, CThreadMessageQueue& notify,
                               std::unique_ptr<IWaveInStream>& stream)
{
    m_nOpens.fetch_add(1);
    m_nLastRate.store(static_cast<int>(format.nSamplesPerSec));
    m_nLastDevice.store(index);
    if (index < 0 || index >= DeviceCount())
        return MMSYSERR_BADDEVICEID;
    if (m_bBusy)
        return MMSYSERR_ALLOCATED;
    if (m_refusedRates.count(static_cast<int>(format.nSamplesPerSec)))
        return WAVERR_BADFORMAT;
    if (m_nFailCode != MMSYSERR_NOERROR)
        return m_nFailCode;

    std::lock_guard lock(m_lock);
    if (m_pStream)
        return MMSYSERR_ALLOCATED; // one open stream at a time, as a real device
    auto opened = std::make_unique<CTestWaveStream>(*this, notify);
    m_pStream = opened.get();
    m_pStream->PostOpenNotice();
    stream = std::move(opened);
    return MMSYSERR_NOERROR;
}

bool CTestWaveDriver::ErrorText(MMRESULT code, std::string& text) const
{
    if (m_nFailCode == MMSYSERR_NOERROR || code != m_nFailCode)
        return false;
    text = m_failText;
    return true;
}

void CTestWaveDriver::Detach(CTestWaveStream* stream)
{
    if (m_pStream == stream)
        m_pStream = nullptr;
}

bool CTestWaveDriver::DeliverBlock(const BlockData& block) { return DeliverBlock(block.data()); }

bool CTestWaveDriver::DeliverBlock(const std::int16_t* stereo512)
{
    std::lock_guard lock(m_lock);
    return m_pStream && m_pStream->Deliver(stereo512, kBlockFrames);
}

bool CTestWaveDriver::LoseDevice()
{
    std::lock_guard lock(m_lock);
    if (!m_pStream)
        return false;
    m_pStream->Lose();
    return true;
}

CTestWaveDriver::BlockData CTestWaveDriver::Block(std::int16_t left, std::int16_t right)
{
    BlockData block {};
    for (int i = 0; i < kBlockFrames; ++i) {
        block[static_cast<std::size_t>(2 * i)] = left;
        block[static_cast<std::size_t>(2 * i + 1)] = right;
    }
    return block;
}

int CTestWaveDriver::QueuedBuffers() const
{
    std::lock_guard lock(m_lock);
    return m_pStream ? m_pStream->QueuedBuffers() : 0;
}

bool CTestWaveDriver::IsOpen() const
{
    std::lock_guard lock(m_lock);
    return m_pStream != nullptr;
}

bool CTestWaveDriver::IsStarted() const
{
    std::lock_guard lock(m_lock);
    return m_pStream && m_pStream->IsStarted();
}
