#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace testsupport {

// A password file with one more server login than the harness's own, which libpq reads while
// this lives (PGPASSFILE points at it).
class ExtraPassword
{
public:
    ExtraPassword(const QString& user, const QString& password);
    ~ExtraPassword();
    ExtraPassword(const ExtraPassword&) = delete;
    ExtraPassword& operator=(const ExtraPassword&) = delete;

private:
    QByteArray m_old;
    QTemporaryDir m_dir;
};

} // namespace testsupport
