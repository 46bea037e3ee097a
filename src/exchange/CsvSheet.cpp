#include "CsvSheet.h"

#include "data/Error.h"

#include <QDir>

namespace exchange {

SheetTable readCsvSheet(const QByteArray& bytes, const QString& fileName)
{
    Q_UNUSED(bytes);
    throw data::Error(QStringLiteral("Cannot import '%1': text files cannot be read yet")
                          .arg(QDir::toNativeSeparators(fileName)));
}

} // namespace exchange
