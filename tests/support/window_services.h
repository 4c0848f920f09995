#pragma once

#include "core/data_folder.h"
#include "mainwin/window_opener.h"
#include "support/recording_print_service.h"
#include "support/recording_services.h"
#include "transfer/volumes.h"

#include <QTemporaryDir>

namespace ottavario::testing {

// What a main-window test hands the windows: a temporary data folder, services
// that record what was told, asked and printed, and the opener of the others.
struct WindowServices {
    QTemporaryDir m_home;
    DataFolder folder() const { return DataFolder(m_home.path()); }
    RecordingMessageService m_messages;
    ScriptedFileDialogs m_dialogs;
    RecordingPrintService m_printer;
    AppServices services() { return { m_messages, m_dialogs, m_printer, folder() }; }
    SystemVolumes m_volumes { folder().systems() };
    WindowOpener m_windows { services(), m_volumes, {} };
};

} // namespace ottavario::testing
