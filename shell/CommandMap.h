#pragma once
// A message-map style command table: ranges of command ids, each with the
// member function that handles them. Dispatch finds the first range holding
// the id and calls its handler with the id. UI thread only.
#include <initializer_list>
#include <vector>

template <class T>
class CCommandMap {
public:
    using Handler = void (T::*)(int id);
    struct Entry {
        int first;
        int last;
        Handler handler;
    };

    CCommandMap(std::initializer_list<Entry> entries) : m_entries(entries) {}

    // True when a handler took the id.
    bool Dispatch(T& target, int id) const
    {
        for (const Entry& e : m_entries) {
            if (id >= e.first && id <= e.last) {
                (target.*e.handler)(id);
                return true;
            }
        }
        return false;
    }

    bool Handles(int id) const
    {
        for (const Entry& e : m_entries) {
            if (id >= e.first && id <= e.last)
                return true;
        }
        return false;
    }

private:
    std::vector<Entry> m_entries;
};
