#pragma once
// What a menu shows: the positions of its checked items.
#include <QAction>
#include <QMenu>

#include <vector>

inline std::vector<int> CheckedPositions(const QMenu* menu)
{
    std::vector<int> positions;
    const QList<QAction*> items = menu->actions();
    for (int i = 0; i < items.size(); ++i) {
        if (items[i]->isChecked())
            positions.push_back(i);
    }
    return positions;
}
