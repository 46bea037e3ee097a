#pragma once

#include "SheetFormat.h"
#include "SheetTable.h"

#include <QString>

namespace exchange {

// What the reader process may use before it is stopped.
struct ReaderLimits
{
    qint64 memoryBytes = 1024LL * 1024 * 1024; // address space
    int cpuSeconds = 30;
    int wallMilliseconds = 60'000;
    qint64 outputBytes = 256LL * 1024 * 1024; // the sheet as it travels through the pipe
};

// Reads the staff list of a workbook or text file: the RECORDS sheet of an .xls or .xlsx
// workbook (or an .xlsx workbook's only sheet), or a separated text file. The file's content
// decides the reader. Workbooks are parsed by the helper program melbrin-xlsreader in a
// process of its own, under the limits above, so that a damaged or hostile file can only end
// that process; its answer is checked before any of it is used. Text is read here.
class WorkbookReader
{
public:
    explicit WorkbookReader(QString helperPath = defaultHelperPath(), ReaderLimits limits = {});

    // melbrin-xlsreader beside the running program.
    static QString defaultHelperPath();
    const QString& helperPath() const { return m_helperPath; }
    const ReaderLimits& limits() const { return m_limits; }

    // The sheet: headings from its first row, one record per further row. Throws data::Error
    // naming the file and the reason when the file's name and content disagree, has no
    // RECORDS sheet, is protected by a password, is not a regular file (a pipe, a device),
    // holds a formula without a saved result, or the reader fails, crashes, exceeds a limit
    // or answers garbage.
    SheetTable read(const QString& path) const;

private:
    // The sheet as the reader process reads it for a workbook of that format.
    SheetTable readInHelper(const QString& path, SheetFormat format) const;

    QString m_helperPath;
    ReaderLimits m_limits;
};

} // namespace exchange
