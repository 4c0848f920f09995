#pragma once

#include <QByteArray>
#include <QString>

namespace ottavario {

// The program's own text files are 8-bit text: UTF-8 where the bytes are
// valid UTF-8, otherwise Windows-1252, the code page such files were made in.
QString decodeText(const QByteArray& bytes);

} // namespace ottavario
