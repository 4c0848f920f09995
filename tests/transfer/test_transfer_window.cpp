#include "support/recording_print_service.h"
#include "support/recording_services.h"
#include "transfer/transfer_window.h"

#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <functional>
#include <memory>

using namespace ottavario;
using Side = TransferWindow::Side;

namespace {

// Three volumes under a temporary folder: A holds the program's files and the
// current folder, B is another disk, F a diskette drive that may be empty.
class FakeVolumes final : public VolumeService {
public:
    QList<Volume> list;
    QSet<QString> notReady;

    QList<Volume> volumes() override { return list; }
    bool isReady(const QString& root) override { return !notReady.contains(root); }
};

constexpr int kA = 0;
constexpr int kB = 1;
constexpr int kF = 2;

void writeFile(const QString& path, const QByteArray& bytes = " 1 2 3 4 5 6 7 8")
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    file.write(bytes);
}

QStringList texts(const QListWidget* list)
{
    QStringList result;
    for (int i = 0; i < list->count(); ++i)
        result.append(list->item(i)->text());
    return result;
}

}

class TestTransferWindow : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_previousCurrent;
    FakeVolumes m_volumes;
    testing::RecordingMessageService m_messages;
    testing::ScriptedFileDialogs m_dialogs;
    testing::RecordingPrintService m_printer;
    QPointer<TransferWindow> m_window;

    QString path(const QString& relative) const { return m_dir->filePath(relative); }

    void open()
    {
        m_window = new TransferWindow(
            { m_messages, m_dialogs, m_printer, DataFolder(path(QStringLiteral("A/ottavario"))) },
            m_volumes);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
    }

    template <typename T> T* child(const char* name) const
    {
        T* widget = m_window->findChild<T*>(QLatin1StringView(name));
        if (!widget)
            qWarning("missing %s", name);
        return widget;
    }

    void clickFile(const char* list, const QString& name)
    {
        auto* files = child<QListWidget>(list);
        const QList<QListWidgetItem*> found = files->findItems(name, Qt::MatchExactly);
        QCOMPARE(found.size(), 1);
        QTest::mouseClick(
            files->viewport(), Qt::LeftButton, {}, files->visualItemRect(found.first()).center());
        QVERIFY(found.first()->isSelected());
    }

    QTreeWidgetItem* folderItem(const char* tree, const QString& text) const
    {
        const QList<QTreeWidgetItem*> found
            = child<QTreeWidget>(tree)->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        return found.size() == 1 ? found.first() : nullptr;
    }

    void doubleClickFolder(const char* tree, const QString& text)
    {
        QTreeWidgetItem* item = folderItem(tree, text);
        QVERIFY2(item, qPrintable(text));
        auto* view = child<QTreeWidget>(tree);
        const QPoint centre = view->visualItemRect(item).center();
        // A widget's double click arrives alone; the press before it comes first.
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, centre);
    }

    void click(const char* button)
    {
        QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton);
    }

