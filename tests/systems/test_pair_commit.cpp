// A save or a copy stopped at every step that changes the disk, by a failing
// disk or by a kill, then the pair opened, saved, copied and checked: each of
// them finds the earlier pair or the new one, byte for byte.
#include "engine/engine_grids.h"
#include "support/pair_folders.h"
#include "systems/pair_commit.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTest>
#include <QThread>

#include <csignal>
#include <thread>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

using namespace ottavario;
using namespace ottavario::testing;
using namespace Qt::StringLiterals;

namespace {

const QByteArray kColumns = " 1 2 3 4 5 6 7 8 1 2 3 4 5 6 7 9 1 2 3 4 5 61011";
const QByteArray kEarlierColumns = " 5 7121519242831";

Grid earlierGrid()
{
    Grid grid = singles();
    grid.entries[0][0] = u"5"_s;
    return grid;
}

const Folder kEarlier = pairFolder(earlierGrid(), SystemType::SeiPunti, kEarlierColumns);
const Folder kNew = pairFolder(singles(), SystemType::Integrale, kColumns);

// What is stopped: "save" writes the new pair into `folder`, "copy" copies it
// there from `source`, which holds it.
bool runOperation(const QString& operation, const QString& folder, const QString& source)
{
    if (operation == u"save")
        return bool(
            saveSystem(folder + u"/alfa.stt"_s, singles(), SystemType::Integrale, kColumns));
    return bool(copyPair(source, folder, u"alfa.stg"_s));
}

// Counts the steps; `stopAt` (from 1) fails there, once.
detail::PairStepHook failingAt(int& steps, int stopAt)
{
    return [&steps, stopAt](detail::PairStep, const QString&) { return ++steps != stopAt; };
}

// The test binary run again: the operation, killed at step `stopAt`.
int runKilledChild(const QStringList& args)
{
    const int stopAt = args[3].toInt();
    int steps = 0;
    detail::setPairHooks([&](detail::PairStep, const QString&) {
        if (++steps == stopAt)
            std::raise(SIGKILL);
        return true;
    });
    runOperation(args[2], args[4], args[5]);
    return 3; // the step was never reached
}

}

