#include "engine/linear_cover.h"

#include <QTest>

#include <algorithm>
#include <set>

using namespace ottavario;

namespace {
qint64 power(int base, int exponent)
{
    qint64 p = 1;
    for (int i = 0; i < exponent; ++i)
        p *= base;
    return p;
}

// The largest distance from a word to the code: a search outwards from all
// codewords at once, one symbol changed per layer.
int coveringRadius(const std::vector<quint32>& code, int q, int length)
{
    std::vector<int> distance(static_cast<size_t>(power(q, length)), -1);
    std::vector<quint32> layer;
    for (quint32 c : code)
        if (distance[c] < 0) {
            distance[c] = 0;
            layer.push_back(c);
        }
    int radius = 0;
    while (!layer.empty()) {
        std::vector<quint32> next;
        for (quint32 w : layer)
            for (qint64 j = 0, unit = 1; j < length; ++j, unit *= q) {
                const qint64 digit = w / unit % q;
                for (qint64 d = 0; d < q; ++d) {
                    const quint32 v = static_cast<quint32>(w + (d - digit) * unit);
                    if (distance[v] < 0) {
                        distance[v] = distance[w] + 1;
                        radius = distance[v];
                        next.push_back(v);
                    }
                }
            }
        layer = std::move(next);
    }
    return std::find(distance.begin(), distance.end(), -1) == distance.end() ? radius : length + 1;
}
}

class LinearCoverTest : public QObject {
    Q_OBJECT

private slots:
    void coversWithinItsRadius_data();
    void coversWithinItsRadius();
    void sameArgumentsSameCode();
    void unsupportedArguments();
};

void LinearCoverTest::coversWithinItsRadius_data()
{
    QTest::addColumn<int>("q");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("radius");
    QTest::addColumn<int>("most"); // the size it must reach; perfect codes where they exist

    QTest::newRow("ternary Hamming, length 4") << 3 << 4 << 1 << 9;
    QTest::newRow("binary Hamming, length 7") << 2 << 7 << 1 << 16;
    QTest::newRow("quaternary Hamming, length 5") << 4 << 5 << 1 << 64;
    QTest::newRow("ternary, length 8, radius 2") << 3 << 8 << 2 << 81;
    QTest::newRow("ternary, length 8, radius 3") << 3 << 8 << 3 << 27;
    QTest::newRow("ternary, length 8, radius 1") << 3 << 8 << 1 << 486;
    QTest::newRow("quaternary, length 6, radius 2") << 4 << 6 << 2 << 256;
    // Stored: unions of 54, 24 and 7 cosets.
    QTest::newRow("quaternary, length 8, radius 1") << 4 << 8 << 1 << 3456;
    QTest::newRow("quaternary, length 8, radius 2") << 4 << 8 << 2 << 384;
    QTest::newRow("quaternary, length 8, radius 3") << 4 << 8 << 3 << 112;
    QTest::newRow("binary, length 8, radius 3") << 2 << 8 << 3 << 16;
    QTest::newRow("ternary, length 3, radius 2") << 3 << 3 << 2 << 3;
    QTest::newRow("radius of the whole length") << 4 << 4 << 4 << 1;
}

void LinearCoverTest::coversWithinItsRadius()
{
    QFETCH(int, q);
    QFETCH(int, length);
    QFETCH(int, radius);
    QFETCH(int, most);
    qint64 spent = 0;
    const std::vector<quint32> code = linearCoveringCode(q, length, radius, 50'000'000, &spent);
    QVERIFY(!code.empty());
    QVERIFY(static_cast<int>(code.size()) <= most);
    QCOMPARE(std::set<quint32>(code.begin(), code.end()).size(), code.size());
    for (quint32 word : code)
        QVERIFY(word < power(q, length));
    QVERIFY(coveringRadius(code, q, length) <= radius);
    QVERIFY(spent > 0 || radius >= length);
}

void LinearCoverTest::sameArgumentsSameCode()
{
    QCOMPARE(linearCoveringCode(3, 8, 1, 5'000'000), linearCoveringCode(3, 8, 1, 5'000'000));
    // A tighter bound may give a larger code, never a wrong one.
    const std::vector<quint32> hurried = linearCoveringCode(3, 6, 1, 1000);
    if (!hurried.empty())
        QVERIFY(coveringRadius(hurried, 3, 6) <= 1);
}

void LinearCoverTest::unsupportedArguments()
{
    QVERIFY(linearCoveringCode(5, 4, 1, 1'000'000).empty()); // no field table for 5
    QVERIFY(linearCoveringCode(1, 4, 1, 1'000'000).empty());
    QVERIFY(linearCoveringCode(3, 0, 1, 1'000'000).empty());
    QVERIFY(linearCoveringCode(3, 9, 1, 1'000'000).empty());
    QVERIFY(linearCoveringCode(3, 4, 0, 1'000'000).empty()); // every word is needed
}

QTEST_GUILESS_MAIN(LinearCoverTest)
#include "test_linear_cover.moc"
