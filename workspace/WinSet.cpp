#include "workspace/WinSet.h"

#include "workspace/ArchiveReader.h"
#include "workspace/ArchiveWriter.h"

void CWinSet::Write(CArchiveWriter& archive) const
{
    archive.WriteString(m_strTitle);
    archive.WriteString(m_strText2);
    archive.WriteU32(m_nType);
    for (std::int32_t value : m_wp.Values())
        archive.WriteI32(value);
    for (std::int32_t value : m_nParam)
        archive.WriteI32(value);
}

bool CWinSet::Read(CArchiveReader& archive)
{
    CWinSet record;
    std::array<std::int32_t, 11> placement {};
    archive.ReadString(record.m_strTitle);
    archive.ReadString(record.m_strText2);
    archive.ReadU32(record.m_nType);
    for (std::int32_t& value : placement)
        archive.ReadI32(value);
    for (std::int32_t& value : record.m_nParam)
        archive.ReadI32(value);
    if (archive.Failed())
        return false;
    record.m_wp = CWindowPlacement::FromValues(placement);
    *this = record;
    return true;
}
