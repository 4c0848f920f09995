#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace ottavario::fuzz {

// A broken promise of a reader is a finding: the run stops on it, keeping the input.
inline void require(bool holds, const char* what)
{
    if (holds)
        return;
    std::fprintf(stderr, "broken: %s\n", what);
    std::abort();
}

inline QByteArray bytesOf(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// The input as a file, for the readers that take a path. One file, rewritten
// for every input, so a long run does not fill the disk.
inline QString asFile(const QByteArray& bytes, const QString& name)
{
    static QTemporaryDir folder;
    require(folder.isValid(), "no scratch folder");
    const QString path = folder.filePath(name);
    QFile file(path);
    require(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "scratch file not opened");
    require(file.write(bytes) == bytes.size(), "scratch file not written");
    return path;
}

} // namespace ottavario::fuzz
