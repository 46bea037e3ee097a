#pragma once

#include "WorkbookReader.h"

class QWidget;

namespace data {
class Tdsrc;
}
namespace imaging {
class Progress;
}

namespace exchange {

// The open dialog's filter: the three kinds of staff list, then all files.
inline const QString workbookFileFilter
    = QStringLiteral("Excel Files (*.xls);;Excel Workbooks (*.xlsx);;CSV Files (*.csv *.txt);;"
                     "All Files (*)");

// The "Import" command: opens QAllStaff, asks for a staff list (an .xls or .xlsx workbook, or
// separated text), reads it with the reader and imports it with importStaff, closing
// QAllStaff on every way out. A name typed without extension that names no file gets the
// extension of the kind chosen in the dialog, ".xls" when the dialog tells none.
//
// Returns true when the caller should run ReloadGroups: after a finished import and after a
// cancelled dialog; false after a refused write, whose message has been shown. A workbook
// that cannot be read, and any other error, is thrown with nothing written by it.
bool importWorkbook(QWidget* owner, data::Tdsrc& dsrc, imaging::Progress& progress,
                    const WorkbookReader& reader = WorkbookReader());

} // namespace exchange
