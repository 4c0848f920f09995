#pragma once

#include <cstddef>
#include <vector>

namespace ottavario {

// The elements (0 to n - 1) still uncovered: a list a search draws from by
// position and drops any element from in constant time, the last taking its
// place, so the order, and the draws of a seeded search, repeat.
class OpenList {
public:
    // Empty, for elements 0 to n - 1.
    void reset(size_t n)
    {
        m_at.assign(n, -1);
        m_list.clear();
    }
    void insert(int e)
    {
        m_at[static_cast<size_t>(e)] = static_cast<int>(m_list.size());
        m_list.push_back(e);
    }
    void erase(int e)
    {
        const int at = m_at[static_cast<size_t>(e)];
        const int last = m_list.back();
        m_list[static_cast<size_t>(at)] = last;
        m_at[static_cast<size_t>(last)] = at;
        m_list.pop_back();
        m_at[static_cast<size_t>(e)] = -1;
    }
    bool empty() const { return m_list.empty(); }
    size_t size() const { return m_list.size(); }
    int operator[](size_t i) const { return m_list[i]; }
    std::vector<int>::const_iterator begin() const { return m_list.begin(); }
    std::vector<int>::const_iterator end() const { return m_list.end(); }

private:
    std::vector<int> m_at;
    std::vector<int> m_list;
};

} // namespace ottavario