class TestPairCommit : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_folder;
    QString m_source;

    void layOut(bool earlierPair)
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_folder = m_dir->filePath(u"sistemi"_s);
        m_source = m_dir->filePath(u"dischetto"_s);
        QVERIFY(QDir().mkpath(m_folder));
        QVERIFY(QDir().mkpath(m_source));
        QVERIFY(restore(kNew, m_source));
        if (earlierPair)
            QVERIFY(restore(kEarlier, m_folder));
    }

    // Stops the operation at `stopAt`, by a failure or a kill; the folder as left.
    Folder stop(const QString& operation, bool earlierPair, int stopAt, bool kill, QString* fault)
    {
        layOut(earlierPair);
        if (kill) {
            QProcess child;
            child.start(QCoreApplication::applicationFilePath(),
                { u"--killed-at"_s, operation, QString::number(stopAt), m_folder, m_source });
            if (!child.waitForFinished(10'000) || child.exitStatus() != QProcess::CrashExit)
                *fault = u"the child was not killed"_s;
            return snapshot(m_folder);
        }
        int steps = 0;
        detail::setPairHooks(failingAt(steps, stopAt));
        const bool done = runOperation(operation, m_folder, m_source);
        detail::setPairHooks({});
        const Folder left = snapshot(m_folder);
        // A failure is told and changes no file of the pair; a step that
        // failed and went through when tried again completes the operation.
        Folder shown = left;
        shown.removeIf([](const auto& file) { return file.key().startsWith(u'.'); });
        if (shown != (done ? kNew : (earlierPair ? kEarlier : Folder())))
            *fault = u"%1, left %2"_s.arg(done ? "done" : "failed", describeFolder(left));
        return left;
    }

    int stepsOf(const std::function<void()>& run)
    {
        int steps = 0;
        detail::setPairHooks(failingAt(steps, 0));
        run();
        detail::setPairHooks({});
        return steps;
    }

private slots:
    void cleanup() { detail::setPairHooks({}); }

    // Every step of a save and of a copy, with and without an earlier pair:
    // the disk fails there, or the process is killed there. A settling of what
    // the kill left is stopped at each of its own steps as well.
    void stoppedAnywhere_leavesOnePairWhole_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<bool>("earlierPair");
        for (const char* operation : { "save", "copy" })
            for (bool earlier : { true, false })
                QTest::addRow("%s, %s", operation, earlier ? "earlier pair" : "no earlier pair")
                    << QString::fromLatin1(operation) << earlier;
    }
    void stoppedAnywhere_leavesOnePairWhole()
    {
        QFETCH(QString, operation);
        QFETCH(bool, earlierPair);
        const PairFollowUps followUps(earlierPair ? kEarlier : Folder(), kNew);
        layOut(earlierPair);
        const int steps = stepsOf([&] { QVERIFY(runOperation(operation, m_folder, m_source)); });
        QCOMPARE(snapshot(m_folder), kNew);
        QVERIFY2(steps >= 17, qPrintable(QString::number(steps)));

        int settlingsStopped = 0;
        for (int stopAt = 1; stopAt <= steps; ++stopAt) {
            for (bool kill : { false, true }) {
                const QString where
                    = u"%1 at step %2"_s.arg(kill ? "killed" : "failed").arg(stopAt);
                QString fault;
                const Folder left = stop(operation, earlierPair, stopAt, kill, &fault);
                QVERIFY2(fault.isEmpty(), qPrintable(where + u": "_s + fault));
                const QStringList faults = followUps.run(left);
                QVERIFY2(faults.isEmpty(), qPrintable(where + u": "_s + faults.join(u"; "_s)));
                if (!kill || left == kNew || left == kEarlier)
                    continue;

                // The settling of this folder, stopped at each of its steps.
                QTemporaryDir probe;
                QVERIFY(restore(left, probe.path()));
                const int settling = stepsOf([&] { settlePair(probe.filePath(u"alfa.stt"_s)); });
                for (int settleAt = 1; settleAt <= settling; ++settleAt) {
                    QTemporaryDir dir;
                    QVERIFY(restore(left, dir.path()));
                    int count = 0;
                    detail::setPairHooks(failingAt(count, settleAt));
                    settlePair(dir.filePath(u"alfa.stg"_s));
                    detail::setPairHooks({});
                    const QStringList again = followUps.run(snapshot(dir.path()));
                    QVERIFY2(again.isEmpty(),
                        qPrintable(u"%1, settling stopped at %2: %3"_s.arg(where).arg(settleAt).arg(
                            again.join(u"; "_s))));
                    ++settlingsStopped;
                }
            }
        }
        QVERIFY(settlingsStopped > 0);
    }

    // Journals cut short at any byte (a crash before they reached the disk)
    // are undone; the earlier pair stays.
    void truncatedJournal_rollsBack_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("begun") << u"begun"_s;
        QTest::newRow("ready") << u"ready"_s;
    }
    void truncatedJournal_rollsBack()
    {
        QFETCH(QString, kind);
        layOut(true);
        Folder whole;
        detail::setPairHooks([&](detail::PairStep step, const QString&) {
            // Taken just before the new files are moved in.
            if (step == detail::PairStep::Rename && whole.isEmpty())
                whole = snapshot(m_folder);
            return true;
        });
        QVERIFY(saveSystem(m_folder + u"/alfa.stt"_s, singles(), SystemType::Integrale, kColumns));
        detail::setPairHooks({});
        const QString journal = whole.keys().filter(u".ready"_s).value(0);
        QVERIFY(!journal.isEmpty());
        QByteArray text = whole.value(journal);
        if (kind == u"begun") {
            whole.remove(journal);
            text = "ottavario pair commit: begun\n";
        }
        const QString begun = journal.chopped(5) + u"begun"_s;
        for (qsizetype cut = 0; cut < text.size(); ++cut) {
            Folder torn = whole;
            torn.insert(
                begun, kind == u"begun" ? text.left(cut) : "ottavario pair commit: begun\n");
            if (kind == u"ready")
                torn.insert(journal, text.left(cut));
            QTemporaryDir dir;
            QVERIFY(restore(torn, dir.path()));
            QVERIFY(openSystem(dir.filePath(u"alfa.stt"_s)));
            QVERIFY2(snapshot(dir.path()) == kEarlier, qPrintable(u"cut at %1"_s.arg(cut)));
        }
    }

    // Hidden files beside the pair that no journal proves to be a commit's
    // own are never a reason to touch the pair or them.
    void strayFiles_areLeftAlone_data()
    {
        QTest::addColumn<Folder>("strays");
        const QString token = u"0123456789abcdef"_s;
        QTest::newRow("an older program's temporary files")
            << Folder { { u".alfa.stt.3f2a.tmp"_s, "x" }, { u".alfa.stg.3f2a.old"_s, "y" } };
        QTest::newRow("a journal of other content")
            << Folder { { u".alfa.%1.begun"_s.arg(token), "not a journal\n" },
                   { u".alfa.%1.stg.part"_s.arg(token), kColumns } };
        QTest::newRow("a damaged ready journal alone")
            << Folder { { u".alfa.%1.ready"_s.arg(token),
                            "ottavario pair commit: ready\nstg "
                            "alfa.stg 00\n" },
                   { u".alfa.%1.stt.part"_s.arg(token), "z" } };
        QTest::newRow("new files without a journal")
            << Folder { { u".alfa.%1.stg.part"_s.arg(token), kColumns },
                   { u".alfa.%1.stt.part"_s.arg(token), "z" } };
    }
    void strayFiles_areLeftAlone()
    {
        QFETCH(Folder, strays);
        layOut(true);
        QVERIFY(restore(strays, m_folder));
        Folder expected = kEarlier;
        expected.insert(strays);
        QVERIFY(openSystem(m_folder + u"/alfa.stt"_s));
        QCOMPARE(snapshot(m_folder), expected);
        QVERIFY(copyPair(m_source, m_folder, u"alfa.stg"_s));
        expected.insert(kNew);
        QCOMPARE(snapshot(m_folder), expected);
    }

    // A rename that keeps failing once the new pair is ready: the save is
    // told, and the next open, the disk well again, completes the new pair.
    void persistentFailureAfterReady_isCompletedByTheNextOpen()
    {
        layOut(true);
        int renames = 0;
        detail::setPairHooks([&](detail::PairStep step, const QString&) {
            return step != detail::PairStep::Rename || ++renames == 1;
        });
        const auto saved
            = saveSystem(m_folder + u"/alfa.stt"_s, singles(), SystemType::Integrale, kColumns);
        detail::setPairHooks({});
        QVERIFY(!saved);
        QCOMPARE(saved.error().path, m_folder + u"/alfa.stt"_s);
        QVERIFY2(saved.error().reason.contains(u"prossima apertura"_s),
            qPrintable(saved.error().reason));
        const auto opened = openSystem(m_folder + u"/alfa.stt"_s);
        QVERIFY(opened);
        QCOMPARE(opened->type, SystemType::Integrale);
        QCOMPARE(snapshot(m_folder), kNew);
    }

