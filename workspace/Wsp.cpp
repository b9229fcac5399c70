#include "workspace/Wsp.h"

void CWsp::CopyFrom(const CWsp& source)
{
    m_strName = source.m_strName;
    m_frame = source.m_frame;
    m_winSets.insert(m_winSets.end(), source.m_winSets.begin(), source.m_winSets.end());
}

int CWsp::AddWinSet(const CWinSet& record)
{
    m_winSets.push_back(record);
    return static_cast<int>(m_winSets.size());
}

const CWinSet* CWsp::FindWinSet(std::uint32_t type) const
{
    for (const CWinSet& record : m_winSets) {
        if (record.m_nType == type)
            return &record;
    }
    return nullptr;
}
