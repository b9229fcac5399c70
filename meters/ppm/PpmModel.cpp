#include "meters/ppm/PpmModel.h"

#include <algorithm>
#include <cstdio>

CPpmModel::CPpmModel(unsigned channels) : m_channels(channels), m_readings(channels) {}

void CPpmModel::SetChannelCount(unsigned channels)
{
    m_channels.resize(channels);
    m_readings.resize(channels);
    ApplyReturnRate();
}

void CPpmModel::SetDecayTime(unsigned units)
{
    m_nDecayTime = units;
    ApplyReturnRate();
}

unsigned CPpmModel::DecayIndex() const
{
    if (m_nDecayTime == ppm::kDecayFast)
        return 0;
    return m_nDecayTime == ppm::kDecaySlow ? 2 : 1;
}

void CPpmModel::ApplyReturnRate()
{
    const double rate = CPpmBallistics::ReturnDbPerSecond(m_ballistics, DecayIndex());
    for (CPpmDbFall& reading : m_readings)
        reading.SetRate(rate);
}

void CPpmModel::SetBallistics(EPpmBallistics mode)
{
    m_ballistics = mode;
    for (CPpmChannel& c : m_channels)
        c = CPpmChannel {};
    for (CPpmDbFall& reading : m_readings)
        reading.Reset();
    ApplyReturnRate();
}

unsigned CPpmModel::StepOfDb(double db)
{
    const auto& table = CPpmLevelTable::DbTable();
    // The first step above the reading; the one before it is the reading's.
    const auto above = std::upper_bound(table.begin(), table.end(), db);
    return above == table.begin() ? 0 : static_cast<unsigned>(above - table.begin() - 1);
}

bool CPpmModel::InputLevel(float linear, unsigned channel, double seconds)
{
    if (!ReadsDb() || channel >= m_channels.size())
        return false;
    const double db = m_readings[channel].Next(CPpmDbFall::ToDb(linear), seconds);
    CPpmChannel& c = m_channels[channel];
    const unsigned step = StepOfDb(db);
    const bool rose = step >= c.level;
    c.level = step;
    // The reading falls by itself: a tick has nothing to take from it.
    c.raised = true;
    c.maxLevel = std::max(c.maxLevel, step);
    return rose;
}

void CPpmModel::ClearReading(unsigned channel)
{
    if (channel < m_readings.size())
        m_readings[channel].Reset();
}

double CPpmModel::ReadingDb(unsigned channel) const
{
    return ReadsDb() && channel < m_readings.size() ? m_readings[channel].Reading() : CPpmDbFall::kFloorDb;
}

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
    if (ReadsDb() || channel >= m_channels.size() || !StepOf(magnitude, step))
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
    if (ReadsDb())
        return;
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
    for (CPpmDbFall& reading : m_readings)
        reading.Reset();
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
    m_ballistics = other.m_ballistics;
    m_readings = other.m_readings;
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
