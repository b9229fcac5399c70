#include "offline/LoudnessAlongside.h"

CLoudnessAlongside::CLoudnessAlongside(CFileLoudness& loudness)
    : m_loudness(loudness)
    , m_thread([this] { Run(); })
{
}

CLoudnessAlongside::~CLoudnessAlongside()
{
    m_idle.acquire();
    m_bQuit = true;
    m_work.release();
    m_thread.join();
}

void CLoudnessAlongside::Add(const float* frames, int count)
{
    m_idle.acquire();
    m_pFrames = frames;
    m_nCount = count;
    m_work.release();
    // The true peak here, while the thread measures the rest: the two
    // threads then take about the same time.
    m_loudness.AddTruePeak(frames, count);
}

void CLoudnessAlongside::Wait()
{
    m_idle.acquire();
    m_idle.release();
}

void CLoudnessAlongside::Run()
{
    for (;;) {
        m_work.acquire();
        if (m_bQuit)
            return;
        m_loudness.AddAllButTruePeak(m_pFrames, m_nCount);
        m_idle.release();
    }
}
