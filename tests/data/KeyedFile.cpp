#include "KeyedFile.h"

#include "data/Error.h"

#include <QCryptographicHash>
#include <QFile>
#include <grp.h>
#include <sqlcipher/sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

QString scalarWith(const QString& path, const QString& key, const QString& sql)
{
    sqlite3* db = nullptr;
    const auto fail = [&] {
        const QString message = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_close(db);
        throw data::Error(message);
    };
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        fail();
    const QByteArray bytes = key.toUtf8();
    sqlite3_key_v2(db, "main", bytes.constData(), int(bytes.size()));
    sqlite3_exec(db, "PRAGMA cipher_page_size = 4096", nullptr, nullptr, nullptr);
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &stmt, nullptr) != SQLITE_OK)
        fail();
    QString value;
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW)
        value = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
    sqlite3_finalize(stmt);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        fail();
    sqlite3_close(db);
    return value;
}

bool intactWith(const QString& path, const QString& key)
{
    return scalarWith(path, key, QStringLiteral("PRAGMA integrity_check")) == u"ok";
}

QByteArray digestOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&file);
    return hash.result();
}

QString asUnprivileged(const std::function<QString()>& work)
{
    if (geteuid() != 0)
        return work();
    int fds[2];
    if (pipe(fds) != 0)
        return QStringLiteral("child: no pipe");
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        const gid_t nobody = 65534;
        if (setgroups(0, nullptr) != 0 || setgid(nobody) != 0 || setuid(nobody) != 0)
            _exit(99);
        const QByteArray out = work().toUtf8();
        const bool written = write(fds[1], out.constData(), size_t(out.size())) == out.size();
        _exit(written ? 0 : 98);
    }
    close(fds[1]);
    QByteArray out;
    char buffer[4096];
    for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;)
        out.append(buffer, n);
    close(fds[0]);
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)
        || WEXITSTATUS(status) != 0)
        return QStringLiteral("child: did not finish (status %1)").arg(status);
    return QString::fromUtf8(out);
}
