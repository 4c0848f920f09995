#include "core/settings_file.h"
#include "support/test_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

using namespace ottavario;
using namespace ottavario::testing;
using namespace Qt::StringLiterals;

namespace {
QStringList numbered(int n, const QString& prefix = u"v"_s)
{
    QStringList values;
    for (int i = 1; i <= n; ++i)
        values.append(prefix + QString::number(i));
    return values;
}

QByteArray quotedLines(const QStringList& values)
{
    QByteArray bytes;
    for (const QString& v : values)
        bytes += '"' + v.toUtf8() + "\"\r\n";
    return bytes;
}

QStringList personalised()
{
    return { u"Bar Sport"_s, u"Via Roma, 5"_s, u"12/b"_s, u"47100"_s, u"Città"_s, u"Italia"_s,
        u"0543 123456"_s, u""_s, u"bar@example.it"_s, u"800"_s, u"0.41"_s, u"120"_s, u"-45"_s };
}

bool hasDigit(const QString& text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
}
}

class SettingsFileTest : public QObject {
    Q_OBJECT

private slots:
    void parseValues_data();
    void parseValues();
    void parseValues_keepsAtMostOneHundred_data();
    void parseValues_keepsAtMostOneHundred();
    void fromValues_data();
    void fromValues();
    void formatValues_isByteExact();
    void defaults_areThePrices();
    void readAll_decodes_data();
    void readAll_decodes();
    void writeAll_readAll_roundTrip_data();
    void writeAll_readAll_roundTrip();
    void rewrite_keepsEveryOtherValue_data();
    void rewrite_keepsEveryOtherValue();
    void rewrite_keepsOldCodePageText();
    void readAll_failures_data();
    void readAll_failures();
    void writeFailures_createNothing();
};

void SettingsFileTest::parseValues_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("values");

    QTest::newRow("empty text") << QString() << QStringList();
    QTest::newRow("quoted, CR LF")
        << u"\"800\"\r\n\"0.41\"\r\n"_s << QStringList { u"800"_s, u"0.41"_s };
    QTest::newRow("comma inside quotes")
        << u"\"Via Roma, 5\"\r\n\"x\"\r\n"_s << QStringList { u"Via Roma, 5"_s, u"x"_s };
    QTest::newRow("blanks inside quotes kept")
        << u"\"  a b  \"\r\n"_s << QStringList { u"  a b  "_s };
    QTest::newRow("blanks around quotes dropped")
        << u"  \t\"a\"  \t\r\n \"b\"\r\n"_s << QStringList { u"a"_s, u"b"_s };
    QTest::newRow("empty quoted value")
        << u"\"\"\r\n\"\"\r\n\"1\"\r\n"_s << QStringList { QString(), QString(), u"1"_s };
    QTest::newRow("blanks around unquoted dropped")
        << u"  800  \r\n\t0.41\t\r\n"_s << QStringList { u"800"_s, u"0.41"_s };
    QTest::newRow("unquoted values on one line")
        << u"1, 2 ,3\r\n4"_s << QStringList { u"1"_s, u"2"_s, u"3"_s, u"4"_s };
    QTest::newRow("quoted values on one line")
        << u"\"a, b\",\"c\" , d\r\n"_s << QStringList { u"a, b"_s, u"c"_s, u"d"_s };
    QTest::newRow("empty field between commas")
        << u"1,,3\r\n"_s << QStringList { u"1"_s, QString(), u"3"_s };
    QTest::newRow("empty line is an empty value")
        << u"\"a\"\r\n\r\n\"c\"\r\n"_s << QStringList { u"a"_s, QString(), u"c"_s };
    QTest::newRow("blank line is an empty value")
        << u"\"a\"\r\n   \r\n\"c\"\r\n"_s << QStringList { u"a"_s, QString(), u"c"_s };
    QTest::newRow("line feeds only")
        << u"\"a\"\n\"b\"\nc\n"_s << QStringList { u"a"_s, u"b"_s, u"c"_s };
    QTest::newRow("no line end at the end")
        << u"\"a\"\r\n\"b\""_s << QStringList { u"a"_s, u"b"_s };
    QTest::newRow("text after closing quote dropped")
        << u"\"a\"xyz\r\n\"b\"q,\"c\"\r\n"_s << QStringList { u"a"_s, u"b"_s, u"c"_s };
    QTest::newRow("missing closing quote at the end")
        << u"\"1\"\r\n\"abc"_s << QStringList { u"1"_s, u"abc"_s };
    QTest::newRow("missing closing quote before last line end")
        << u"\"1\"\r\n\"abc\r\n"_s << QStringList { u"1"_s, u"abc"_s };
    // A broken line must not swallow the next one and shift every later value.
    QTest::newRow("missing closing quote mid-file")
        << u"\"Forlì\r\n\"Italia\"\r\n\"800\"\r\n"_s
        << QStringList { u"Forlì"_s, u"Italia"_s, u"800"_s };
    QTest::newRow("missing closing quote, line feed")
        << u"\"Forlì\n\"Italia\"\n"_s << QStringList { u"Forlì"_s, u"Italia"_s };
    QTest::newRow("accents and euro")
        << u"\"Città\"\r\n\"€ 0,41\"\r\n"_s << QStringList { u"Città"_s, u"€ 0,41"_s };
}

