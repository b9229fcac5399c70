#pragma once
// The stereo meter's measurement: the last sample pairs it was given, in a
// ring as long as the trace (256, 512 or 1024 pairs). The display maps them
// to points; lumetra-analyze keeps only this.
//
// Plain C++, no allocation. UI thread only.
#include "meters/stereo/StereoIds.h"

#include <array>

class CStereoModel {
public:
    struct Pair {
        int left = 0;
        int right = 0;
    };

    int Count() const { return m_nCount; }
    // A new trace length forgets every pair; a length other than 256, 512
    // or 1024 is taken as the default.
    void SetCount(int count);
    void Input(int left, int right)
    {
        m_pairs[static_cast<unsigned>(m_nPos)] = Pair { left, right };
        if (++m_nPos == m_nCount) {
            m_nPos = 0;
            m_bFull = true;
        }
    }
    void Clear();
    // How many pairs are kept (at most Count()).
    int Size() const { return m_bFull ? m_nCount : m_nPos; }

    // Calls `f(left, right)` for every kept pair, oldest first.
    template <class F>
    void ForEachOldestFirst(F&& f) const
    {
        const int size = Size();
        const int first = m_bFull ? m_nPos : 0;
        for (int i = 0; i < size; ++i) {
            const Pair& p = m_pairs[static_cast<unsigned>((first + i) % m_nCount)];
            f(p.left, p.right);
        }
    }

private:
    std::array<Pair, kRingSlots> m_pairs {};
    int m_nCount = kDefaultPointCount;
    int m_nPos = 0;
    bool m_bFull = false;
};
