#include "engine/preview_model.h"

#include "engine/column_file.h"

#include <QSignalSpy>
#include <QTest>

using namespace ottavario;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(ottavario::ColumnNumbers)

class PreviewModelTest : public QObject {
    Q_OBJECT

private slots:
    void line_data();
    void line();
    void rowsFollowKeptOrder();
    void resetAndClear();
    void holdsTheLargestSystem();
};

void PreviewModelTest::line_data()
{
    QTest::addColumn<ColumnNumbers>("numbers");
    QTest::addColumn<QString>("line");

    QTest::newRow("mixed") << ColumnNumbers { 3, 7, 12, 15, 18, 21, 25, 30 }
                           << u"   3   7 12 15 18 21 25 30"_s;
    QTest::newRow("all one-digit")
        << ColumnNumbers { 1, 2, 3, 4, 5, 6, 7, 9 } << u"   1   2   3   4   5   6   7   9"_s;
    QTest::newRow("all two-digit")
        << ColumnNumbers { 10, 11, 19, 20, 23, 28, 31, 32 } << u" 10 11 19 20 23 28 31 32"_s;
}

void PreviewModelTest::line()
{
    QFETCH(ColumnNumbers, numbers);
    QFETCH(QString, line);
    PreviewModel model;
    model.setColumns({ maskOf(numbers) });
    QCOMPARE(model.data(model.index(0)).toString(), line);
    QCOMPARE(previewLine(numbers), line);
}

void PreviewModelTest::rowsFollowKeptOrder()
{
    // Kept order, not numeric order; each line ascending whatever the mask came from.
    PreviewModel model;
    model.setColumns({ maskOf({ 9, 8, 7, 6, 5, 4, 3, 2 }), maskOf({ 1, 3, 4, 5, 6, 7, 8, 9 }) });
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(model.data(model.index(0)).toString(), u"   2   3   4   5   6   7   8   9"_s);
    QCOMPARE(model.data(model.index(1)).toString(), u"   1   3   4   5   6   7   8   9"_s);
    QVERIFY(!model.data(model.index(0), Qt::DecorationRole).isValid());
    QVERIFY(!model.data(model.index(2)).isValid());
    QCOMPARE(model.rowCount(model.index(0)), 0);
}

void PreviewModelTest::resetAndClear()
{
    PreviewModel model;
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    model.setColumns({ maskOf({ 1, 2, 3, 4, 5, 6, 7, 8 }) });
    QCOMPARE(resets.count(), 1);
    QCOMPARE(model.rowCount(), 1);
    model.clear();
    QCOMPARE(resets.count(), 2);
    QCOMPARE(model.rowCount(), 0);
    QVERIFY(model.columns().empty());
}

void PreviewModelTest::holdsTheLargestSystem()
{
    std::vector<ColumnMask> masks(390'625, maskOf({ 1, 2, 3, 4, 5, 6, 7, 8 }));
    masks.back() = maskOf({ 25, 26, 27, 28, 29, 30, 31, 32 });
    PreviewModel model;
    model.setColumns(std::move(masks));
    QCOMPARE(model.rowCount(), 390'625);
    QCOMPARE(model.data(model.index(390'624)).toString(), u" 25 26 27 28 29 30 31 32"_s);
}

QTEST_GUILESS_MAIN(PreviewModelTest)
#include "test_preview_model.moc"
