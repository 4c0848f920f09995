#pragma once

// A folder holding a saved pair, taken as it stood at one moment, and what
// the next open, save, copy and check of that pair must find there.
#include "app/cli.h"
#include "check/scoring.h"
#include "core/grid.h"
#include "core/system_type.h"
#include "engine/column_file.h"
#include "support/cli_run.h"
#include "support/test_files.h"
#include "systems/system_files.h"
#include "transfer/pair_copy.h"

#include <QDir>
#include <QMap>
#include <QStringList>
#include <QTemporaryDir>

namespace ottavario::testing {

// Every file of a folder, hidden ones included, with its bytes.
using Folder = QMap<QString, QByteArray>;

inline Folder snapshot(const QString& path)
{
    Folder folder;
    const QDir dir(path);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System))
        folder.insert(name, contentsOf(dir.filePath(name)));
    return folder;
}

inline bool restore(const Folder& folder, const QString& path)
{
    for (auto file = folder.begin(); file != folder.end(); ++file)
        if (!writeBytes(path + u'/' + file.key(), file.value()))
            return false;
    return true;
}

inline QString describeFolder(const Folder& folder)
{
    QStringList names;
    for (auto file = folder.begin(); file != folder.end(); ++file)
        names << QStringLiteral("%1 (%2 byte)").arg(file.key()).arg(file.value().size());
    return names.isEmpty() ? QStringLiteral("nothing") : names.join(QStringLiteral(", "));
}

inline Folder pairFolder(const Grid& grid, SystemType type, const QByteArray& columns)
{
    return { { QStringLiteral("alfa.stg"), columns },
        { QStringLiteral("alfa.stt"), formatDescription(grid, type) } };
}

// The pair "alfa" was being replaced: `earlier` (empty when there was none)
// by `next`. Each follow-up runs on its own copy of the folder as it was left.
class PairFollowUps {
public:
    PairFollowUps(Folder earlier, Folder next)
        : m_earlier(std::move(earlier))
        , m_next(std::move(next))
    {
    }

    // Empty when every follow-up found the earlier pair or the new one, each
    // file whole and nothing else left; otherwise what went wrong.
    QStringList run(const Folder& left) const
    {
        QStringList faults;
        for (const auto& [name, followUp] : {
                 std::pair { "open", &PairFollowUps::open },
                 std::pair { "save", &PairFollowUps::save },
                 std::pair { "copy", &PairFollowUps::copy },
                 std::pair { "check", &PairFollowUps::check },
             }) {
            QTemporaryDir dir;
            if (!dir.isValid() || !restore(left, dir.path()))
                return { QStringLiteral("cannot lay out the folder") };
            const QString fault = (this->*followUp)(dir.path());
            if (!fault.isEmpty())
                faults << QStringLiteral("%1: %2").arg(QLatin1StringView(name), fault);
        }
        return faults;
    }

private:
    // The pair found, or why the folder is neither pair.
    QString whichPair(const QString& path, const Folder** found) const
    {
        const Folder now = snapshot(path);
        *found = now == m_earlier ? &m_earlier : now == m_next ? &m_next : nullptr;
        return *found ? QString() : QStringLiteral("left %1").arg(describeFolder(now));
    }

    QString open(const QString& path) const
    {
        const auto opened = openSystem(path + QStringLiteral("/alfa.stt"));
        const Folder* found = nullptr;
        if (QString fault = whichPair(path, &found); !fault.isEmpty())
            return fault;
        if (bool(opened) != found->contains(QStringLiteral("alfa.stt")))
            return opened ? QStringLiteral("opened a system that is not there")
                          : opened.error().message(QStringLiteral("aprire"));
        if (opened
            && formatDescription(opened->grid, opened->type)
                != found->value(QStringLiteral("alfa.stt")))
            return QStringLiteral("read another description");
        return {};
    }

    QString save(const QString& path) const
    {
        const Grid grid = twoColumnGrid();
        const QByteArray columns = " 1 2 3 4 5 6 7 8 1 2 3 4 5 6 7 9";
        const auto saved
            = saveSystem(path + QStringLiteral("/alfa.stt"), grid, SystemType::Integrale, columns);
        if (!saved)
            return saved.error().message(QStringLiteral("salvare"));
        const Folder now = snapshot(path);
        if (now != pairFolder(grid, SystemType::Integrale, columns))
            return QStringLiteral("left %1").arg(describeFolder(now));
        return {};
    }

    QString copy(const QString& path) const
    {
        QTemporaryDir destination;
        const auto copied = copyPair(path, destination.path(), QStringLiteral("alfa.stg"));
        const Folder* found = nullptr;
        if (QString fault = whichPair(path, &found); !fault.isEmpty())
            return fault;
        if (bool(copied) != !found->isEmpty())
            return copied ? QStringLiteral("copied a system that is not there")
                          : copied.error().message();
        if (snapshot(destination.path()) != *found)
            return QStringLiteral("copied %1").arg(describeFolder(snapshot(destination.path())));
        return {};
    }

    QString check(const QString& path) const
    {
        const CliRun run = runCli({ QStringLiteral("check"), QStringLiteral("--winning"),
            QStringLiteral("1,2,3,4,5,6,7,9"), path + QStringLiteral("/alfa.stt") });
        const Folder* found = nullptr;
        if (QString fault = whichPair(path, &found); !fault.isEmpty())
            return fault;
        if (found->isEmpty())
            return run.status == 2 ? QString()
                                   : QStringLiteral("checked a system that is not there");
        QTemporaryDir columns;
        const QString stg = columns.filePath(QStringLiteral("alfa.stg"));
        writeBytes(stg, found->value(QStringLiteral("alfa.stg")));
        const auto masks = readColumnMasks(stg);
        const Score s = score(*masks, winningMask({ 1, 2, 3, 4, 5, 6, 7, 9 }));
        const QString expected
            = QStringLiteral("alfa 8=%1 7=%2 6=%3\n").arg(s.eight).arg(s.seven).arg(s.six);
        if (run.status != 0 || run.out != expected)
            return QStringLiteral("printed \"%1\" \"%2\"").arg(run.out, run.err);
        return {};
    }

    static Grid twoColumnGrid()
    {
        Grid grid;
        for (int box = 0; box < kBoxes; ++box)
            grid.entries[box][0] = QString::number(box + 1);
        grid.entries[kBoxes - 1][1] = QStringLiteral("9");
        return grid;
    }

    Folder m_earlier;
    Folder m_next;
};

} // namespace ottavario::testing
