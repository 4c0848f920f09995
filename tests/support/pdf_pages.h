#pragma once

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QString>

namespace ottavario::testing {

// Pages of a PDF file as pdfinfo counts them, or by its page objects where
// pdfinfo is not installed; -1 when the file cannot be read.
inline int pdfPageCount(const QString& path)
{
    if (!QFile::exists(path))
        return -1;
    const QString pdfinfo = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
    if (!pdfinfo.isEmpty()) {
        QProcess process;
        process.start(pdfinfo, { path });
        process.waitForFinished();
        const auto match = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
                               .match(QString::fromLatin1(process.readAllStandardOutput()));
        return match.hasMatch() ? match.captured(1).toInt() : -1;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    return int(QString::fromLatin1(file.readAll())
                   .count(QRegularExpression(QStringLiteral("/Type\\s*/Page\\b(?!s)"))));
}

} // namespace ottavario::testing
