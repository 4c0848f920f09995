// Files from outside: the inputs the fuzzers were seeded with or stopped on,
// and files no reader should take for data. Every reader answers with data or
// a reason in Italian, and leaves the file as it was.
#include "core/number.h"
#include "engine/column_file.h"
#include "settings/settings_file.h"
#include "support/test_files.h"
#include "systems/description_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using namespace ottavario;
using namespace ottavario::testing;
using namespace Qt::StringLiterals;

namespace {

const QString kFuzzData = QStringLiteral(OTTAVARIO_TEST_DATA "/fuzz");

// What a reader made of a file: its data in short, or the reason it gave.
QString readerAnswer(const QString& reader, const QString& path)
{
    if (reader == u"settings") {
        const auto values = settings::readAll(path);
        return values ? u"%1 values"_s.arg(values->size()) : values.error().reason;
    }
    if (reader == u"description") {
        const auto description = readDescription(path);
        return description ? u"%1 numbers"_s.arg(description->numberCount())
                           : description.error().reason;
    }
    const auto columns = readColumnMasks(path);
    return columns ? u"%1 columns"_s.arg(columns->size()) : columns.error().reason;
}

QByteArray columnsOf(qsizetype count)
{
    return formatColumnMasks(std::vector<ColumnMask>(size_t(count), 0xFF));
}

}

class TestBadInputs : public QObject {
    Q_OBJECT

private slots:
    // Each input is named <reader>-<what> in regressions/, or lies in the
    // reader's own seed folder.
    void fuzzInputs_keepReadersPromises_data()
    {
        QTest::addColumn<QString>("reader");
        QTest::addColumn<QString>("path");
        int inputs = 0;
        for (const QString& reader :
            { u"settings"_s, u"description"_s, u"column_file"_s, u"number"_s }) {
            const QDir seeds(kFuzzData + u'/' + reader);
            for (const QString& name : seeds.entryList(QDir::Files, QDir::Name)) {
                QTest::addRow("seed %s/%s", qPrintable(reader), qPrintable(name))
                    << reader << seeds.filePath(name);
                ++inputs;
            }
        }
        const QDir regressions(kFuzzData + u"/regressions"_s);
        for (const QString& name : regressions.entryList(QDir::Files, QDir::Name)) {
            QTest::addRow("%s", qPrintable(name))
                << name.section(u'-', 0, 0) << regressions.filePath(name);
            ++inputs;
        }
        QVERIFY(inputs > 0);
    }
    void fuzzInputs_keepReadersPromises()
    {
        QFETCH(QString, reader);
        QFETCH(QString, path);
        const QByteArray bytes = contentsOf(path);

        if (reader == u"settings") {
            const QStringList values = settings::parseValues(settings::decodeText(bytes));
            QVERIFY(values.size() <= settings::kMaxValues);
            for (const QString& value : values)
                QVERIFY(!value.contains(u'\r') && !value.contains(u'\n'));
            const auto read = settings::readAll(path);
            QVERIFY(read);
            QCOMPARE(*read, values);
        } else if (reader == u"description") {
            const auto parsed = parseDescription(bytes);
            const auto read = readDescription(path);
            QCOMPARE(read.has_value(), parsed.has_value());
            if (parsed) {
                for (int k = 0; k < kBoxes; ++k)
                    QVERIFY(parsed->counts[k] >= 0 && parsed->counts[k] <= kEntries);
                const auto again = parseDescription(
                    formatDescription(parsed->grid, parsed->type, parsed->conditions));
                QVERIFY(again);
                QCOMPARE(again->type, parsed->type);
                QCOMPARE(again->conditions, parsed->conditions);
            } else {
                QVERIFY(!parsed.error().isEmpty());
            }
        } else if (reader == u"column_file") {
            const auto read = readColumnMasks(path);
            qint64 firstBad = 0;
            for (qint64 r = 0; r < columnCount(bytes.size()) && !firstBad; ++r)
                if (!maskOfRecord(bytes.constData() + r * kRecordSize))
                    firstBad = r + 1;
            QCOMPARE(read.has_value(), firstBad == 0);
            if (read)
                QCOMPARE(qint64(read->size()), columnCount(bytes.size()));
            else
                QVERIFY2(read.error().reason.contains(u"n° %1 "_s.arg(firstBad)),
                    qPrintable(read.error().reason));
        } else {
            QCOMPARE(reader, u"number"_s);
            // As UTF-8, and as UTF-16 code units where lone surrogates may stand.
            const QString texts[] = { QString::fromUtf8(bytes),
                QString(reinterpret_cast<const QChar*>(bytes.constData()), bytes.size() / 2) };
            for (const QString& text : texts) {
                QVERIFY(!std::isnan(readNumber(text)));
                QVERIFY(std::llabs(readWholeNumber(text)) <= 9'000'000'000'000'000'000LL);
            }
        }
        QCOMPARE(contentsOf(path), bytes);
    }

