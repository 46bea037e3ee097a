#include "PgPassword.h"

#include <QFile>
#include <stdexcept>

namespace testsupport {

ExtraPassword::ExtraPassword(const QString& user, const QString& password)
    : m_old(qgetenv("PGPASSFILE"))
{
    QFile old(QString::fromLocal8Bit(m_old));
    QByteArray lines = old.open(QIODevice::ReadOnly) ? old.readAll() : QByteArray();
    if (!lines.isEmpty() && !lines.endsWith('\n'))
        lines += '\n';
    lines += QStringLiteral("*:*:*:%1:%2\n").arg(user, password).toUtf8();
    QFile file(m_dir.filePath(QStringLiteral("pgpass")));
    if (!file.open(QIODevice::WriteOnly) || file.write(lines) != lines.size())
        throw std::runtime_error("cannot write " + file.fileName().toStdString());
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    qputenv("PGPASSFILE", file.fileName().toLocal8Bit());
}

ExtraPassword::~ExtraPassword()
{
    qputenv("PGPASSFILE", m_old);
}

} // namespace testsupport
