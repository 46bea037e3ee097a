#include "Commands.h"
#include "TerminalAnswers.h"
#include "TerminalProgress.h"
#include "data/Tdsrc.h"
#include "exchange/DatabaseBackup.h"
#include "exchange/ImportCommand.h"
#include "exchange/PhotoDownsize.h"

#include <QFileInfo>

namespace app::cli {

int backup(Context& c, const QString& destination, bool force,
           const std::optional<QString>& copyKey)
{
    if (QFileInfo::exists(destination) && !force && !c.answers.yes) {
        c.answers.message(
            data::MessageIcon::Error, {},
            QStringLiteral("%1 exists; give --force to replace it.").arg(destination));
        return 1;
    }
    QString reason;
    TerminalProgress progress;
    if (!exchange::CopyDatabaseFile(c.dsrc.src, destination, &reason, &progress, copyKey)) {
        progress.hide();
        c.answers.failure({}, QStringLiteral("Database cannot be saved. Please retry."), reason);
        return 1;
    }
    c.answers.message(
        data::MessageIcon::Information, {},
        QStringLiteral("Database saved.\n%1")
            .arg(exchange::copyProtection(copyKey.value_or(exchange::sourceCopyKey(c.dsrc.src)))));
    return 0;
}

int importStaff(Context& c, const QString& workbook)
{
    c.answers.fileName = workbook;
    TerminalProgress progress;
    const bool done = exchange::importWorkbook(nullptr, c.dsrc, progress);
    return done && !c.answers.errorShown() ? 0 : 1;
}

int resizeAll(Context& c)
{
    TerminalProgress progress;
    const auto skipped = exchange::resizeAllPhotos(c.dsrc, progress);
    return skipped.empty() && !c.answers.messages().contains(QStringLiteral("Operation Failed."))
        ? 0
        : 1;
}

} // namespace app::cli
