#pragma once
// All workspaces, in file order; the first eight are bound to F5 .. F12.
// Read from the workspace file when the document is created, written back
// when it closes. Plain data; UI thread only.
#include "workspace/Wsp.h"

#include <QString>
#include <vector>

class CWspList {
public:
    // Equals the number of workspaces after every load and before every save.
    int m_nCount = 0;

    int Count() const { return static_cast<int>(m_wsps.size()); }
    const CWsp& At(int index) const { return m_wsps.at(static_cast<std::size_t>(index)); }
    // Appends a copy at the tail.
    void AddWsp(const CWsp& workspace);
    // Replaces workspace `index` in place; false when there is none.
    bool Replace(int index, const CWsp& workspace);
    // Empties the list and fills it with the eight never-stored workspaces
    // "Workspace 1" .. "Workspace 8".
    void FillDefaults();

    // Appends every workspace in the file and returns true. Returns false,
    // with the list unchanged, when the file cannot be opened or is not a
    // whole, valid workspace file (cut short, a count or length beyond its
    // end). Bytes after the last workspace are ignored.
    bool Load(const QString& path);
    // Writes the whole list. The bytes go to a temporary file in the same
    // folder that replaces `path` only once completely written, so a failed
    // write leaves the old file as it was. False when the file could not be
    // written.
    bool Save(const QString& path);

    // The file's bytes for the list, and the list for file bytes (false,
    // list unchanged, when they are not a valid workspace file).
    QByteArray ToBytes() const;
    bool AppendFromBytes(const QByteArray& bytes);

private:
    std::vector<CWsp> m_wsps;
};
