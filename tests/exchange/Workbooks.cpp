#include "Workbooks.h"

#include "data/Error.h"

#include <QFile>
#include <QProcess>
#include <QTimeZone>

QString makeWorkbook(const QString& path, const QString& description)
{
    QProcess script;
    script.start(QStringLiteral(XLWT_PYTHON), {QStringLiteral(MAKE_WORKBOOK), path});
    script.write(description.toUtf8());
    script.closeWriteChannel();
    if (!script.waitForFinished(60'000) || script.exitStatus() != QProcess::NormalExit
        || script.exitCode() != 0)
        throw data::Error(QStringLiteral("make_workbook.py failed: %1")
                              .arg(QString::fromUtf8(script.readAllStandardError())));
    return path;
}

QString writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        throw data::Error(QStringLiteral("cannot write %1").arg(path));
    return path;
}

exchange::WorkbookReader buildReader(exchange::ReaderLimits limits)
{
    return exchange::WorkbookReader(QStringLiteral(MELBRIN_XLSREADER), limits);
}

exchange::WorkbookReader misbehavingReader(exchange::ReaderLimits limits)
{
    return exchange::WorkbookReader(QStringLiteral(MISBEHAVING_XLSREADER), limits);
}

QString readerErrorOf(const QString& path)
{
    try {
        buildReader().read(path);
    } catch (const data::Error& e) {
        return e.message();
    }
    return QStringLiteral("(no error)");
}

QDateTime utc(int y, int m, int d, int h, int min)
{
    return QDateTime(QDate(y, m, d), QTime(h, min), QTimeZone::utc());
}
