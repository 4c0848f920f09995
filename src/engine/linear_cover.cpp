#include "linear_cover.h"

#include "splitmix.h"

#include <algorithm>
#include <array>
#include <climits>
#include <optional>
#include <span>

namespace ottavario {

namespace {
    struct Field {
        int size = 0;
        std::array<std::array<int, 4>, 4> sum {};
        std::array<std::array<int, 4>, 4> product {};
    };

    std::optional<Field> fieldOf(int q)
    {
        Field f;
        f.size = q;
        if (q == 2 || q == 3) {
            for (int a = 0; a < q; ++a)
                for (int b = 0; b < q; ++b) {
                    f.sum[a][b] = (a + b) % q;
                    f.product[a][b] = a * b % q;
                }
            return f;
        }
        if (q == 4) {
            // 0, 1, x, x + 1 as bits, with x^2 = x + 1: powers of x are 1, x, x + 1.
            constexpr std::array<int, 3> power { 1, 2, 3 };
            constexpr std::array<int, 4> logarithm { 0, 0, 1, 2 };
            for (int a = 0; a < 4; ++a)
                for (int b = 0; b < 4; ++b) {
                    f.sum[a][b] = a ^ b;
                    f.product[a][b] = a && b ? power[(logarithm[a] + logarithm[b]) % 3] : 0;
                }
            return f;
        }
        return std::nullopt;
    }

    // Vectors of r field elements, numbered in base q.
    class Syndromes {
    public:
        Syndromes(const Field& field, int rows)
            : m_field(field)
            , m_rows(rows)
        {
            m_count = 1;
            for (int i = 0; i < rows; ++i)
                m_count *= field.size;
            m_digits.resize(static_cast<size_t>(m_count));
            for (int z = 0; z < m_count; ++z)
                for (int i = 0, rest = z; i < rows; ++i, rest /= field.size)
                    m_digits[static_cast<size_t>(z)][static_cast<size_t>(i)] = rest % field.size;
            std::array<int, 4> minus {};
            for (int a = 0; a < field.size; ++a)
                for (int b = 0; b < field.size; ++b)
                    if (field.sum[a][b] == 0)
                        minus[static_cast<size_t>(a)] = b;
            m_negated.resize(static_cast<size_t>(m_count));
            for (int z = 0; z < m_count; ++z) {
                int out = 0;
                for (int i = rows - 1; i >= 0; --i)
                    out = out * field.size
                        + minus[static_cast<size_t>(
                            m_digits[static_cast<size_t>(z)][static_cast<size_t>(i)])];
                m_negated[static_cast<size_t>(z)] = out;
            }
        }

        int count() const { return m_count; }
        int rows() const { return m_rows; }
        int add(int a, int b) const
        {
            const auto& da = m_digits[static_cast<size_t>(a)];
            const auto& db = m_digits[static_cast<size_t>(b)];
            int out = 0;
            for (int i = m_rows - 1; i >= 0; --i)
                out = out * m_field.size
                    + m_field.sum[da[static_cast<size_t>(i)]][db[static_cast<size_t>(i)]];
            return out;
        }
        int negated(int a) const { return m_negated[static_cast<size_t>(a)]; }
        int scaled(int a, int factor) const
        {
            const auto& da = m_digits[static_cast<size_t>(a)];
            int out = 0;
            for (int i = m_rows - 1; i >= 0; --i)
                out = out * m_field.size + m_field.product[factor][da[static_cast<size_t>(i)]];
            return out;
        }

    private:
        const Field& m_field;
        int m_rows;
        int m_count = 1;
        std::vector<std::array<int, 8>> m_digits;
        std::vector<int> m_negated;
    };

    qint64 power(int base, int exponent)
    {
        qint64 p = 1;
        for (int i = 0; i < exponent; ++i)
            p *= base;
        return p;
    }

    // Columns of H: nonzero, and no two on one line through 0 while there is room.
    std::vector<int> randomColumns(const Syndromes& space, int q, int length, SplitMix& random)
    {
        const bool room = (space.count() - 1) / (q - 1) >= length;
        std::vector<int> columns;
        while (static_cast<int>(columns.size()) < length) {
            const int candidate = 1 + static_cast<int>(random.below(quint64(space.count() - 1)));
            const bool onALine = room && std::any_of(columns.begin(), columns.end(), [&](int h) {
                for (int factor = 1; factor < q; ++factor)
                    if (space.scaled(h, factor) == candidate)
                        return true;
                return false;
            });
            if (!onALine)
                columns.push_back(candidate);
        }
        return columns;
    }

