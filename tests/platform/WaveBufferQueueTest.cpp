// The buffer queue every driver shares: filling across buffer edges,
// overruns, and the reset's return of queued buffers.
#include "platform/ThreadMessageQueue.h"
#include "platform/wavein/WaveBufferQueue.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

using Samples = std::vector<std::int16_t>;

class WaveBufferQueueTest : public ::testing::Test {
protected:
    // Three prepared 8-frame buffers (32 bytes each).
    void SetUp() override
    {
        for (int i = 0; i < 3; ++i)
            m_headers[i] = { .lpData = reinterpret_cast<char*>(m_data[i].data()), .dwBufferLength = 32,
                .dwFlags = WHDR_PREPARED };
    }
    std::vector<WAVEHDR*> ReturnedHeaders()
    {
        std::vector<WAVEHDR*> out;
        for (CThreadMessage msg; m_notify.Peek(msg); out.push_back(reinterpret_cast<WAVEHDR*>(msg.lParam)))
            EXPECT_EQ(msg.message, MM_WIM_DATA);
        return out;
    }
    Samples Data(int buffer, int from, int to) const { return Samples(m_data[buffer].begin() + from, m_data[buffer].begin() + to); }

    CThreadMessageQueue m_notify { 64 };
    CWaveBufferQueue m_queue { m_notify };
    std::array<std::array<std::int16_t, 16>, 3> m_data {};
    WAVEHDR m_headers[3];
};

// Mono frames go to both channels and spill over like stereo ones; a reset
// returns the partly filled buffer with its bytes.
TEST_F(WaveBufferQueueTest, FramesSpillIntoTheNextBufferAndThoseWithNoBufferAreCounted)
{
    for (int i = 0; i < 2; ++i)
        ASSERT_EQ(m_queue.Add(&m_headers[i]), MMSYSERR_NOERROR);
    // 5 + 7 frames: buffer 0 full (8), 4 frames into buffer 1.
    const std::int16_t stereo[10] = { 0, 0, 1, -1, 2, -2, 3, -3, 4, -4 };
    EXPECT_EQ(m_queue.Write(stereo, 5), 0);
    EXPECT_TRUE(ReturnedHeaders().empty());
    const std::int16_t mono[7] = { 5, -6, 7, 8, 9, 10, 11 };
    EXPECT_EQ(m_queue.WriteMono(mono, 7), 0);
    EXPECT_EQ(ReturnedHeaders(), std::vector<WAVEHDR*> { &m_headers[0] });
    EXPECT_EQ(m_headers[0].dwBytesRecorded, 32u);
    EXPECT_EQ(m_headers[0].dwFlags & (WHDR_DONE | WHDR_INQUEUE), WHDR_DONE);
    EXPECT_EQ(Data(0, 8, 16), (Samples { 4, -4, 5, 5, -6, -6, 7, 7 }));
    EXPECT_EQ(Data(1, 0, 8), (Samples { 8, 8, 9, 9, 10, 10, 11, 11 }));
    m_queue.ReturnAll();
    EXPECT_EQ(ReturnedHeaders(), std::vector<WAVEHDR*> { &m_headers[1] });
    EXPECT_EQ(m_headers[1].dwBytesRecorded, 16u);
    EXPECT_EQ(m_queue.Write(stereo, 5), 5);
    EXPECT_EQ(m_queue.Overruns(), 5);
    EXPECT_EQ(m_data[2][0], 0) << "a buffer never queued was written";
}

// Buffers the capture cannot use are refused, and the queue holds at most 64.
TEST_F(WaveBufferQueueTest, UnpreparedTooSmallOrOneTooManyBuffersAreRefused)
{
    WAVEHDR unprepared = m_headers[0], tiny = m_headers[0];
    unprepared.dwFlags = 0;
    tiny.dwBufferLength = 3;
    EXPECT_EQ(std::pair(m_queue.Add(&unprepared), m_queue.Add(&tiny)), std::pair(WAVERR_UNPREPARED, MMSYSERR_INVALPARAM));
    tiny.dwBufferLength = 4;
    std::vector<WAVEHDR> more(65, tiny);
    for (int i = 0; i < 64; ++i)
        ASSERT_EQ(m_queue.Add(&more[i]), MMSYSERR_NOERROR) << i;
    EXPECT_EQ(std::pair(m_queue.Add(&more[64]), m_queue.Queued()), std::pair(MMSYSERR_NOMEM, 64));
}

} // namespace
