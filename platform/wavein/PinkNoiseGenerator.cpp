#include "platform/wavein/PinkNoiseGenerator.h"

double CPinkNoiseGenerator::White()
{
    // xorshift32: fast, no allocation, good enough for a test signal.
    m_nState ^= m_nState << 13;
    m_nState ^= m_nState >> 17;
    m_nState ^= m_nState << 5;
    return static_cast<double>(m_nState) / 2147483648.0 - 1.0;
}

double CPinkNoiseGenerator::Next()
{
    // Seven one-pole sections whose sum approximates a 1/f spectrum across
    // the audio band (within about 0.05 dB above 9 Hz at 44.1 kHz).
    const double white = White();
    m_b[0] = 0.99886 * m_b[0] + white * 0.0555179;
    m_b[1] = 0.99332 * m_b[1] + white * 0.0750759;
    m_b[2] = 0.96900 * m_b[2] + white * 0.1538520;
    m_b[3] = 0.86650 * m_b[3] + white * 0.3104856;
    m_b[4] = 0.55000 * m_b[4] + white * 0.5329522;
    m_b[5] = -0.7616 * m_b[5] - white * 0.0168980;
    const double pink = m_b[0] + m_b[1] + m_b[2] + m_b[3] + m_b[4] + m_b[5] + m_b[6] + white * 0.5362;
    m_b[6] = white * 0.115926;
    // The bank's gain is about 5; scale back to roughly unit peaks.
    return pink * 0.2;
}