void SettingsFileTest::parseValues()
{
    QFETCH(QString, text);
    QFETCH(QStringList, values);
    QCOMPARE(settings::parseValues(text), values);
}

void SettingsFileTest::parseValues_keepsAtMostOneHundred_data()
{
    QTest::addColumn<int>("written");
    QTest::addColumn<int>("kept");
    QTest::newRow("99") << 99 << 99;
    QTest::newRow("100") << 100 << 100;
    QTest::newRow("101") << 101 << 100;
    QTest::newRow("200") << 200 << 100;
}

void SettingsFileTest::parseValues_keepsAtMostOneHundred()
{
    QFETCH(int, written);
    QFETCH(int, kept);
    const QString text = QString::fromUtf8(quotedLines(numbered(written)));
    QCOMPARE(settings::parseValues(text), numbered(kept));
    // Unquoted values on one line are counted the same way.
    QCOMPARE(settings::parseValues(numbered(written).join(u',')), numbered(kept));
}

void SettingsFileTest::fromValues_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("lire");
    QTest::addColumn<QString>("horizontal");
    QTest::addColumn<QStringList>("extra");

    QTest::newRow("thirteen") << 13 << u"v10"_s << u"v13"_s << QStringList();
    QTest::newRow("lire price missing") << 9 << QString() << QString() << QStringList();
    QTest::newRow("offset missing") << 12 << u"v10"_s << QString() << QStringList();
    QTest::newRow("empty file") << 0 << QString() << QString() << QStringList();
    QTest::newRow("values past the thirteenth")
        << 15 << u"v10"_s << u"v13"_s << QStringList { u"v14"_s, u"v15"_s };
}

void SettingsFileTest::fromValues()
{
    QFETCH(int, count);
    QFETCH(QString, lire);
    QFETCH(QString, horizontal);
    QFETCH(QStringList, extra);
    const Settings read = settings::fromValues(numbered(count));
    QCOMPARE(read.companyName, count >= 1 ? u"v1"_s : QString());
    QCOMPARE(read.lirePrice, lire);
    QCOMPARE(read.horizontalOffset, horizontal);
    QCOMPARE(read.extra, extra);
    // Written back: never fewer than thirteen values, the extra ones kept.
    QStringList written = numbered(std::min(count, 13));
    while (written.size() < 13)
        written.append(QString());
    QCOMPARE(settings::toValues(read), written + extra);
}