    // Syndromes of the words of at most `radius` nonzero symbols.
    std::vector<int> reachable(
        const Syndromes& space, const std::vector<int>& columns, int q, int radius, qint64& spent)
    {
        std::vector<int> steps;
        for (int h : columns)
            for (int factor = 1; factor < q; ++factor)
                steps.push_back(space.scaled(h, factor));
        std::vector<char> seen(static_cast<size_t>(space.count()), 0);
        seen[0] = 1;
        std::vector<int> all { 0 }, frontier { 0 };
        for (int layer = 0; layer < radius && !frontier.empty(); ++layer) {
            std::vector<int> next;
            for (int z : frontier)
                for (int step : steps) {
                    const int y = space.add(z, step);
                    if (!seen[static_cast<size_t>(y)]) {
                        seen[static_cast<size_t>(y)] = 1;
                        next.push_back(y);
                    }
                }
            spent += qint64(frontier.size()) * qint64(steps.size()) * space.rows();
            all.insert(all.end(), next.begin(), next.end());
            frontier = std::move(next);
        }
        return all;
    }

    // Translates of `ball` that cover every syndrome, greedily, or nothing
    // when more than `most` would be needed.
    std::vector<int> coveringTranslates(const Syndromes& space, const std::vector<int>& ball,
        size_t most, qint64 work, qint64& spent)
    {
        const int n = space.count();
        std::vector<int> minusBall;
        for (int e : ball)
            minusBall.push_back(space.negated(e));
        std::vector<char> covered(static_cast<size_t>(n), 0);
        int left = n;
        std::vector<int> translates;
        std::vector<int> gain(static_cast<size_t>(n));
        while (left > 0) {
            if (translates.size() == most || spent >= work)
                return {};
            std::fill(gain.begin(), gain.end(), 0);
            for (int u = 0; u < n; ++u)
                if (!covered[static_cast<size_t>(u)])
                    for (int e : minusBall)
                        ++gain[static_cast<size_t>(space.add(u, e))];
            spent += (qint64(left) * qint64(ball.size()) + n) * space.rows();
            const int s
                = static_cast<int>(std::max_element(gain.begin(), gain.end()) - gain.begin());
            translates.push_back(s);
            for (int e : ball) {
                char& c = covered[static_cast<size_t>(space.add(s, e))];
                left -= c == 0;
                c = 1;
            }
        }
        return translates;
    }

    // Matrices and syndrome sets the random search seldom meets, found once by
    // a longer search: the ternary one exhaustively, the quaternary ones by the
    // greedy and weighted swaps of tools/find_quaternary_codes, for radius 1
    // on the one matrix below (find_quaternary_codes 1 5 1 1000000 1 41 38 26
    // 1 4 16 64 256), for radii 2 and 3 over random matrices of 6 rows (the
    // best of 30 for radius 2). Numbered as the syndromes are, digit i the
    // symbol of row i.
    struct KnownCode {
        int q;
        int length;
        int radius;
        int rows;
        std::array<int, 8> columns;
        std::span<const int> syndromes;
    };
    // 6 cosets of a [8, 4] code: 486 words, against 729 from a random search.
    constexpr std::array kTernaryRadius1 { 0, 1, 45, 20, 23, 61 };
    // 54 cosets of an [8, 3] code: 3,456 words. The [8, 3] code is the
    // hexacode on the first six symbols, the last two free: its check matrix
    // is the hexacode's beside two unit columns.
    constexpr std::array kQuaternaryRadius1 { 7, 11, 15, 84, 106, 125, 153, 172, 182, 195, 211, 227,
        243, 259, 275, 291, 307, 350, 357, 376, 384, 385, 386, 455, 459, 463, 512, 513, 514, 579,
        601, 620, 630, 643, 670, 677, 696, 724, 746, 765, 798, 805, 824, 832, 833, 834, 835, 899,
        916, 938, 957, 985, 1004, 1014 };
    // 24 cosets of an [8, 2] code: 384 words.
    constexpr std::array kQuaternaryRadius2 { 396, 570, 632, 641, 697, 903, 1148, 1346, 1402, 1411,
        1473, 1655, 2257, 2778, 2853, 2919, 3036, 3044, 3103, 3111, 3228, 3294, 3361, 3882 };
    // 7 cosets of an [8, 2] code: 112 words.
    constexpr std::array kQuaternaryRadius3 { 156, 596, 865, 1420, 2250, 3163, 3731 };
    constexpr std::array<KnownCode, 4> kKnownCodes { {
        { 3, 8, 1, 4, { 61, 22, 28, 79, 9, 13, 46, 67 }, kTernaryRadius1 },
        { 4, 8, 1, 5, { 41, 38, 26, 1, 4, 16, 64, 256 }, kQuaternaryRadius1 },
        { 4, 8, 2, 6, { 4037, 971, 2412, 3470, 690, 1498, 111, 1887 }, kQuaternaryRadius2 },
        { 4, 8, 3, 6, { 3932, 3486, 1166, 490, 1432, 3446, 1173, 2727 }, kQuaternaryRadius3 },
    } };