    // A device, a folder or a file far too large where a player's file should
    // be: the reason names what it is, and the file and its folder stay as they were.
    void hostileFiles_data()
    {
        QTest::addColumn<QString>("reader");
        QTest::addColumn<QString>("kind"); // "folder", "device" or "bytes"
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("answer");

        QTest::newRow("settings file is a folder")
            << u"settings"_s << u"folder"_s << QByteArray() << u"è una cartella, non un file"_s;
        QTest::newRow("settings file is a device")
            << u"settings"_s << u"device"_s << QByteArray() << u"non è un file normale"_s;
        QTest::newRow("column file is a device")
            << u"column_file"_s << u"device"_s << QByteArray() << u"non è un file normale"_s;
        QTest::newRow("description is a device")
            << u"description"_s << u"device"_s << QByteArray() << u"non è un file normale"_s;
        // No columns at all is what such a file holds; its length already says 0.
        QTest::newRow("column file of 0 bytes")
            << u"column_file"_s << u"bytes"_s << QByteArray() << u"0 columns"_s;
        QTest::newRow("column file of 15 bytes")
            << u"column_file"_s << u"bytes"_s << columnsOf(1).left(15) << u"0 columns"_s;
        QTest::newRow("column file of 390,625 columns")
            << u"column_file"_s << u"bytes"_s << columnsOf(390'625) << u"390625 columns"_s;
        QTest::newRow("column file of 390,625 columns and 15 bytes")
            << u"column_file"_s << u"bytes"_s << columnsOf(390'626).chopped(1)
            << u"390625 columns"_s;
        QTest::newRow("column file of 6,250,016 bytes")
            << u"column_file"_s << u"bytes"_s << columnsOf(390'626)
            << u"contiene 390626 colonne, più delle 390625 che un sistema può avere"_s;
        QTest::newRow("description of 10 MB")
            << u"description"_s << u"bytes"_s << QByteArray(10 * 1024 * 1024, '1')
            << u"il file è troppo grande per essere la descrizione di un sistema"_s;
    }
    void hostileFiles()
    {
        QFETCH(QString, reader);
        QFETCH(QString, kind);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, answer);

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString name = reader == u"settings" ? u"sistema.ini"_s
            : reader == u"description"             ? u"alfa.stt"_s
                                                   : u"alfa.stg"_s;
        const QString path = dir.filePath(name);
        if (kind == u"folder") {
            QVERIFY(QDir().mkdir(path));
            QVERIFY(writeBytes(path + u"/dentro"_s, "keep"));
        } else if (kind == u"device") {
            // A device gives bytes without end or none at all.
            QVERIFY(QFile::link(u"/dev/null"_s, path));
        } else {
            QVERIFY(writeBytes(path, bytes));
        }
        const QStringList before = namesIn(dir.path());

        QCOMPARE(readerAnswer(reader, path), answer);
        QCOMPARE(namesIn(dir.path()), before);
        if (kind == u"folder")
            QCOMPARE(contentsOf(path + u"/dentro"_s), QByteArray("keep"));
        if (kind == u"bytes")
            QCOMPARE(contentsOf(path), bytes);
    }
};

QTEST_GUILESS_MAIN(TestBadInputs)
#include "support/test_files.h"
#include "test_bad_inputs.moc"
