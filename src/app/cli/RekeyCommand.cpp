// The command that gives a database file another key.
#include "Commands.h"
#include "TerminalAnswers.h"
#include "data/Connection.h"
#include "data/DatabaseKey.h"
#include "data/KeyStore.h"

namespace app::cli {

int rekey(TerminalAnswers& answers, const QString& path, const QString& key, const QString& newKey)
{
    const std::optional<QString> remembered = data::keyStore().find(path);
    // Returns only once the file opens with the new key.
    data::rekeyDatabase(path, key, newKey);
    // What this computer remembered for the file follows it.
    if (remembered && data::isDefaultKey(newKey))
        data::keyStore().forget(path);
    else if (remembered)
        data::keyStore().remember(path, newKey);
    answers.message(data::MessageIcon::Information, {},
                    QStringLiteral("The password was changed: the database is now %1.")
                        .arg(data::keyProtection(newKey)));
    return 0;
}

} // namespace app::cli
