#include "icons.h"

// The pictures live in a static library: nothing would pull them into the
// program without this.
static void initIconResources() { Q_INIT_RESOURCE(icons); }

namespace ottavario::icons {

namespace {
    void loadResources()
    {
        static const bool loaded = (initIconResources(), true);
        Q_UNUSED(loaded);
    }
}

QIcon icon(Picture picture)
{
    static constexpr const char* kNames[] = { "nuovo", "apri", "salva", "importa", "calcolo",
        "stampa", "spoglio", "condizioni", "vincite" };
    loadResources();
    const auto name = QLatin1StringView(kNames[static_cast<int>(picture)]);
    QIcon result;
    for (int size : { 16, 24, 32, 48 })
        result.addFile(QStringLiteral(":/icons/%1-%2.png").arg(name).arg(size), QSize(size, size));
    return result;
}

QIcon programIcon()
{
    loadResources();
    QIcon result;
    for (int size : { 16, 22, 24, 32, 48, 64, 128, 256 })
        result.addFile(QStringLiteral(":/icons/ottavario-%1.png").arg(size), QSize(size, size));
    return result;
}

} // namespace ottavario::icons
