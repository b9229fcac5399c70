#include "meters/ppm/PpmModel.h"

#include <cstdio>

CPpmModel::CPpmModel(unsigned channels) : m_channels(channels) {}

void CPpmModel::SetChannelCount(unsigned channels) { m_channels.resize(channels); }

void CPpmModel::SetPeakHold(bool on)
{
    m_bPeakHold = on;
    if (on)
        m_bPeakDecay = false;
}

void CPpmModel::SetPeakDecay(bool on)
{
    m_bPeakDecay = on;
    if (on)
        m_bPeakHold = false;
}

bool CPpmModel::StepOf(unsigned magnitude, unsigned& step) const
{
    if (magnitude >= m_levelTable.Size())
        return false;
    step = m_levelTable.Step(magnitude);
    return true;
}

bool CPpmModel::Input(unsigned magnitude, unsigned channel)
{
    unsigned step = 0;
    if (channel >= m_channels.size() || !StepOf(magnitude, step))
        return false;
    return m_channels[channel].Input(step);
}

CPpmModel::TickDue CPpmModel::BeginTick()
{
    TickDue due;
    if (m_pTick->busy)
        return due;
    m_pTick->accum += static_cast<int>(ppm::kTickUnits);
    if (m_pTick->accum < static_cast<int>(m_nDecayTime))
        return due;
    m_pTick->accum = 0;
    m_pTick->busy = 1;
    due.decay = true;
    if (m_bPeakDecay) {
        m_nPeakAccum += m_nDecayTime;
        if (m_nPeakAccum >= ppm::kPeakFallUnits) {
            m_nPeakAccum = 0;
            due.peakFall = true;
        }
    }
    return due;
}

void CPpmModel::Fall(unsigned channel)
{
    CPpmChannel& c = m_channels[channel];
    c.Fall(c.FallStep());
}

CPpmModel::TickDue CPpmModel::Tick()
{
    const TickDue due = BeginTick();
    if (!due.decay)
        return due;
    for (unsigned i = 0; i < m_channels.size(); ++i)
        Fall(i);
    EndTick();
    return due;
}

void CPpmModel::ClearLevels()
{
    for (CPpmChannel& c : m_channels)
        c.level = 0;
}

void CPpmModel::RestartMaxima()
{
    for (CPpmChannel& c : m_channels)
        c.maxLevel = c.level;
}

void CPpmModel::TakeStateOf(const CPpmModel& other)
{
    m_channels = other.m_channels;
    m_nDecayTime = other.m_nDecayTime;
    m_bPeakHold = other.m_bPeakHold;
    m_bPeakDecay = other.m_bPeakDecay;
    m_nPeakAccum = other.m_nPeakAccum;
}

std::string CPpmModel::ReadoutText(unsigned maxStep)
{
    if (maxStep < 1)
        return std::string();
    if (maxStep >= ppm::kTopStep)
        return "0";
    char text[16];
    std::snprintf(text, sizeof text, "%2.1f", CPpmLevelTable::DbTable()[maxStep]);
    return text;
}
