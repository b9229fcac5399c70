#pragma once
// The trace of the stereo picture: the positions of the last plotted points
// in a fixed ring of 1024 slots, of which the first `Count()` are in use.
// Each new point takes the next slot; once the ring has wrapped, the point in
// the slot after it is the oldest one, which the caller removes, so
// Count() - 1 points stay lit. Plain C++, no allocation; used by the UI thread.
#include "meters/stereo/StereoIds.h"
#include "meters/stereo/StereoPoint.h"

#include <array>

class CStereoRing {
public:
    // The number of slots in use: 256, 512 or 1024. A new count takes effect
    // on an empty ring only, so the write position can never pass its end;
    // any other value is taken as the default.
    int Count() const { return m_nCount; }
    void SetCount(int count);

    // Stores a point that has just been drawn. Returns the oldest point,
    // which the caller must now remove, or nullptr while the ring has not
    // wrapped yet.
    const StereoPoint* Push(StereoPoint point);

    // Calls `f` for every lit point: the slots before the write position
    // while the ring has not wrapped, every slot but the write position after.
    template <class F>
    void ForEachLit(F&& f) const
    {
        const int end = m_bRingFull ? m_nCount : m_nRingPos;
        for (int slot = 0; slot < end; ++slot) {
            if (!m_bRingFull || slot != m_nRingPos)
                f(m_aRing[slot]);
        }
    }
    int LitCount() const { return m_bRingFull ? m_nCount - 1 : m_nRingPos; }

    // Forgets every point without touching the picture.
    void Reset();

    int RingPos() const { return m_nRingPos; }
    bool IsFull() const { return m_bRingFull; }

private:
    int m_nCount = kDefaultPointCount;
    std::array<StereoPoint, kRingSlots> m_aRing {};
    int m_nRingPos = 0;
    bool m_bRingFull = false;
};
