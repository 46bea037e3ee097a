// Any text parses without failing, and a path or a password written into a connection string
// reads back.
#include "data/Connection.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(bytes), qsizetype(size));
    data::parseConnectionString(text);
    const QString path = text.left(text.indexOf(QChar(0)));
    const auto settings
        = data::parseConnectionString(data::buildConnectionString(path, QStringLiteral("pw")));
    if (settings.dataSource != path || settings.password != QStringLiteral("pw"))
        std::abort();
    const auto keyed
        = data::parseConnectionString(data::buildConnectionString(QStringLiteral("x.mdb"), path));
    if (keyed.dataSource != QStringLiteral("x.mdb") || keyed.password != path)
        std::abort();
    return 0;
}
