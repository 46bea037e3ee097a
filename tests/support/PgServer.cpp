#include "PgServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <unistd.h>

namespace testsupport {
namespace {

QString& reason()
{
    static QString text;
    return text;
}

QString script()
{
    return QStringLiteral(MELBRIN_PGSERVER_SCRIPT);
}

// pg_ctl run as the account the server runs as (postgres when the tests run as root).
QStringList asServerUser(const QStringList& command)
{
    if (geteuid() != 0)
        return command;
    return QStringList {QStringLiteral("runuser"), QStringLiteral("-u"), QStringLiteral("postgres"),
                        QStringLiteral("--")}
    + command;
}

void run(const QStringList& command)
{
    QProcess p;
    p.start(command.front(), command.mid(1));
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        throw std::runtime_error((command.join(u' ') + QStringLiteral(": ")
                                  + QString::fromUtf8(p.readAllStandardError()))
                                     .toStdString());
}

std::unique_ptr<QTemporaryDir>& ownFolder()
{
    static std::unique_ptr<QTemporaryDir> folder;
    return folder;
}

void stopOwn()
{
    if (ownFolder()) {
        QProcess::execute(QStringLiteral("python3"),
                          {script(), QStringLiteral("stop"), ownFolder()->path()});
        ownFolder().reset();
    }
}

} // namespace

bool PgServer::load(const QString& folder)
{
    QFile file(QDir(folder).filePath(QStringLiteral("server.json")));
    if (!file.open(QIODevice::ReadOnly)) {
        reason() = QStringLiteral("no PostgreSQL server: %1 was not written (is PostgreSQL "
                                  "installed?)")
                       .arg(file.fileName());
        return false;
    }
    const QJsonObject info = QJsonDocument::fromJson(file.readAll()).object();
    m_folder = folder;
    m_port = info.value(QStringLiteral("port")).toInt();
    m_bin = info.value(QStringLiteral("bin")).toString();
    m_cluster = info.value(QStringLiteral("cluster")).toString();
    m_socket = info.value(QStringLiteral("socket")).toString();
    m_log = info.value(QStringLiteral("log")).toString();
    m_ca = info.value(QStringLiteral("ca")).toString();
    m_pgpass = info.value(QStringLiteral("pgpass")).toString();
    qputenv("PGPASSFILE", m_pgpass.toLocal8Bit());
    return m_port > 0;
}

PgServer* PgServer::instance()
{
    static PgServer* server = [] {
        auto* s = new PgServer;
        QString folder = qEnvironmentVariable("MELBRIN_PGTEST");
        if (folder.isEmpty()) {
            ownFolder() = std::make_unique<QTemporaryDir>();
            folder = ownFolder()->path();
            QProcess::execute(QStringLiteral("python3"),
                              {script(), QStringLiteral("start"), folder});
            std::atexit(stopOwn);
        }
        if (!s->load(folder)) {
            delete s;
            return static_cast<PgServer*>(nullptr);
        }
        return s;
    }();
    return server;
}

QString PgServer::skipReason()
{
    return reason();
}

QString PgServer::createDatabase(const QString& prefix)
{
    const QString name = QStringLiteral("%1_%2_%3_%4")
                             .arg(prefix)
                             .arg(QCoreApplication::applicationPid())
                             .arg(++m_databases)
                             .arg(std::rand() % 100000);
    superuser(QStringLiteral("postgres"),
              QStringLiteral("create database %1 owner melbrin").arg(name));
    return name;
}

QString PgServer::address(const QString& database, const QString& user,
                          const QString& options) const
{
    return QStringLiteral("postgresql://%1@127.0.0.1:%2/%3%4")
        .arg(user)
        .arg(m_port)
        .arg(database, options.isEmpty() ? QString() : u'?' + options);
}

QString PgServer::superuser(const QString& database, const QString& sql) const
{
    QProcess p;
    p.start(QDir(m_bin).filePath(QStringLiteral("psql")),
            {QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-A"), QStringLiteral("-t"),
             QStringLiteral("-F"), QStringLiteral("\t"), QStringLiteral("-v"),
             QStringLiteral("ON_ERROR_STOP=1"), QStringLiteral("-h"), m_socket,
             QStringLiteral("-p"), QString::number(m_port), QStringLiteral("-U"),
             QStringLiteral("melbrin"), QStringLiteral("-d"), database, QStringLiteral("-c"), sql});
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        throw std::runtime_error(QString::fromUtf8(p.readAllStandardError()).toStdString());
    return QString::fromUtf8(p.readAllStandardOutput());
}

void PgServer::stop()
{
    run(asServerUser({QDir(m_bin).filePath(QStringLiteral("pg_ctl")), QStringLiteral("-D"),
                      m_cluster, QStringLiteral("-m"), QStringLiteral("immediate"),
                      QStringLiteral("-w"), QStringLiteral("stop")}));
}

void PgServer::start()
{
    run(asServerUser({QDir(m_bin).filePath(QStringLiteral("pg_ctl")), QStringLiteral("-D"),
                      m_cluster, QStringLiteral("-l"), m_log, QStringLiteral("-w"),
                      QStringLiteral("-t"), QStringLiteral("60"), QStringLiteral("start")}));
}

} // namespace testsupport
