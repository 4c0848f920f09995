#include "core/file_error.h"
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
bool hasDigit(const QString& text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
}
}

class FileErrorTest : public QObject {
    Q_OBJECT

private slots:
    void writeFileAtomically_writes_data();
    void writeFileAtomically_writes();
    void writeFileAtomically_missingFolder_createsNothing();
    void writeFileAtomically_ontoFolder_leavesFolder();
    void readWholeFile_failures_data();
    void readWholeFile_failures();
    void readWholeFile_readsEveryByte();
    void message_namesFileAndReason();
};

void FileErrorTest::writeFileAtomically_writes_data()
{
    QTest::addColumn<bool>("existing");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("new file") << false << QByteArray() << QByteArray("\"800\"\r\n");
    QTest::newRow("longer file replaced, no tail left")
        << true << QByteArray(1000, 'x') << QByteArray("\"0\"\r\n");
    QTest::newRow("shorter file replaced") << true << QByteArray("ab") << QByteArray(4096, '\x80');
    QTest::newRow("emptied") << true << QByteArray("old") << QByteArray();
    QTest::newRow("binary bytes kept") << false << QByteArray() << QByteArray("\0\r\n\x1a\xff", 5);
}

void FileErrorTest::writeFileAtomically_writes()
{
    QFETCH(bool, existing);
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, bytes);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"sistema.ini"_s);
    if (existing)
        QVERIFY(writeBytes(path, before));

    const auto result = writeFileAtomically(path, bytes);
    QVERIFY2(result.has_value(), qPrintable(result ? QString() : result.error().reason));
    QVERIFY(QFileInfo(path).isFile());
    QCOMPARE(contentsOf(path), bytes);
    // No temporary file stays behind.
    QCOMPARE(
        QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList { u"sistema.ini"_s });
}

void FileErrorTest::writeFileAtomically_missingFolder_createsNothing()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.filePath(u"sistemi"_s);
    const QString path = folder + u"/prova.stt"_s;

    const auto result = writeFileAtomically(path, "\"1\"\r\n");
    QVERIFY(!result);
    QCOMPARE(result.error().path, path);
    QVERIFY(!result.error().reason.isEmpty());
    QVERIFY2(result.error().reason.contains(u"non esiste"_s), qPrintable(result.error().reason));
    QVERIFY(!QFileInfo::exists(folder));
    QVERIFY(QDir(dir.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

void FileErrorTest::writeFileAtomically_ontoFolder_leavesFolder()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"sistema.ini"_s);
    QVERIFY(QDir().mkdir(path));
    QVERIFY(writeBytes(path + u"/inside"_s, "keep"));

    const auto result = writeFileAtomically(path, "\"1\"\r\n");
    QVERIFY(!result);
    QCOMPARE(result.error().path, path);
    QVERIFY(!result.error().reason.isEmpty());
    QVERIFY(!hasDigit(result.error().reason));
    QVERIFY(QFileInfo(path).isDir());
    QCOMPARE(contentsOf(path + u"/inside"_s), QByteArray("keep"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
        QStringList { u"sistema.ini"_s });
}

void FileErrorTest::readWholeFile_failures_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reasonPart");

    QTest::newRow("missing file") << u"missing"_s << u"non esiste"_s;
    QTest::newRow("missing folder") << u"missingFolder"_s << u"non esiste"_s;
    QTest::newRow("folder") << u"folder"_s << u"cartella"_s;
}

void FileErrorTest::readWholeFile_failures()
{
    QFETCH(QString, kind);
    QFETCH(QString, reasonPart);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString path = dir.filePath(u"sistema.ini"_s);
    if (kind == u"missingFolder"_s)
        path = dir.filePath(u"nessuna/sistema.ini"_s);
    if (kind == u"folder"_s)
        QVERIFY(QDir().mkdir(path));

    const auto result = readWholeFile(path);
    QVERIFY(!result);
    QCOMPARE(result.error().path, path);
    QVERIFY2(result.error().reason.contains(reasonPart), qPrintable(result.error().reason));
    QVERIFY(!hasDigit(result.error().reason));
}

void FileErrorTest::readWholeFile_readsEveryByte()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"tmp"_s);
    QByteArray bytes;
    for (int i = 0; i < 70000; ++i)
        bytes += char(i % 256);
    QVERIFY(writeBytes(path, bytes));

    const auto result = readWholeFile(path);
    QVERIFY(result.has_value());
    QCOMPARE(*result, bytes);

    QVERIFY(writeBytes(path, QByteArray()));
    const auto empty = readWholeFile(path);
    QVERIFY(empty.has_value());
    QVERIFY(empty->isEmpty());
}

void FileErrorTest::message_namesFileAndReason()
{
    const FileError error { u"c:/ottavario/sistema.ini"_s, u"accesso negato"_s };
    QCOMPARE(error.message(u"salvare"_s),
        u"Impossibile salvare il file c:/ottavario/sistema.ini: accesso negato."_s);
    // A path holding %1 is not taken for a placeholder.
    const FileError odd { u"c:/%1%2/x.stt"_s, u"il file non esiste"_s };
    QCOMPARE(odd.message(u"aprire"_s),
        u"Impossibile aprire il file c:/%1%2/x.stt: il file non esiste."_s);
}

QTEST_GUILESS_MAIN(FileErrorTest)
#include "test_file_error.moc"
