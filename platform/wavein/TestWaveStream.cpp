#include "platform/wavein/TestWaveStream.h"

#include "platform/wavein/TestWaveDriver.h"

CTestWaveStream::CTestWaveStream(CTestWaveDriver& driver, CThreadMessageQueue& notify)
    : m_driver(driver)
    , m_buffers(notify)
{
}

CTestWaveStream::~CTestWaveStream()
{
    std::lock_guard lock(m_driver.Lock());
    m_driver.Detach(this);
}

MMRESULT CTestWaveStream::Start()
{
    std::lock_guard lock(m_driver.Lock());
    m_bStarted = true;
    return MMSYSERR_NOERROR;
}

MMRESULT CTestWaveStream::Stop()
{
    std::lock_guard lock(m_driver.Lock());
    m_bStarted = false;
    return MMSYSERR_NOERROR;
}

MMRESULT CTestWaveStream::Reset()
{
    std::lock_guard lock(m_driver.Lock());
    m_bStarted = false;
    m_buffers.ReturnAll();
    return MMSYSERR_NOERROR;
}

MMRESULT CTestWaveStream::Close()
{
    std::lock_guard lock(m_driver.Lock());
    if (m_buffers.Queued() > 0)
        return WAVERR_STILLPLAYING;
    m_bStarted = false;
    m_driver.Detach(this);
    m_buffers.PostClose();
    return MMSYSERR_NOERROR;
}

bool CTestWaveStream::Deliver(const std::int16_t* stereo, int frames)
{
    if (!m_bStarted || m_buffers.Queued() == 0)
        return false;
    return m_buffers.Write(stereo, frames) == 0;
}
