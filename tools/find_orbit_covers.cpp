// Offline search for covers of the grid of paired boxes that a group of its
// symmetries maps onto themselves. The group splits the words of pair symbols
// into orbits, and a cover made of whole orbits is a set cover over orbits: a
// problem small enough for an exact solver. This writes it as an LP file, runs
// Debian's coinor-cbc on it (one thread, a bound on the nodes, so the same
// answer everywhere), checks the answer word by word and writes the cover one
// column mask a line, like find_pair_codes (which can take it on from there);
// cbc's log goes beside it, in out.log.
//
//   find_orbit_covers radius nodes out generators
//
// generators, comma-separated, each acting on all 4 pairs alike:
//   shift   pair g moves to pair g + 1
//   swap    pairs 1 and 2 change places
//   boxes   the two boxes of every pair change places
//   turn    the own numbers of every box turn round
//   shared  the two shared numbers of every pair change places
#include "pair_symbols.h"

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

using namespace ottavario;
using namespace ottavario::pairs;

namespace {
struct Generator {
    std::array<int, 4> pairTo { 0, 1, 2, 3 };
    std::array<int, 8> bitTo { 0, 1, 2, 3, 4, 5, 6, 7 }; // local number -> local number
};

std::optional<Generator> generatorNamed(const std::string& name)
{
    Generator g;
    if (name == "shift")
        g.pairTo = { 1, 2, 3, 0 };
    else if (name == "swap")
        g.pairTo = { 1, 0, 2, 3 };
    else if (name == "boxes")
        g.bitTo = { 0, 1, 5, 6, 7, 2, 3, 4 };
    else if (name == "turn")
        g.bitTo = { 0, 1, 3, 4, 2, 6, 7, 5 };
    else if (name == "shared")
        g.bitTo = { 1, 0, 2, 3, 4, 5, 6, 7 };
    else
        return std::nullopt;
    return g;
}

// The image of every word under a generator.
std::vector<int> imagesUnder(const Generator& g)
{
    std::array<int, kSymbols> symbolTo {};
    for (int x = 0; x < kSymbols; ++x) {
        unsigned to = 0;
        for (int b = 0; b < 8; ++b)
            if (symbols().set[size_t(x)] >> b & 1)
                to |= 1u << g.bitTo[size_t(b)];
        symbolTo[size_t(x)] = symbols().of(to);
    }
    std::vector<int> image(kWords);
    for (int w = 0; w < kWords; ++w) {
        int to = 0;
        for (int p = 0, v = w; p < 4; ++p, v /= kSymbols) {
            int power = 1;
            for (int k = 0; k < g.pairTo[size_t(p)]; ++k)
                power *= kSymbols;
            to += symbolTo[size_t(v % kSymbols)] * power;
        }
        image[size_t(w)] = to;
    }
    return image;
}

// Calls visit(v) for every word v within a loss of radius of w.
template <typename Visit> void near(int w, int radius, Visit&& visit)
{
    auto walk = [&](auto&& self, int p, int v, int index, int power, int left) -> void {
        if (p == 4) {
            visit(index);
            return;
        }
        const int x = v % kSymbols;
        self(self, p + 1, v / kSymbols, index + x * power, power * kSymbols, left);
        for (int y = 0; y < kSymbols; ++y) {
            const int d = symbols().loss[size_t(x)][size_t(y)];
            if (y != x && d <= left)
                self(self, p + 1, v / kSymbols, index + y * power, power * kSymbols, left - d);
        }
    };
    walk(walk, 0, w, 0, 1, radius);
}
}

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s radius nodes out generators\n", argv[0]);
        return 2;
    }
    const int radius = std::atoi(argv[1]);
    const long nodes = std::atol(argv[2]);
    const std::string out = argv[3];
    if (radius < 0 || radius > 8 || nodes < 0) {
        std::fprintf(stderr, "radius from 0 to 8, nodes 0 or more\n");
        return 2;
    }
    std::vector<std::vector<int>> images;
    std::stringstream names(argv[4]);
    for (std::string name; std::getline(names, name, ',');) {
        const auto g = generatorNamed(name);
        if (!g) {
            std::fprintf(stderr, "no generator named %s\n", name.c_str());
            return 2;
        }
        images.push_back(imagesUnder(*g));
    }

    std::vector<int> orbit(kWords, -1), size;
    std::vector<int> first; // a word of every orbit
    for (int w = 0; w < kWords; ++w) {
        if (orbit[size_t(w)] >= 0)
            continue;
        const int id = int(first.size());
        first.push_back(w);
        std::vector<int> todo { w };
        orbit[size_t(w)] = id;
        int count = 0;
        while (!todo.empty()) {
            const int u = todo.back();
            todo.pop_back();
            ++count;
            for (const auto& image : images)
                if (orbit[size_t(image[size_t(u)])] < 0) {
                    orbit[size_t(image[size_t(u)])] = id;
                    todo.push_back(image[size_t(u)]);
                }
        }
        size.push_back(count);
    }
    const int orbits = int(first.size());
    std::fprintf(stderr, "%d orbits\n", orbits);

    // One row per orbit: a word of it lies near some word of the orbits
    // chosen. The group moves rows onto rows, so one word an orbit is enough.
    QTemporaryDir dir;
    const std::string lp = dir.filePath(QStringLiteral("cover.lp")).toStdString();
    const std::string solution = dir.filePath(QStringLiteral("cover.sol")).toStdString();
    {
        std::ofstream file(lp);
        file << "Minimize\n obj:";
        for (int o = 0; o < orbits; ++o)
            file << " + " << size[size_t(o)] << " x" << o << (o % 10 == 9 ? "\n" : "");
        file << "\nSubject To\n";
        std::vector<int> seen(size_t(orbits), -1);
        for (int o = 0; o < orbits; ++o) {
            file << " r" << o << ":";
            int terms = 0;
            near(first[size_t(o)], radius, [&](int v) {
                const int p = orbit[size_t(v)];
                if (seen[size_t(p)] == o)
                    return;
                seen[size_t(p)] = o;
                file << " + x" << p << (++terms % 15 == 0 ? "\n" : "");
            });
            file << " >= 1\n";
        }
        file << "Binaries\n";
        for (int o = 0; o < orbits; ++o)
            file << " x" << o << "\n";
        file << "End\n";
    }
    QProcess cbc;
    cbc.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    cbc.setStandardOutputFile(QString::fromStdString(out + ".log"));
    cbc.start(QStringLiteral("cbc"),
        { QString::fromStdString(lp), QStringLiteral("maxNodes"), QString::number(nodes),
            QStringLiteral("threads"), QStringLiteral("1"), QStringLiteral("solve"),
            QStringLiteral("solution"), QString::fromStdString(solution) });
    if (!cbc.waitForFinished(-1) || cbc.exitStatus() != QProcess::NormalExit) {
        std::fprintf(stderr, "cbc did not run (Debian's coinor-cbc)\n");
        return 2;
    }

    std::ifstream answer(solution);
    std::string line;
    std::getline(answer, line);
    std::fprintf(stderr, "cbc: %s\n", line.c_str());
    std::vector<char> chosen(size_t(orbits), 0);
    while (std::getline(answer, line)) {
        std::istringstream fields(line);
        int index = 0;
        std::string name;
        double value = 0;
        if (fields >> index >> name >> value && name.size() > 1 && name[0] == 'x' && value > 0.5)
            chosen[size_t(std::stoi(name.substr(1)))] = 1;
    }
    std::vector<ColumnMask> cover;
    std::vector<char> covered(kWords, 0);
    for (int w = 0; w < kWords; ++w)
        if (chosen[size_t(orbit[size_t(w)])]) {
            cover.push_back(maskOf(wordAt(w), 4));
            near(w, radius, [&](int v) { covered[size_t(v)] = 1; });
        }
    const long open = std::count(covered.begin(), covered.end(), 0);
    if (cover.empty() || open > 0) {
        std::fprintf(stderr, "no cover: %ld words left open\n", open);
        return 1;
    }
    std::sort(cover.begin(), cover.end());
    writeMasks(out, cover);
    std::fprintf(stderr, "%zu words cover\n", cover.size());
    return 0;
}