void SettingsFileTest::formatValues_isByteExact()
{
    const QByteArray expected = "\"Bar Sport\"\r\n"
                                "\"Via Roma, 5\"\r\n"
                                "\"12/b\"\r\n"
                                "\"47100\"\r\n"
                                "\"Citt\xC3\xA0\"\r\n"
                                "\"Italia\"\r\n"
                                "\"0543 123456\"\r\n"
                                "\"\"\r\n"
                                "\"bar@example.it\"\r\n"
                                "\"800\"\r\n"
                                "\"0.41\"\r\n"
                                "\"120\"\r\n"
                                "\"-45\"\r\n";
    QCOMPARE(settings::formatValues(personalised()), expected);
    QCOMPARE(settings::formatValues({}), QByteArray());
}

void SettingsFileTest::defaults_areThePrices()
{
    const QStringList values = settings::toValues(Settings::defaults());
    QCOMPARE(values.size(), 13);
    for (int n = 0; n < 9; ++n)
        QVERIFY(values[n].isEmpty());
    QCOMPARE(values.mid(9), (QStringList { u"800"_s, u"0.41"_s, u"0"_s, u"0"_s }));
}

void SettingsFileTest::readAll_decodes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("values");

    QTest::newRow("UTF-8") << QByteArray(
        "\"Citt\xC3\xA0\"\r\n\"Forl\xC3\xAC\"\r\n\"\xE2\x82\xAC\"\r\n")
                           << QStringList { u"Città"_s, u"Forlì"_s, u"€"_s };
    QTest::newRow("Windows-1252") << QByteArray("\"Citt\xE0\"\r\n\"Forl\xEC\"\r\n\"\x80\"\r\n")
                                  << QStringList { u"Città"_s, u"Forlì"_s, u"€"_s };
    QTest::newRow("Windows-1252 punctuation")
        << QByteArray("\"N\xB0 5\"\r\n\"\x93sport\x94\x85\"\r\n\"Perch\xE9\"\r\n")
        << QStringList { u"N° 5"_s, u"\u201Csport\u201D\u2026"_s, u"Perché"_s };
    QTest::newRow("Windows-1252 with comma in quotes")
        << QByteArray("\"Via Fiume, 3\"\r\n\"Citt\xE0 di Castello\"\r\n")
        << QStringList { u"Via Fiume, 3"_s, u"Città di Castello"_s };
    QTest::newRow("UTF-8 byte order mark")
        << QByteArray("\xEF\xBB\xBF\"800\"\r\n\"0.41\"\r\n") << QStringList { u"800"_s, u"0.41"_s };
    QTest::newRow("empty file") << QByteArray() << QStringList();
}

void SettingsFileTest::readAll_decodes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, values);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"sistema.ini"_s);
    QVERIFY(writeBytes(path, bytes));
    const auto read = settings::readAll(path);
    QVERIFY(read.has_value());
    QCOMPARE(*read, values);
}

void SettingsFileTest::writeAll_readAll_roundTrip_data()
{
    QTest::addColumn<QStringList>("values");

    QTest::newRow("personal data") << personalised();
    QTest::newRow("defaults") << settings::toValues(Settings::defaults());
    QTest::newRow("outside Windows-1252")
        << QStringList { u"Łódź"_s, u"Ἀθῆναι"_s, u"€ 0,41"_s, u"  spazi  "_s };
    QTest::newRow("commas only") << QStringList { u","_s, u", ,"_s };
}

void SettingsFileTest::writeAll_readAll_roundTrip()
{
    QFETCH(QStringList, values);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"sistema.ini"_s);
    QVERIFY(settings::writeAll(path, values).has_value());
    QCOMPARE(contentsOf(path), settings::formatValues(values));
    const auto read = settings::readAll(path);
    QVERIFY(read.has_value());
    QCOMPARE(*read, values);
}

