#pragma once
// One shard of a file list, "K/N": the files whose position in the list
// (counted from 0) modulo N is K. N shards with K = 0..N-1 cover the list
// exactly once, so a job array or Indexed Job fans a list out with no
// scheduler of ours.
//
// Plain value, any thread.
#include <QString>

class CShardSelection {
public:
    CShardSelection() = default; // the whole list: 0/1

    // "K/N" with 0 <= K < N; false with the reason in `error`.
    static bool Parse(const QString& text, CShardSelection& shard, QString& error);

    bool Selects(long long position) const { return position % m_count == m_index; }
    int Index() const { return m_index; }
    int Count() const { return m_count; }

private:
    int m_index = 0;
    int m_count = 1;
};
