#include "WorkbookReader.h"

#include "CompoundFile.h"
#include "CsvSheet.h"
#include "SheetDecoder.h"
#include "SheetFormat.h"
#include "data/Error.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#ifdef Q_OS_UNIX
#    include <sys/resource.h>
#endif

#if defined(__SANITIZE_ADDRESS__)
#    define MELBRIN_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#    if __has_feature(address_sanitizer)
#        define MELBRIN_ADDRESS_SANITIZER 1
#    endif
#endif

namespace exchange {
namespace {

// The reader's answer for a workbook protected by a password.
const QLatin1StringView passwordReason(": it is protected by a password");

[[noreturn]] void refuse(const QString& path, const QString& reason)
{
    throw data::Error(
        QStringLiteral("Cannot import '%1': %2").arg(QDir::toNativeSeparators(path), reason));
}

#ifdef Q_OS_UNIX
// Runs in the child between fork and exec, so it may only make async-signal-safe calls.
void limitChild(const ReaderLimits& limits)
{
    const auto set = [](int resource, rlim_t value) {
        const rlimit limit {value, value};
        setrlimit(resource, &limit);
    };
#    ifndef MELBRIN_ADDRESS_SANITIZER
    // An address sanitizer reserves terabytes of address space: under it only time counts.
    set(RLIMIT_AS, rlim_t(limits.memoryBytes));
#    endif
    set(RLIMIT_CPU, rlim_t(limits.cpuSeconds));
    set(RLIMIT_CORE, 0);
    set(RLIMIT_FSIZE, 0);
}
#endif

} // namespace

WorkbookReader::WorkbookReader(QString helperPath, ReaderLimits limits)
    : m_helperPath(std::move(helperPath))
    , m_limits(limits)
{ }

QString WorkbookReader::defaultHelperPath()
{
#ifdef Q_OS_WIN
    const QString name = QStringLiteral("melbrin-xlsreader.exe");
#else
    const QString name = QStringLiteral("melbrin-xlsreader");
#endif
    return QDir(QCoreApplication::applicationDirPath()).filePath(name);
}

SheetTable WorkbookReader::read(const QString& path) const
{
    // A pipe or device could hold the open below forever, waiting for a writer.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        refuse(path,
               info.isDir() ? QStringLiteral("it is a folder, not a workbook file")
                            : QStringLiteral("it is not a regular file"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        refuse(path, file.errorString());
    const QByteArray head = file.read(sizeof compoundSignature);
    SheetFormat format = SheetFormat::Csv;
    try {
        format = sheetFormatOf(path, head);
    } catch (const data::Error&) {
        // An .xlsx workbook protected by a password is a compound file holding the enciphered
        // package: the reader tells it from an .xls workbook given the wrong name.
        if (sheetFormatOfContent(head) == SheetFormat::Xls
            && sheetFormatOfName(path) == SheetFormat::Xlsx) {
            file.close();
            try {
                readInHelper(path, SheetFormat::Xls);
            } catch (const data::Error& e) {
                if (e.message().endsWith(passwordReason))
                    throw;
            }
        }
        throw;
    }
    if (format == SheetFormat::Csv) {
        if (file.size() > m_limits.outputBytes)
            refuse(path, QStringLiteral("it is too large to import"));
        file.seek(0);
        const QByteArray bytes = file.readAll();
        if (file.error() != QFileDevice::NoError)
            refuse(path, file.errorString());
        return readCsvSheet(bytes, path);
    }
    file.close();
    return readInHelper(path, format);
}

SheetTable WorkbookReader::readInHelper(const QString& path, SheetFormat format) const
{
    QStringList arguments {QFileInfo(path).absoluteFilePath()};
    if (format == SheetFormat::Xlsx)
        arguments.prepend(QStringLiteral("--xlsx"));
    QProcess process;
    process.setProgram(m_helperPath);
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
#ifdef Q_OS_UNIX
    const ReaderLimits limits = m_limits;
    process.setChildProcessModifier([limits] { limitChild(limits); });
#endif
    process.start(QIODevice::ReadOnly);
    if (!process.waitForStarted())
        refuse(path,
               QStringLiteral("the workbook reader '%1' cannot be started")
                   .arg(QDir::toNativeSeparators(m_helperPath)));

    QByteArray output;
    QElapsedTimer clock;
    clock.start();
    const auto stop = [&process] {
        process.kill();
        process.waitForFinished(-1);
    };
    while (process.state() != QProcess::NotRunning) {
        const qint64 left = m_limits.wallMilliseconds - clock.elapsed();
        if (left <= 0) {
            stop();
            refuse(path, QStringLiteral("reading the workbook took too long"));
        }
        process.waitForReadyRead(int(std::min<qint64>(left, 200)));
        output += process.readAllStandardOutput();
        if (output.size() > m_limits.outputBytes) {
            stop();
            refuse(path, QStringLiteral("its RECORDS sheet is too large to import"));
        }
    }
    output += process.readAllStandardOutput();
    if (output.size() > m_limits.outputBytes)
        refuse(path, QStringLiteral("its RECORDS sheet is too large to import"));
    if (process.exitStatus() != QProcess::NormalExit)
        refuse(path,
               QStringLiteral("the workbook reader stopped unexpectedly; the file may be damaged "
                              "or too large"));

    SheetDecoder decoder;
    wire::SheetParser parser(decoder);
    const auto outcome = parser.parse(output.constData(), size_t(output.size()));
    const QString message = QString::fromUtf8(parser.message());
    if (outcome == wire::SheetParser::Outcome::Failure)
        refuse(path, message);
    if (outcome == wire::SheetParser::Outcome::Malformed || process.exitCode() != 0)
        refuse(path,
               QStringLiteral("the workbook reader's answer cannot be used (%1)")
                   .arg(outcome == wire::SheetParser::Outcome::Malformed
                            ? message
                            : QStringLiteral("exit code %1").arg(process.exitCode())));
    return decoder.take();
}

} // namespace exchange