// The offsets changed through the typed settings, as the print window stores them.
void SettingsFileTest::rewrite_keepsEveryOtherValue_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");

    QStringList calibrated = personalised();
    calibrated[11] = u"2500"_s;
    calibrated[12] = u"5000"_s;
    QTest::newRow("13 values") << quotedLines(personalised()) << quotedLines(calibrated);

    QStringList many = numbered(100);
    many[11] = u"2500"_s;
    many[12] = u"5000"_s;
    QTest::newRow("150 values keep 100") << quotedLines(numbered(150)) << quotedLines(many);

    QStringList loose = numbered(13);
    loose[11] = u"2500"_s;
    loose[12] = u"5000"_s;
    QTest::newRow("unquoted, line feeds") << numbered(13).join(u'\n').toUtf8() + '\n'
                                          << quotedLines(loose);

    QStringList filled = numbered(11);
    filled << u"2500"_s << u"5000"_s;
    QTest::newRow("11 values filled up") << quotedLines(numbered(11)) << quotedLines(filled);
}

void SettingsFileTest::rewrite_keepsEveryOtherValue()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"sistema.ini"_s);
    QVERIFY(writeBytes(path, before));
    auto read = readSettings(path);
    QVERIFY(read.has_value());
    read->verticalOffset = u"2500"_s;
    read->horizontalOffset = u"5000"_s;
    QVERIFY(writeSettings(path, *read).has_value());
    QCOMPARE(contentsOf(path), after);
}

void SettingsFileTest::rewrite_keepsOldCodePageText()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"sistema.ini"_s);
    const QByteArray old = "\"Tabaccheria\"\r\n\"Corso Garibaldi, 1\"\r\n\"1\"\r\n\"47121\"\r\n"
                           "\"Forl\xEC\"\r\n\"Italia\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n"
                           "\"800\"\r\n\"0.41\"\r\n\"0\"\r\n\"0\"\r\n";
    QVERIFY(writeBytes(path, old));
    auto read = readSettings(path);
    QVERIFY(read.has_value());
    QCOMPARE(read->city, u"Forlì"_s);
    read->verticalOffset = u"10"_s;
    QVERIFY(writeSettings(path, *read).has_value());

    const auto again = settings::readAll(path);
    QVERIFY(again.has_value());
    QCOMPARE(*again,
        (QStringList { u"Tabaccheria"_s, u"Corso Garibaldi, 1"_s, u"1"_s, u"47121"_s, u"Forlì"_s,
            u"Italia"_s, QString(), QString(), QString(), u"800"_s, u"0.41"_s, u"10"_s, u"0"_s }));
}

void SettingsFileTest::readAll_failures_data()
{
    QTest::addColumn<bool>("folder");
    QTest::addColumn<QString>("reasonPart");
    QTest::newRow("missing file") << false << u"non esiste"_s;
    QTest::newRow("folder") << true << u"cartella"_s;
}

void SettingsFileTest::readAll_failures()
{
    QFETCH(bool, folder);
    QFETCH(QString, reasonPart);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"sistema.ini"_s);
    if (folder)
        QVERIFY(QDir().mkdir(path));

    const auto read = settings::readAll(path);
    QVERIFY(!read);
    QCOMPARE(read.error().path, path);
    QVERIFY2(read.error().reason.contains(reasonPart), qPrintable(read.error().reason));
    QVERIFY(!hasDigit(read.error().reason));

    QVERIFY(!readSettings(path));
    QCOMPARE(QFileInfo(path).isDir(), folder);
    QCOMPARE(QFileInfo::exists(path), folder);
}

void SettingsFileTest::writeFailures_createNothing()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"ottavario/sistema.ini"_s);
    const auto result = writeSettings(path, Settings::defaults());
    QVERIFY(!result);
    QCOMPARE(result.error().path, path);
    QVERIFY(!result.error().reason.isEmpty());
    QVERIFY(QDir(dir.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

QTEST_GUILESS_MAIN(SettingsFileTest)
#include "test_settings_file.moc"
