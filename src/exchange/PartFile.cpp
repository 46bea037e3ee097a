#include "PartFile.h"

#include "data/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <filesystem>

namespace exchange {
namespace {

std::filesystem::path fsPath(const QString& path)
{
    return std::filesystem::path(path.toStdU16String());
}

} // namespace

QString partTemplate(const QFileInfo& target)
{
    return target.absoluteDir().filePath(QStringLiteral(".%1.XXXXXX.part").arg(target.fileName()));
}

void removeLeftovers(const QFileInfo& target)
{
    const QString prefix = QStringLiteral(".%1.").arg(target.fileName());
    const QDir folder = target.absoluteDir();
    const QStringList names
        = folder.entryList({QStringLiteral(".*.part*")}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        if (!name.startsWith(prefix))
            continue;
        const QString rest = name.mid(prefix.size());
        if ((rest.size() == 11 && rest.endsWith(QStringLiteral(".part")))
            || (rest.size() == 19 && rest.endsWith(QStringLiteral(".part-journal"))))
            QFile::remove(folder.filePath(name));
    }
}

PartFile::~PartFile()
{
    if (m_keep)
        return;
    QFile::remove(m_path);
    QFile::remove(m_path + QStringLiteral("-journal"));
}

QString reservePartName(const QFileInfo& target)
{
    QTemporaryFile part(partTemplate(target));
    if (!part.open())
        throw data::Error(part.errorString());
    // The name stays unique while the random part of it is fresh; the writer creates it anew.
    return part.fileName();
}

void replaceWithPart(PartFile& part, const QFileInfo& target)
{
    std::error_code error;
    std::filesystem::rename(fsPath(part.path()), fsPath(target.absoluteFilePath()), error);
    if (error)
        throw data::Error(QString::fromStdString(error.message()));
    part.keep();
}

} // namespace exchange
