#include "workspace/Wsp.h"

#include "workspace/ArchiveReader.h"
#include "workspace/ArchiveWriter.h"

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

void CWsp::Write(CArchiveWriter& archive) const
{
    archive.WriteString(m_strName);
    m_frame.Write(archive);
    archive.WriteCount(static_cast<std::uint32_t>(m_winSets.size()));
    for (const CWinSet& record : m_winSets)
        record.Write(archive);
}

bool CWsp::Read(CArchiveReader& archive)
{
    CWsp workspace;
    std::uint32_t count = 0;
    if (!archive.ReadString(workspace.m_strName) || !workspace.m_frame.Read(archive)
        || !archive.ReadCount(count, CWinSet::kMinFileBytes))
        return false;
    for (std::uint32_t i = 0; i < count; ++i) {
        CWinSet record;
        if (!record.Read(archive))
            return false;
        workspace.m_winSets.push_back(record);
    }
    *this = std::move(workspace);
    return true;
}
