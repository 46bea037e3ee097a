// The commands that make new server databases and copy whole card databases.
#include "Commands.h"
#include "TerminalAnswers.h"
#include "TerminalProgress.h"
#include "data/Connection.h"
#include "data/Error.h"
#include "data/ServerSchema.h"
#include "data/Tdsrc.h"
#include "exchange/DatabaseCopy.h"

#include <QFileInfo>

namespace app::cli {
namespace {

void openOn(data::Connection& connection, const QString& dataSource)
{
    connection.setConnectionString(
        data::buildConnectionString(dataSource, data::Tdsrc::password()));
    connection.open();
}

} // namespace

int initServer(TerminalAnswers& answers, const QString& address)
{
    data::Connection server;
    openOn(server, address);
    server.beginTransaction();
    try {
        data::createServerTables(server);
        server.commit();
    } catch (...) {
        server.rollback();
        throw;
    }
    answers.message(data::MessageIcon::Information, {},
                    QStringLiteral("The card tables were created in %1.").arg(server.fileName()));
    return 0;
}

int copyDatabase(TerminalAnswers& answers, const QString& source, const QString& sourceKey,
                 const QString& destination, bool force, const std::optional<QString>& copyKey)
{
    const QString to = data::absoluteDataSource(destination);
    if (!data::isServerAddress(to) && QFileInfo::exists(to) && !force && !answers.yes) {
        answers.message(data::MessageIcon::Error, {},
                        QStringLiteral("%1 exists; give --force to replace it.").arg(destination));
        return 1;
    }
    data::Connection from;
    from.setConnectionString(
        data::buildConnectionString(data::absoluteDataSource(source), sourceKey));
    from.open();
    TerminalProgress progress;
    try {
        exchange::copyDatabase(from, to, progress, copyKey);
    } catch (const data::Error& e) {
        progress.hide();
        answers.failure({}, QStringLiteral("Database cannot be copied."), e.message());
        return 1;
    }
    answers.message(data::MessageIcon::Information, {}, QStringLiteral("Database copied."));
    return 0;
}

} // namespace app::cli
