// The buffer queue every driver shares: filling across buffer edges,
// overruns, and the reset's return of queued buffers.
#include "platform/ThreadMessageQueue.h"
#include "platform/wavein/WaveBufferQueue.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

class WaveBufferQueueTest : public ::testing::Test {
protected:
    // Three 8-frame buffers (32 bytes each).
    void SetUp() override
    {
        for (int i = 0; i < 3; ++i) {
            m_headers[i].lpData = reinterpret_cast<char*>(m_data[i].data());
            m_headers[i].dwBufferLength = 32;
            m_headers[i].dwFlags = WHDR_PREPARED;
        }
    }
    std::vector<WAVEHDR*> ReturnedHeaders()
    {
        std::vector<WAVEHDR*> out;
        CThreadMessage msg;
        while (m_notify.Peek(msg)) {
            EXPECT_EQ(msg.message, MM_WIM_DATA);
            out.push_back(reinterpret_cast<WAVEHDR*>(msg.lParam));
        }
        return out;
    }
    static std::vector<std::int16_t> Ramp(int frames, int start)
    {
        std::vector<std::int16_t> v;
        for (int i = 0; i < frames; ++i) {
            v.push_back(static_cast<std::int16_t>(start + i));
            v.push_back(static_cast<std::int16_t>(-(start + i)));
        }
        return v;
    }

    CThreadMessageQueue m_notify { 64 };
    CWaveBufferQueue m_queue { m_notify };
    std::array<std::array<std::int16_t, 16>, 3> m_data {};
    WAVEHDR m_headers[3];
};

TEST_F(WaveBufferQueueTest, FramesSpillIntoTheNextBufferAndEachFullOneIsReturnedInOrder)
{
    for (auto& h : m_headers)
        ASSERT_EQ(m_queue.Add(&h), MMSYSERR_NOERROR);
    EXPECT_EQ(m_queue.Queued(), 3);
    // 5 + 7 frames: buffer 0 full (8), 4 frames into buffer 1.
    const auto first = Ramp(5, 0);
    const auto second = Ramp(7, 5);
    EXPECT_EQ(m_queue.Write(first.data(), 5), 0);
    EXPECT_TRUE(ReturnedHeaders().empty());
    EXPECT_EQ(m_queue.Write(second.data(), 7), 0);
    const auto returned = ReturnedHeaders();
    ASSERT_EQ(returned.size(), 1u);
    EXPECT_EQ(returned[0], &m_headers[0]);
    EXPECT_EQ(m_headers[0].dwBytesRecorded, 32u);
    EXPECT_EQ(m_headers[0].dwFlags & (WHDR_DONE | WHDR_INQUEUE), WHDR_DONE);
    EXPECT_EQ(m_data[0][14], 7);
    EXPECT_EQ(m_data[0][15], -7);
    EXPECT_EQ(m_data[1][0], 8);
    EXPECT_EQ(m_data[1][7], -11);
    EXPECT_EQ(m_queue.Queued(), 2);
}

TEST_F(WaveBufferQueueTest, FramesWithNoQueuedBufferAreCountedNotWritten)
{
    ASSERT_EQ(m_queue.Add(&m_headers[0]), MMSYSERR_NOERROR);
    const auto frames = Ramp(20, 1);
    EXPECT_EQ(m_queue.Write(frames.data(), 20), 12);
    EXPECT_EQ(m_queue.Overruns(), 12);
    EXPECT_EQ(ReturnedHeaders().size(), 1u);
    // The other buffers were never touched.
    EXPECT_EQ(m_data[1][0], 0);
    EXPECT_EQ(m_data[2][15], 0);
}

// Mono frames go to both channels and spill over like stereo ones.
TEST_F(WaveBufferQueueTest, MonoFramesGoToBothChannels)
{
    ASSERT_EQ(m_queue.Add(&m_headers[0]), MMSYSERR_NOERROR);
    ASSERT_EQ(m_queue.Add(&m_headers[1]), MMSYSERR_NOERROR);
    const std::int16_t mono[9] = { 100, -200, 300, 4, 5, 6, 7, 8, 9 };
    EXPECT_EQ(m_queue.WriteMono(mono, 9), 0);
    EXPECT_EQ((std::vector<std::int16_t>(m_data[0].begin(), m_data[0].begin() + 6)), (std::vector<std::int16_t> { 100, 100, -200, -200, 300, 300 }));
    EXPECT_EQ(m_data[1][0], 9);
    EXPECT_EQ(m_data[1][1], 9);
    EXPECT_EQ(ReturnedHeaders().size(), 1u);
}

TEST_F(WaveBufferQueueTest, ReturnAllGivesThePartlyFilledBufferFirstWithItsBytes)
{
    for (auto& h : m_headers)
        ASSERT_EQ(m_queue.Add(&h), MMSYSERR_NOERROR);
    const auto frames = Ramp(3, 0);
    m_queue.Write(frames.data(), 3);
    m_queue.ReturnAll();
    const auto returned = ReturnedHeaders();
    ASSERT_EQ(returned.size(), 3u);
    EXPECT_EQ(returned[0], &m_headers[0]);
    EXPECT_EQ(returned[1], &m_headers[1]);
    EXPECT_EQ(returned[2], &m_headers[2]);
    EXPECT_EQ(m_headers[0].dwBytesRecorded, 12u);
    EXPECT_EQ(m_headers[1].dwBytesRecorded, 0u);
    EXPECT_EQ(m_queue.Queued(), 0);
}

TEST_F(WaveBufferQueueTest, UnpreparedOrEmptyHeadersAreRefused)
{
    WAVEHDR unprepared = m_headers[0];
    unprepared.dwFlags = 0;
    EXPECT_EQ(m_queue.Add(&unprepared), WAVERR_UNPREPARED);
    // A buffer must hold one frame (4 bytes).
    WAVEHDR tiny = m_headers[0];
    tiny.dwBufferLength = 3;
    EXPECT_EQ(m_queue.Add(&tiny), MMSYSERR_INVALPARAM);
    EXPECT_EQ(m_queue.Queued(), 0);
    tiny.dwBufferLength = 4;
    EXPECT_EQ(m_queue.Add(&tiny), MMSYSERR_NOERROR);
    // The queue holds 64 buffers: one more is refused and not counted.
    std::vector<WAVEHDR> more(64, tiny);
    for (int i = 1; i < 64; ++i)
        ASSERT_EQ(m_queue.Add(&more[i]), MMSYSERR_NOERROR) << i;
    EXPECT_EQ(m_queue.Add(&more[0]), MMSYSERR_NOMEM);
    EXPECT_EQ(m_queue.Queued(), 64);
    EXPECT_EQ(more[0].dwFlags & WHDR_INQUEUE, 0u);
}

} // namespace
