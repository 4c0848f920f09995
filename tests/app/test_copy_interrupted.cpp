// `ottavario-cli copy` killed at every system call it makes once it reaches
// the folders, as a power cut or a closed terminal would stop it; the pair is
// then opened, saved, copied and checked.
#include "support/pair_folders.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

using namespace ottavario;
using namespace ottavario::testing;
using namespace Qt::StringLiterals;

namespace {

Grid gridOf(int first)
{
    Grid grid;
    for (int box = 0; box < kBoxes; ++box)
        grid.entries[box][0] = QString::number(first + box);
    return grid;
}

const Folder kEarlier = pairFolder(gridOf(1), SystemType::SeiPunti, " 1 2 3 4 5 6 7 8");
const Folder kNew
    = pairFolder(gridOf(2), SystemType::Integrale, " 2 3 4 5 6 7 8 9 2 3 4 5 6 7 810");

// "earlier pair", "new pair", then the kinds of hidden files beside it, and
// the pair the next open finds.
QString whatIsLeft(const Folder& left)
{
    Folder shown;
    QStringList hidden;
    for (auto file = left.begin(); file != left.end(); ++file) {
        if (!file.key().startsWith(u'.')) {
            shown.insert(file.key(), file.value());
            continue;
        }
        const QString kind = file.key().section(u'.', 3);
        hidden << (file.value().isEmpty() ? kind + u" (empty)"_s : kind);
    }
    auto name = [](const Folder& f) {
        return f == kEarlier ? u"earlier pair"_s : f == kNew ? u"new pair"_s : u"a mix"_s;
    };
    QString text = name(shown);
    if (!hidden.isEmpty())
        text += u" + "_s + hidden.join(u", "_s);
    QTemporaryDir dir;
    restore(left, dir.path());
    openSystem(dir.filePath(u"alfa.stt"_s));
    return text + u" -> open finds the "_s + name(snapshot(dir.path()));
}

struct KillPoint {
    QString call;
    int count; // this call's invocation at which the process dies
};

}

class TestCopyInterrupted : public QObject {
    Q_OBJECT

    QString m_strace;
    QString m_setarch;
    std::unique_ptr<QTemporaryDir> m_dir;

    QString source() const { return m_dir->filePath(u"dischetto"_s); }
    QString destination() const { return m_dir->filePath(u"sistemi"_s); }

    void layOut()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        QVERIFY(QDir().mkpath(source()) && QDir().mkpath(destination()));
        QVERIFY(restore(kNew, source()));
        QVERIFY(restore(kEarlier, destination()));
    }

    QProcess::ExitStatus runCopy(const QStringList& straceOptions)
    {
        QStringList args = straceOptions
            + QStringList { u"-f"_s, u"-qq"_s, QStringLiteral(OTTAVARIO_CLI), u"copy"_s,
                  source() + u"/alfa.stg"_s, destination() };
        QString program = m_strace;
        // The same memory layout every run: a sanitizer's own reads then come
        // in the same number, and each call is counted alike.
        if (!m_setarch.isEmpty()) {
            args.prepend(program);
            args.prepend(u"-R"_s);
            program = m_setarch;
        }
        QProcess process;
        process.start(program, args);
        if (!process.waitForFinished(20'000))
            return QProcess::CrashExit;
        return process.exitStatus();
    }

private slots:
    void initTestCase()
    {
        m_strace = QStandardPaths::findExecutable(u"strace"_s);
        if (m_strace.isEmpty())
            QSKIP("strace is not installed (tools/setup.sh installs it)");
        m_setarch = QStandardPaths::findExecutable(u"setarch"_s);
        // The thousands of syncs cost nothing on a memory file system.
        if (QFileInfo(u"/dev/shm"_s).isDir() && QFileInfo(u"/dev/shm"_s).isWritable())
            qputenv("TMPDIR", "/dev/shm");
    }

    void killedAtAnySystemCall_leavesOnePairWhole()
    {
        // One traced run names the calls, in order, and counts each kind.
        layOut();
        const QString trace = m_dir->filePath(u"trace"_s);
        QCOMPARE(runCopy({ u"-o"_s, trace }), QProcess::NormalExit);
        QCOMPARE(snapshot(destination()), kNew);
        const QStringList lines = QString::fromUtf8(contentsOf(trace)).split(u'\n');
        static const QRegularExpression call(u"^(\\d+) +([a-z0-9_]+)\\("_s);
        QHash<QString, int> counts;
        QList<KillPoint> points;
        QString process;
        for (const QString& line : lines) {
            const QRegularExpressionMatch match = call.match(line);
            if (!match.hasMatch())
                continue;
            if (process.isEmpty())
                process = match.captured(1);
            QVERIFY2(match.captured(1) == process, "the copy runs in one thread");
            const int count = ++counts[match.captured(2)];
            if (points.isEmpty() && !line.contains(source() + u'/')
                && !line.contains(destination()))
                continue;
            points.append({ match.captured(2), count });
        }
        QVERIFY2(points.size() > 30, qPrintable(QString::number(points.size())));

        const PairFollowUps followUps(kEarlier, kNew);
        for (const KillPoint& point : points) {
            layOut();
            const QString where = u"%1 #%2"_s.arg(point.call).arg(point.count);
            const QString inject = u"%1:signal=KILL:when=%2"_s.arg(point.call).arg(point.count);
            QVERIFY2(runCopy({ u"-o"_s, u"/dev/null"_s, u"-e"_s, u"trace="_s + point.call, u"-e"_s,
                         u"inject="_s + inject })
                    == QProcess::CrashExit,
                qPrintable(where + u": not killed"_s));
            const Folder left = snapshot(destination());
            const QStringList faults = followUps.run(left);
            QVERIFY2(faults.isEmpty(), qPrintable(where + u": "_s + faults.join(u"; "_s)));
            qInfo("%s", qPrintable(u"%1: %2"_s.arg(where, whatIsLeft(left))));
        }
    }
};

QTEST_GUILESS_MAIN(TestCopyInterrupted)
#include "test_copy_interrupted.moc"
