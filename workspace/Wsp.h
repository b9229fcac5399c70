#pragma once
// One named workspace: the main window's record and one record per
// instrument window, in the order the views added them. Plain data.
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
};
