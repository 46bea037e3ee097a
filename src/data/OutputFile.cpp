#include "OutputFile.h"

#include "Error.h"

#include <QDir>
#include <QStringList>
#include <filesystem>

namespace data {
namespace {

namespace fs = std::filesystem;

fs::path fsPath(const QString& path)
{
    return fs::path(path.toStdU16String());
}

// The path with every link and "." or ".." of its existing part resolved.
fs::path resolved(const fs::path& path)
{
    std::error_code error;
    fs::path absolute = fs::absolute(path, error);
    if (error)
        absolute = path;
    fs::path canonical = fs::weakly_canonical(absolute, error);
    return error ? absolute.lexically_normal() : canonical;
}

Error cannotWrite(const QString& path, const QString& reason)
{
    return Error(
        QStringLiteral("Cannot write the file %1: %2").arg(QDir::toNativeSeparators(path), reason));
}

// Every database file a connection of this process has open; one entry per open.
QStringList& openDatabases()
{
    static QStringList files;
    return files;
}

} // namespace

void noteOpenDatabase(const QString& path, bool open)
{
    if (open)
        openDatabases().append(path);
    else
        openDatabases().removeOne(path);
}

bool isSameFile(const QString& a, const QString& b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    const fs::path pa = fsPath(a);
    const fs::path pb = fsPath(b);
    std::error_code error;
    if (fs::exists(pa, error) && fs::exists(pb, error)) {
        const bool same = fs::equivalent(pa, pb, error);
        return same && !error;
    }
    return resolved(pa) == resolved(pb);
}

QString outputRefusal(const QString& path, const QString& database)
{
    if (path.isEmpty())
        return QStringLiteral("no file was named");
    std::error_code error;
    const fs::file_status status = fs::status(fsPath(path), error);
    if (fs::is_directory(status))
        return QStringLiteral("it is a folder");
    if (fs::exists(status) && !fs::is_regular_file(status))
        return QStringLiteral("it is not a regular file");
    if (!database.isEmpty()) {
        if (isSameFile(path, database))
            return QStringLiteral("it is the database itself");
        if (isSameFile(path, database + QStringLiteral("-journal")))
            return QStringLiteral("it is the database's journal");
    }
    return {};
}

void checkOutput(const QString& path, const QString& database)
{
    if (const QString reason = outputRefusal(path, database); !reason.isEmpty())
        throw cannotWrite(path, reason);
    for (const QString& open : openDatabases()) {
        if (const QString reason = outputRefusal(path, open); !reason.isEmpty())
            throw cannotWrite(path, reason);
    }
}

} // namespace data
