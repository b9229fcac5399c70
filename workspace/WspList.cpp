#include "workspace/WspList.h"

#include "workspace/ArchiveReader.h"
#include "workspace/ArchiveWriter.h"
#include "workspace/WorkspaceIds.h"

#include <QFile>
#include <QSaveFile>

void CWspList::AddWsp(const CWsp& workspace)
{
    m_wsps.push_back(workspace);
    m_nCount = Count();
}

bool CWspList::Replace(int index, const CWsp& workspace)
{
    if (index < 0 || index >= Count())
        return false;
    m_wsps[static_cast<std::size_t>(index)] = workspace;
    return true;
}

void CWspList::FillDefaults()
{
    m_wsps.clear();
    for (int number = 1; number <= kDefaultWorkspaceCount; ++number) {
        CWsp workspace;
        workspace.m_strName = QByteArray(kDefaultWorkspaceNameFormat).replace("%d", QByteArray::number(number));
        m_wsps.push_back(workspace);
    }
    m_nCount = Count();
}

QByteArray CWspList::ToBytes() const
{
    CArchiveWriter archive;
    archive.WriteCount(static_cast<std::uint32_t>(m_wsps.size()));
    for (const CWsp& workspace : m_wsps)
        workspace.Write(archive);
    return archive.Bytes();
}

bool CWspList::AppendFromBytes(const QByteArray& bytes)
{
    CArchiveReader archive(bytes);
    std::uint32_t count = 0;
    if (!archive.ReadCount(count, CWsp::kMinFileBytes))
        return false;
    std::vector<CWsp> read;
    for (std::uint32_t i = 0; i < count; ++i) {
        CWsp workspace;
        if (!workspace.Read(archive))
            return false;
        read.push_back(std::move(workspace));
    }
    // Bytes after the last workspace are ignored, as they always were: the
    // workspaces before them are whole.
    m_wsps.insert(m_wsps.end(), read.begin(), read.end());
    m_nCount = Count();
    return true;
}

bool CWspList::Load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    return AppendFromBytes(bytes);
}

bool CWspList::Save(const QString& path)
{
    m_nCount = Count();
    const QByteArray bytes = ToBytes();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
