#include "offline/LoudnessAlongside.h"

CLoudnessAlongside::CLoudnessAlongside(CFileLoudness& loudness)
    : m_loudness(loudness)
    , m_thread([this] { Run(); })
{
}

CLoudnessAlongside::~CLoudnessAlongside()
{
    Wait();
    {
        std::lock_guard lock(m_lock);
        m_bQuit = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void CLoudnessAlongside::Add(const float* frames, int count)
{
    Wait();
    {
        std::lock_guard lock(m_lock);
        m_pFrames = frames;
        m_nCount = count;
    }
    m_changed.notify_all();
}

void CLoudnessAlongside::Wait()
{
    std::unique_lock lock(m_lock);
    m_changed.wait(lock, [this] { return m_pFrames == nullptr; });
}

void CLoudnessAlongside::Run()
{
    std::unique_lock lock(m_lock);
    for (;;) {
        m_changed.wait(lock, [this] { return m_pFrames != nullptr || m_bQuit; });
        if (!m_pFrames)
            return;
        const float* frames = m_pFrames;
        const int count = m_nCount;
        lock.unlock();
        m_loudness.Add(frames, count);
        lock.lock();
        m_pFrames = nullptr;
        m_changed.notify_all();
    }
}