private slots:
    void initTestCase() { m_previousCurrent = QDir::currentPath(); }
    void cleanupTestCase() { QDir::setCurrent(m_previousCurrent); }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        for (const char* folder : { "A/ottavario", "A/sistemi/archivio", "B/copie", "F" })
            QVERIFY(QDir().mkpath(path(QLatin1StringView(folder))));
        for (const char* file : { "A/sistemi/prova.stg", "A/sistemi/prova.stt",
                 "A/sistemi/Altro.stg", "A/sistemi/Altro.stt", "A/sistemi/solo.stg",
                 "A/sistemi/note.txt", "A/sistemi/prova.stt.bak", "A/sistemi/.nascosto.stg",
                 "A/sistemi/archivio/vecchio.stg", "A/sistemi/archivio/vecchio.stt",
                 "F/dischetto.stg", "F/dischetto.stt" })
            writeFile(path(QLatin1StringView(file)));
        QVERIFY(QDir::setCurrent(path(QStringLiteral("A/sistemi"))));

        m_volumes.list = { { path(QStringLiteral("A")), QStringLiteral("A") },
            { path(QStringLiteral("B")), QStringLiteral("B") },
            { path(QStringLiteral("F")), QStringLiteral("F [dischetto]") } };
        m_volumes.notReady = { path(QStringLiteral("F")) };
        m_messages.shown.clear();
        m_messages.requested.clear();
        m_messages.requestAnswers.clear();
        m_messages.onRequest = {};
    }

    void cleanup()
    {
        delete m_window;
        QDir::setCurrent(m_previousCurrent);
        m_dir.reset();
    }

    void controlsCarryTheirCaptions_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::newRow("Frame1") << "Frame1"
                                << "Copia";
        QTest::newRow("Frame2") << "Frame2"
                                << "Incolla";
        QTest::newRow("Label1(0)") << "Label1(0)"
                                   << "Contenuto";
        QTest::newRow("Label1(1)") << "Label1(1)"
                                   << "Contenuto";
        QTest::newRow("Command1") << "Command1"
                                  << "Copia";
        QTest::newRow("Command2") << "Command2"
                                  << "Chiude";
    }

    void controlsCarryTheirCaptions()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        open();
        QObject* object = m_window->findChild<QObject*>(name);
        QVERIFY2(object, qPrintable(name));
        QCOMPARE(
            object->property(object->property("title").isValid() ? "title" : "text").toString(),
            text);
    }

    void opensBothSidesOnTheCurrentFolder()
    {
        open();
        QCOMPARE(m_window->objectName(), QStringLiteral("Form4"));
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Import export"));
        for (const char* name : { "Drive1", "Drive2" })
            QVERIFY(child<QComboBox>(name));
        for (const char* name : { "Dir1", "Dir2" })
            QVERIFY(child<QTreeWidget>(name));
        QCOMPARE(child<QLabel>("Image1")->width(), 80);
        QVERIFY(!m_window->findChild<QObject*>(QStringLiteral("Text1")));

        for (Side side : { Side::Source, Side::Destination }) {
            QCOMPARE(m_window->volumeIndex(side), kA);
            QCOMPARE(m_window->folder(side), path(QStringLiteral("A/sistemi")));
        }
        QCOMPARE(child<QComboBox>("Drive1")->currentText(), QStringLiteral("A"));
        // Only .stg files, hidden ones left out, in name order whatever the case.
        const QStringList systems = { "Altro.stg", "prova.stg", "solo.stg" };
        QCOMPARE(texts(child<QListWidget>("File1")), systems);
        QCOMPARE(texts(child<QListWidget>("File2")), systems);
        // The folder list shows the way down from the volume and the subfolders.
        QTreeWidgetItem* current = child<QTreeWidget>("Dir1")->currentItem();
        QVERIFY(current);
        QCOMPARE(current->text(0), QStringLiteral("sistemi"));
        QCOMPARE(current->childCount(), 1);
        QCOMPARE(current->child(0)->text(0), QStringLiteral("archivio"));
        QCOMPARE(current->parent()->text(0), QDir::toNativeSeparators(path(QStringLiteral("A"))));
    }

    void copyPutsThePairInTheDestinationAndListsIt()
    {
        open();
        child<QComboBox>("Drive2")->setCurrentIndex(kB);
        doubleClickFolder("Dir2", QStringLiteral("copie"));
        QTRY_COMPARE(m_window->folder(Side::Destination), path(QStringLiteral("B/copie")));
        QVERIFY(texts(child<QListWidget>("File2")).isEmpty());

        clickFile("File1", QStringLiteral("prova.stg"));
        click("Command1");
        QCOMPARE(m_messages.shown.size(), 0);
        QCOMPARE(QDir(path(QStringLiteral("B/copie"))).entryList(QDir::Files | QDir::Hidden),
            QStringList({ "prova.stg", "prova.stt" }));
        QCOMPARE(texts(child<QListWidget>("File2")), QStringList { "prova.stg" });
    }

    void failedCopySaysWhyAndCopiesNothing_data()
    {
        QTest::addColumn<QString>("file"); // chosen in File1, empty for none
        QTest::addColumn<QString>("expected");
        QTest::newRow("nothing chosen") << QString() << "Nessun sistema copiato";
        QTest::newRow("description missing") << "solo.stg"
                                             << "solo.stt: il file non esiste";
    }

    void failedCopySaysWhyAndCopiesNothing()
    {
        QFETCH(QString, file);
        QFETCH(QString, expected);
        open();
        child<QComboBox>("Drive2")->setCurrentIndex(kB);
        if (!file.isEmpty())
            clickFile("File1", file);
        click("Command1");
        QCOMPARE(m_messages.shown.size(), 1);
        QCOMPARE(m_messages.shown.first().title, QStringLiteral("Import export"));
        QVERIFY2(m_messages.lastText().contains(expected), qPrintable(m_messages.lastText()));
        QCOMPARE(
            QDir(path(QStringLiteral("B"))).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    void copyIntoItsOwnFolderChangesNothing()
    {
        open();
        clickFile("File1", QStringLiteral("prova.stg"));
        const QStringList before
            = QDir(path(QStringLiteral("A/sistemi"))).entryList(QDir::Files | QDir::Hidden);
        click("Command1");
        QCOMPARE(m_messages.shown.size(), 0);
        QCOMPARE(
            QDir(path(QStringLiteral("A/sistemi"))).entryList(QDir::Files | QDir::Hidden), before);
    }

    void folderListMovesDownAndUp()
    {
        open();
        doubleClickFolder("Dir1", QStringLiteral("archivio"));
        QTRY_COMPARE(m_window->folder(Side::Source), path(QStringLiteral("A/sistemi/archivio")));
        QCOMPARE(texts(child<QListWidget>("File1")), QStringList { "vecchio.stg" });
        // The other side does not follow.
        QCOMPARE(m_window->folder(Side::Destination), path(QStringLiteral("A/sistemi")));

        doubleClickFolder("Dir1", QDir::toNativeSeparators(path(QStringLiteral("A"))));
        QTRY_COMPARE(m_window->folder(Side::Source), path(QStringLiteral("A")));
        QVERIFY(texts(child<QListWidget>("File1")).isEmpty());
        QVERIFY(folderItem("Dir1", QStringLiteral("ottavario")));
        QVERIFY(folderItem("Dir1", QStringLiteral("sistemi")));
    }

    void vanishedFolderIsReportedAndTheListStays()
    {
        open();
        QVERIFY(QDir(path(QStringLiteral("A/sistemi/archivio"))).removeRecursively());
        doubleClickFolder("Dir2", QStringLiteral("archivio"));
        QTRY_COMPARE(m_messages.shown.size(), 1);
        QVERIFY2(m_messages.lastText().startsWith(QStringLiteral("Impossibile aprire la cartella")),
            qPrintable(m_messages.lastText()));
        QCOMPARE(m_window->folder(Side::Destination), path(QStringLiteral("A/sistemi")));
        QVERIFY(!folderItem("Dir2", QStringLiteral("archivio")));
    }

    // A drive without its disk: OK asks again until it is ready, Cancel falls
    // back (source: the program's volume; destination: the source's volume).
    void driveNotReady_data()
    {
        QTest::addColumn<int>("side");
        QTest::addColumn<int>("sourceStart"); // the volume Drive1 shows first
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<int>("insertAt"); // the question at which the disk goes in, 0 never
        QTest::addColumn<int>("asked");
        QTest::addColumn<int>("shownVolume");

        QTest::newRow("source, cancel")
            << int(Side::Source) << kB << QList<bool> { false } << 0 << 1 << kA;
        QTest::newRow("source, disk in, ok")
            << int(Side::Source) << kA << QList<bool> { true } << 1 << 1 << kF;
        QTest::newRow("source, ok twice without disk, then cancel")
            << int(Side::Source) << kA << QList<bool> { true, true, false } << 0 << 3 << kA;
        QTest::newRow("source, ok without disk, then disk in")
            << int(Side::Source) << kA << QList<bool> { true, true } << 2 << 2 << kF;
        QTest::newRow("destination, cancel goes to the source's volume")
            << int(Side::Destination) << kB << QList<bool> { false } << 0 << 1 << kB;
        QTest::newRow("destination, disk in, ok")
            << int(Side::Destination) << kB << QList<bool> { true } << 1 << 1 << kF;
    }

    void driveNotReady()
    {
        QFETCH(int, side);
        QFETCH(int, sourceStart);
        QFETCH(QList<bool>, answers);
        QFETCH(int, insertAt);
        QFETCH(int, asked);
        QFETCH(int, shownVolume);
        open();
        child<QComboBox>("Drive1")->setCurrentIndex(sourceStart);
        QCOMPARE(m_window->volumeIndex(Side::Source), sourceStart);
        QCOMPARE(m_messages.requested.size(), 0);

        m_messages.requestAnswers = answers;
        // The user inserts the diskette while asked for it.
        m_messages.onRequest = [&] {
            if (m_messages.requested.size() == insertAt)
                m_volumes.notReady.clear();
        };
        const auto which = Side(side);
        auto* drives = child<QComboBox>(which == Side::Source ? "Drive1" : "Drive2");
        drives->setCurrentIndex(kF);

        QCOMPARE(m_messages.requested.size(), asked);
        for (const auto& request : m_messages.requested)
            QCOMPARE(request.text, QStringLiteral("Inserire il disco nell'unità."));
        QCOMPARE(m_window->volumeIndex(which), shownVolume);
        QCOMPARE(drives->currentIndex(), shownVolume);
        const QString root = m_volumes.list[shownVolume].root;
        QVERIFY2(m_window->folder(which).startsWith(root), qPrintable(m_window->folder(which)));
        if (shownVolume == kF)
            QCOMPARE(texts(child<QListWidget>(which == Side::Source ? "File1" : "File2")),
                QStringList { "dischetto.stg" });
        QCOMPARE(m_messages.shown.size(), 0);
    }

    // Cancel when the fallback is not ready either: asked again for it, then
    // the drive list goes back to what the lists still show.
    void cancelOnAFallbackThatIsNotReadyEnds()
    {
        open();
        child<QComboBox>("Drive1")->setCurrentIndex(kB);
        m_volumes.notReady.insert(path(QStringLiteral("A")));
        child<QComboBox>("Drive1")->setCurrentIndex(kF);
        QCOMPARE(m_messages.requested.size(), 2);
        QCOMPARE(m_window->volumeIndex(Side::Source), kB);
        QCOMPARE(child<QComboBox>("Drive1")->currentIndex(), kB);
        QCOMPARE(m_window->folder(Side::Source), path(QStringLiteral("B")));
    }

    void chiudeClosesAndTellsTheMainWindow_data()
    {
        QTest::addColumn<bool>("titleBar");
        QTest::newRow("Chiude") << false;
        QTest::newRow("title bar") << true;
    }

    void chiudeClosesAndTellsTheMainWindow()
    {
        QFETCH(bool, titleBar);
        open();
        QSignalSpy closed(m_window.data(), &TransferWindow::closed);
        if (titleBar)
            m_window->close();
        else
            click("Command2");
        QCOMPARE(closed.size(), 1);
        QTRY_VERIFY(m_window.isNull());
    }
};

QTEST_MAIN(TestTransferWindow)
#include "test_transfer_window.moc"
