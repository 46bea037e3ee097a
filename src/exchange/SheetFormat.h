#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace exchange {

// The kinds of staff list the import reads.
enum class SheetFormat {
    Xls, // Excel 97-2003 workbook (a compound file)
    Xlsx, // Office Open XML workbook (a zip package)
    Csv, // comma-, semicolon- or tab-separated text
};

// What a file's extension promises (.xls, .xlsx, .csv or .txt, any letter case); nullopt for
// another extension.
std::optional<SheetFormat> sheetFormatOfName(const QString& path);

// What the first bytes of a file hold, whatever its name says.
SheetFormat sheetFormatOfContent(const QByteArray& head);

// The reader for the file at path, given its first bytes: the content decides. A name whose
// extension promises another kind (an .xls holding a zip package, a .csv holding a workbook)
// is refused with a data::Error that names the file and both kinds; so is an empty file.
SheetFormat sheetFormatOf(const QString& path, const QByteArray& head);

} // namespace exchange
