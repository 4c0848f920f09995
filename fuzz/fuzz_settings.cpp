// The settings file: any bytes decode, split into at most 100 values, and the
// values a file gives are written back and read again unchanged.
#include "fuzz_support.h"

#include "core/settings_file.h"
#include "core/text_decoding.h"

using namespace ottavario;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = fuzz::bytesOf(data, size);
    const QStringList values = settings::parseValues(decodeText(bytes));
    fuzz::require(values.size() <= settings::kMaxValues, "more values than the limit");

    bool quoteFree = true;
    for (const QString& value : values) {
        fuzz::require(!value.contains(u'\r') && !value.contains(u'\n'), "a value holds a line end");
        quoteFree = quoteFree && !value.contains(u'"');
    }
    // A value holding a quote cannot be written between quotes; every other
    // value survives a rewrite of the file.
    if (quoteFree) {
        const QStringList again = settings::parseValues(decodeText(settings::formatValues(values)));
        fuzz::require(again == values, "values changed by a rewrite");
    }

    const auto read = settings::readAll(fuzz::asFile(bytes, QStringLiteral("sistema.ini")));
    fuzz::require(read.has_value(), "a readable file refused");
    fuzz::require(*read == values, "the file reader and the text reader disagree");
    return 0;
}
