#pragma once

#include "exchange/PhotoFolderImport.h"

#include <QCommandLineOption>
#include <QList>

class QCommandLineParser;

namespace app::cli {

// --match staffno|name and --fit crop|stretch of the import-photos command.
QList<QCommandLineOption> photoFolderOptions();

// Reads the options given into options; returns the complaint about a value that names no
// choice, or an empty text.
QString readPhotoFolderOptions(const QCommandLineParser& parser,
                               exchange::PhotoFolderOptions& options);

} // namespace app::cli
