#pragma once

#include <QtGlobal>

namespace ottavario {

// splitmix64: the same numbers on every platform and with every compiler, so
// a search seeded alike takes the same path everywhere.
class SplitMix {
public:
    explicit SplitMix(quint64 seed)
        : m_state(seed)
    {
    }
    quint64 next()
    {
        quint64 z = (m_state += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }
    // From 0 to bound - 1; bound > 0.
    quint64 below(quint64 bound) { return next() % bound; }

private:
    quint64 m_state;
};

} // namespace ottavario