#ifdef Q_OS_UNIX
    // Another program committing into the folder holds it: this commit waits
    // until it is done, then writes its first file.
    void anotherCommitInTheFolder_isWaitedFor()
    {
        layOut(true);
        const int held = ::open(QFile::encodeName(m_folder).constData(), O_RDONLY | O_DIRECTORY);
        QVERIFY(held >= 0);
        QCOMPARE(::flock(held, LOCK_EX), 0);
        const QString released = m_dir->filePath(u"released"_s);
        std::thread other([&] {
            QThread::msleep(200);
            writeBytes(released, "x");
            ::close(held);
        });
        bool waited = true;
        detail::setPairHooks([&](detail::PairStep, const QString&) {
            waited = waited && QFileInfo::exists(released);
            return true;
        });
        const auto saved
            = saveSystem(m_folder + u"/alfa.stt"_s, singles(), SystemType::Integrale, kColumns);
        other.join();
        QVERIFY(saved);
        QVERIFY(waited);
        QCOMPARE(snapshot(m_folder), kNew);
    }
#endif
};

int main(int argc, char* argv[])
{
    // Folders on a memory file system where there is one: the syncs made by
    // the thousand here then cost nothing.
    if (QFileInfo(u"/dev/shm"_s).isDir() && QFileInfo(u"/dev/shm"_s).isWritable())
        qputenv("TMPDIR", "/dev/shm");
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 6 && args[1] == u"--killed-at")
        return runKilledChild(args);
    TestPairCommit test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_pair_commit.moc"