    // Whether every syndrome lies in a translate of `ball` by one of `syndromes`.
    bool translatesCover(
        const Syndromes& space, const std::vector<int>& ball, const std::vector<int>& syndromes)
    {
        std::vector<char> covered(static_cast<size_t>(space.count()), 0);
        for (int s : syndromes)
            for (int e : ball)
                covered[static_cast<size_t>(space.add(s, e))] = 1;
        return std::all_of(covered.begin(), covered.end(), [](char c) { return c != 0; });
    }

    // Fewer translates than the greedy found: with k of them, repeatedly
    // swaps one for a translate covering a random uncovered syndrome, the
    // swap leaving the fewest uncovered; a swapped-out translate waits a few
    // steps before it may come back. Nothing when no cover of k turns up.
    std::vector<int> swapTranslates(const Syndromes& space, const std::vector<int>& ball,
        std::vector<int> translates, SplitMix& random, int steps, qint64 work, qint64& spent)
    {
        const int n = space.count();
        std::vector<char> inBall(static_cast<size_t>(n), 0);
        for (int e : ball)
            inBall[static_cast<size_t>(e)] = 1;
        std::vector<int> count(static_cast<size_t>(n), 0);
        for (int t : translates)
            for (int e : ball)
                ++count[static_cast<size_t>(space.add(t, e))];
        std::vector<int> tabuUntil(static_cast<size_t>(n), -1);
        const int tenure = static_cast<int>(translates.size()) + 2;
        std::vector<int> open;
        for (int step = 0; step < steps && spent < work; ++step) {
            open.clear();
            for (int z = 0; z < n; ++z)
                if (count[static_cast<size_t>(z)] == 0)
                    open.push_back(z);
            if (open.empty())
                return translates;
            const int target = open[random.below(open.size())];
            int bestDelta = INT_MIN;
            size_t bestOut = 0;
            int bestIn = -1;
            for (int e : ball) {
                const int in = space.add(target, space.negated(e));
                if (tabuUntil[static_cast<size_t>(in)] > step
                    || std::find(translates.begin(), translates.end(), in) != translates.end())
                    continue;
                int gain = 0;
                for (int f : ball)
                    gain += count[static_cast<size_t>(space.add(in, f))] == 0;
                const int minusIn = space.negated(in);
                for (size_t i = 0; i < translates.size(); ++i) {
                    // Syndromes only the outgoing one covers, less those the incoming keeps.
                    int lost = 0;
                    for (int f : ball) {
                        const int z = space.add(translates[i], f);
                        if (count[static_cast<size_t>(z)] == 1
                            && !inBall[static_cast<size_t>(space.add(z, minusIn))])
                            ++lost;
                    }
                    if (gain - lost > bestDelta) {
                        bestDelta = gain - lost;
                        bestOut = i;
                        bestIn = in;
                    }
                }
            }
            spent += (qint64(ball.size()) * qint64(ball.size()) * qint64(translates.size() + 1) + n)
                * space.rows();
            if (bestIn < 0)
                continue;
            const int out = translates[bestOut];
            for (int f : ball) {
                --count[static_cast<size_t>(space.add(out, f))];
                ++count[static_cast<size_t>(space.add(bestIn, f))];
            }
            tabuUntil[static_cast<size_t>(out)] = step + tenure;
            translates[bestOut] = bestIn;
        }
        return {};
    }
}

std::vector<quint32> linearCoveringCode(
    int q, int length, int radius, qint64 work, qint64* spentSoFar)
{
    const std::optional<Field> field = fieldOf(q);
    if (!field || length < 1 || length > 8 || radius <= 0)
        return {};
    if (radius >= length)
        return { 0 };
    constexpr int kLargestSpace = 4096;
    constexpr int kTries = 8;
    constexpr size_t kSqueezed = 2;
    constexpr int kSwapSteps = 2000;

    const qint64 words = power(q, length);
    qint64 bestSize = words;
    int bestRows = 0;
    std::vector<int> bestColumns, bestSyndromes;
    qint64 spent = 0;
    for (const KnownCode& known : kKnownCodes) {
        if (known.q != q || known.length != length || known.radius != radius)
            continue;
        const Syndromes space(*field, known.rows);
        const std::vector<int> columns(known.columns.begin(), known.columns.begin() + length);
        const std::vector<int> syndromes(known.syndromes.begin(), known.syndromes.end());
        const qint64 size = qint64(syndromes.size()) * power(q, length - known.rows);
        if (size < bestSize
            && translatesCover(space, reachable(space, columns, q, radius, spent), syndromes)) {
            bestSize = size;
            bestRows = known.rows;
            bestColumns = columns;
            bestSyndromes = syndromes;
        }
    }
    for (int rows = 1; rows < length && power(q, rows) <= kLargestSpace; ++rows) {
        const qint64 perSyndrome = power(q, length - rows);
        if (perSyndrome >= bestSize)
            continue;
        const Syndromes space(*field, rows);
        SplitMix random(0x5eed0000ULL + quint64(q) * 64 + quint64(rows));
        // Greedy covers for a few matrices; the best two are then squeezed.
        struct Trial {
            std::vector<int> columns, ball, translates;
            qint64 fewest = 0;
        };
        std::vector<Trial> trials;
        for (int attempt = 0; attempt < kTries && spent < work; ++attempt) {
            Trial trial;
            trial.columns = randomColumns(space, q, length, random);
            trial.ball = reachable(space, trial.columns, q, radius, spent);
            trial.fewest
                = (space.count() + qint64(trial.ball.size()) - 1) / qint64(trial.ball.size());
            if (trial.fewest * perSyndrome >= bestSize)
                continue;
            const size_t most = static_cast<size_t>((bestSize - 1) / perSyndrome);
            trial.translates = coveringTranslates(space, trial.ball, most + 2, work, spent);
            if (!trial.translates.empty())
                trials.push_back(std::move(trial));
        }
        std::stable_sort(trials.begin(), trials.end(), [](const Trial& a, const Trial& b) {
            return a.translates.size() < b.translates.size();
        });
        if (trials.size() > kSqueezed)
            trials.resize(kSqueezed);
        for (Trial& trial : trials) {
            while (trial.translates.size() > static_cast<size_t>(trial.fewest) && spent < work) {
                std::vector<int> fewer = trial.translates;
                fewer.pop_back();
                fewer = swapTranslates(
                    space, trial.ball, std::move(fewer), random, kSwapSteps, work, spent);
                if (fewer.empty())
                    break;
                trial.translates = std::move(fewer);
            }
            if (qint64(trial.translates.size()) * perSyndrome >= bestSize)
                continue;
            bestSize = qint64(trial.translates.size()) * perSyndrome;
            bestRows = rows;
            bestColumns = trial.columns;
            bestSyndromes = trial.translates;
        }
    }
    if (spentSoFar)
        *spentSoFar += spent;
    if (bestRows == 0)
        return {};

    const Syndromes space(*field, bestRows);
    std::vector<char> chosen(static_cast<size_t>(space.count()), 0);
    for (int s : bestSyndromes)
        chosen[static_cast<size_t>(s)] = 1;
    std::vector<quint32> code;
    code.reserve(static_cast<size_t>(bestSize));
    for (qint64 word = 0; word < words; ++word) {
        int syndrome = 0;
        qint64 rest = word;
        for (int j = 0; j < length; ++j, rest /= q)
            if (const int symbol = static_cast<int>(rest % q))
                syndrome = space.add(
                    syndrome, space.scaled(bestColumns[static_cast<size_t>(j)], symbol));
        if (chosen[static_cast<size_t>(syndrome)])
            code.push_back(static_cast<quint32>(word));
    }
    return code;
}

} // namespace ottavario
