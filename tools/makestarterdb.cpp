// Usage: makestarterdb PATH
// Writes a new, empty card database at PATH; an existing file is left as it is.
#include "data/Error.h"
#include "data/Schema.h"
#include "data/Tdsrc.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: makestarterdb PATH\n");
        return 2;
    }
    const QString path = args.at(1);
    if (QFileInfo::exists(path))
        return 0;
    try {
        data::createStarterDatabase(path, data::Tdsrc::password());
    } catch (const data::Error& e) {
        std::fprintf(stderr, "makestarterdb: %s\n", e.what());
        return 1;
    }
    return 0;
}
