#pragma once
// One named workspace: the main window's record and one record per
// instrument window, in the order the views added them. Plain data; UI
// thread only.
#include "workspace/WinSet.h"

#include <QByteArray>
#include <vector>

class CWsp {
public:
    QByteArray m_strName;
    CWinSet m_frame;
    std::vector<CWinSet> m_winSets;

    // Copies the name and the frame record and appends copies of the
    // source's records to this list.
    void CopyFrom(const CWsp& source);
    // Appends a copy of `record`; returns the new count.
    int AddWinSet(const CWinSet& record);
    // The first record of `type`, or nullptr.
    const CWinSet* FindWinSet(std::uint32_t type) const;
    // A workspace whose frame record has an empty title was never stored.
    bool IsStored() const { return !m_frame.m_strTitle.isEmpty(); }

    bool operator==(const CWsp&) const = default;

    // The workspace in the file: name, frame record, record count, records.
    // Read leaves the workspace untouched and returns false when the bytes
    // run out or a count cannot fit in them.
    void Write(CArchiveWriter& archive) const;
    bool Read(CArchiveReader& archive);
    // The fewest bytes a workspace takes in the file.
    static constexpr int kMinFileBytes = 1 + CWinSet::kMinFileBytes + 2;
};
