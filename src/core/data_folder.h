#pragma once

#include "file_error.h"

#include <QString>

namespace ottavario {

// The program's own folder and the places in it. Only fromEnvironment()
// reads OTTAVARIO_HOME: everything else is handed the folder.
class DataFolder {
public:
    explicit DataFolder(const QString& root);
    // OTTAVARIO_HOME when set, otherwise c:\ottavario on Windows and
    // ~/ottavario elsewhere.
    static DataFolder fromEnvironment();

    const QString& root() const { return m_root; }
    QString systems() const; // <root>/sistemi
    QString work() const; // <root>/sistemi/tmp
    QString settingsFile() const; // <root>/sistema.ini
    QString developedWorkFile() const; // <root>/sistemi/tmp/tmp
    QString keptWorkFile() const; // <root>/sistemi/tmp/sistmp

    // Creates what a first start needs: the folders and a settings file with
    // the default prices. An existing settings file is left alone.
    FileResult<void> prepare() const;

private:
    QString m_root;
};

} // namespace ottavario
