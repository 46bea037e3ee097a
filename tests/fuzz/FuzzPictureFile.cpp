// Picture files: the bytes are written to a file and read by one of the file readers; any
// content is read or refused with an error.
#include "data/Error.h"
#include "imaging/Picture.h"
#include "imaging/PictureFile.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    static const QString path = QDir::temp().filePath(
        QStringLiteral("melbrin-fuzz-%1.pic").arg(QCoreApplication::applicationPid()));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        f.write(reinterpret_cast<const char*>(bytes), qint64(size));
    }
    try {
        imaging::PICTURE_READER(path);
    } catch (const data::Error&) { }
    return 0;
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv); // the image readers need a GUI application
    return 0;
}
