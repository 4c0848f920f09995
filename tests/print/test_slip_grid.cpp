#include "core/settings_file.h"
#include "print/slip_grid.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace ottavario;
using namespace ottavario::print;

class TestSlipGrid : public QObject {
    Q_OBJECT

private:
    static QByteArray readBytes(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static void writeBytes(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

private slots:
    void linesStand260ApartBut280BetweenColumns3And4()
    {
        QCOMPARE(cellPosition({}, 1, 1), QPoint(0, 0));
        for (int line = 2; line <= kSlipLines; ++line)
            QCOMPARE(cellPosition({}, line, 1).x() - cellPosition({}, line - 1, 1).x(),
                line == 7 ? 280 : 260);
        QCOMPARE(cellPosition({}, 12, 1).x(), 2880);
    }

    void rowsStepBy240Then230Then235()
    {
        int expected = 0;
        for (int row = 1; row <= kSlipRows; ++row) {
            QCOMPARE(cellPosition({}, 1, row), QPoint(0, expected));
            expected += row <= 3 ? 240 : row <= 5 ? 230 : 235;
        }
        QCOMPARE(expected, kRowsEnd);
        QCOMPARE(kRowsEnd, 3765);
        QCOMPARE(kNameLineTop, 3805);
    }

    void calibrationShiftsEveryCell()
    {
        const Calibration calibration { 120, 45 };
        QCOMPARE(cellPosition(calibration, 1, 1), QPoint(45, 120));
        QCOMPARE(cellPosition(calibration, 12, 16), QPoint(45 + 2880, 120 + 3530));
    }

    void numbersFindTheirCells_data()
    {
        QTest::addColumn<int>("betColumn");
        QTest::addColumn<int>("number");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("row");
        QTest::newRow("1 in column 1") << 1 << 1 << 1 << 1;
        QTest::newRow("16 in column 1") << 1 << 16 << 1 << 16;
        QTest::newRow("17 in column 1") << 1 << 17 << 2 << 1;
        QTest::newRow("32 in column 1") << 1 << 32 << 2 << 16;
        QTest::newRow("12 in column 4") << 4 << 12 << 7 << 12;
        QTest::newRow("30 in column 6") << 6 << 30 << 12 << 14;
    }

    void numbersFindTheirCells()
    {
        QFETCH(int, betColumn);
        QFETCH(int, number);
        QFETCH(int, line);
        QFETCH(int, row);
        QCOMPARE(lineOfNumber(betColumn, number), line);
        QCOMPARE(rowOfNumber(number), row);
    }

    void storedOffsetsAreBroughtIntoRange_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("offset");
        QTest::newRow("plain") << "120" << 120;
        QTest::newRow("blanks") << "  45" << 45;
        QTest::newRow("fraction dropped") << "120.9" << 120;
        QTest::newRow("trailing text") << "300tw" << 300;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("not a number") << "abc" << 0;
        QTest::newRow("negative") << "-5" << 0;
        QTest::newRow("top") << "5000" << 5000;
        QTest::newRow("above") << "5001" << 5000;
        QTest::newRow("huge") << "99999999999999999999999" << 5000;
    }

    void storedOffsetsAreBroughtIntoRange()
    {
        QFETCH(QString, text);
        QFETCH(int, offset);
        QCOMPARE(offsetFromText(text), offset);
    }

    void calibrationComesFromValues12And13()
    {
        Settings stored = Settings::defaults();
        stored.verticalOffset = QStringLiteral("120");
        stored.horizontalOffset = QStringLiteral("45");
        QCOMPARE(calibrationOf(stored), (Calibration { 120, 45 }));
        QCOMPARE(calibrationOf(settings::fromValues({ QStringLiteral("Rossi") })),
            (Calibration { 0, 0 }));
    }

    void storingChangesOnlyTheOffsets()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("sistema.ini"));
        const QByteArray before = "\"Rossi, Mario\"\r\n\"Via Roma, 5\"\r\n\"3\"\r\n\"00100\"\r\n"
                                  "\"Roma\"\r\n\"Italia\"\r\n\"06\"\r\n\"\"\r\n\"m@x.it\"\r\n"
                                  "\"800\"\r\n\"0.41\"\r\n\"10\"\r\n\"20\"\r\n";
        writeBytes(path, before);
        QVERIFY(storeCalibration(path, { 12, 300 }));
        QByteArray expected = before;
        expected.replace("\"10\"\r\n\"20\"\r\n", "\"12\"\r\n\"300\"\r\n");
        QCOMPARE(readBytes(path), expected);
    }

    void storingKeepsValuesPastThe13th()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("sistema.ini"));
        QStringList values = settings::toValues(Settings::defaults());
        values << QStringLiteral("extra");
        QVERIFY(settings::writeAll(path, values));
        QVERIFY(storeCalibration(path, { 7, 8 }));
        const auto read = settings::readAll(path);
        QVERIFY(read);
        QCOMPARE(read->size(), 14);
        QCOMPARE(read->at(11), QStringLiteral("7"));
        QCOMPARE(read->at(12), QStringLiteral("8"));
        QCOMPARE(read->at(13), QStringLiteral("extra"));
    }

    void aShortFileIsFilledUpRatherThanLosingTheOffsets()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("sistema.ini"));
        writeBytes(path, "\"Rossi\"\r\n\"Via Po\"\r\n");
        QVERIFY(storeCalibration(path, { 120, 45 }));
        const auto read = settings::readAll(path);
        QVERIFY(read);
        QCOMPARE(read->size(), settings::kValueCount);
        QCOMPARE(read->at(0), QStringLiteral("Rossi"));
        QCOMPARE(read->at(1), QStringLiteral("Via Po"));
        QCOMPARE(read->at(9), QString());
        QCOMPARE(calibrationOf(settings::fromValues(*read)), (Calibration { 120, 45 }));
    }

    void aMissingFileIsAnErrorAndStaysMissing()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("sistema.ini"));
        const auto stored = storeCalibration(path, { 1, 2 });
        QVERIFY(!stored);
        QCOMPARE(stored.error().path, path);
        QVERIFY(!QFile::exists(path));
    }
};

QTEST_GUILESS_MAIN(TestSlipGrid)
#include "test_slip_grid.moc"
