#pragma once

#include "file_error.h"

#include <QString>

namespace ottavario {

// The program's own folder: OTTAVARIO_HOME when set, otherwise c:\ottavario on
// Windows and ~/ottavario elsewhere.
QString dataFolder();
QString systemsFolder(); // <data>/sistemi
QString workFolder(); // <data>/sistemi/tmp
QString settingsPath(); // <data>/sistema.ini
QString developedWorkFile(); // <data>/sistemi/tmp/tmp
QString keptWorkFile(); // <data>/sistemi/tmp/sistmp

// Creates what a first start needs: the folders and a settings file with the
// default prices. An existing settings file is left alone.
FileResult<void> prepareDataFolder();

} // namespace ottavario
