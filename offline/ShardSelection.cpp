#include "offline/ShardSelection.h"

#include <QStringList>

bool CShardSelection::Parse(const QString& text, CShardSelection& shard, QString& error)
{
    const QStringList parts = text.split(QLatin1Char('/'));
    bool indexOk = false;
    bool countOk = false;
    const int index = parts.size() == 2 ? parts[0].toInt(&indexOk) : -1;
    const int count = parts.size() == 2 ? parts[1].toInt(&countOk) : 0;
    if (!indexOk || !countOk) {
        error = QStringLiteral("a shard is K/N, for example 0/4");
        return false;
    }
    if (count < 1 || index < 0 || index >= count) {
        error = QStringLiteral("shard %1 of %2 does not exist: K runs from 0 to N-1").arg(index).arg(count);
        return false;
    }
    shard.m_index = index;
    shard.m_count = count;
    return true;
}
