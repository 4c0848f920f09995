#pragma once

#include "core/data_folder.h"

namespace ottavario {

class MessageService;
class FileDialogService;
namespace print {
    class PrintService;
}

// What every window works with, made once by the program's main() and
// outliving every window: the message boxes, the file dialogs, the one
// printer of all printing and the data folder. Tests make it of recording
// services and a temporary folder.
struct AppServices {
    MessageService& messages;
    FileDialogService& dialogs;
    print::PrintService& printer;
    DataFolder folder;
};

} // namespace ottavario
