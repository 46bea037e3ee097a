// Any text parses without failing, and a path written into a connection string reads back.
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
    return 0;
}
