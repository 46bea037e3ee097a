#include "DatabaseUnlock.h"

#include "Connection.h"
#include "DatabaseKey.h"
#include "Error.h"
#include "KeyStore.h"

namespace data {

QString unlockDatabase(const QString& dataSource, const AskPassphrase& ask)
{
    if (isServerAddress(dataSource))
        return defaultKey();
    QString reason;
    const std::optional<QString> remembered = keyStore().find(dataSource);
    if (remembered && !remembered->isEmpty() && keyOpens(dataSource, *remembered, &reason))
        return *remembered;
    if (keyOpens(dataSource, defaultKey(), &reason)) {
        if (remembered)
            keyStore().forget(dataSource);
        return defaultKey();
    }
    QString problem;
    for (int attempt = 1; ask && attempt <= passphraseTries; ++attempt) {
        const std::optional<Answers::Passphrase> answer = ask(attempt, problem);
        if (!answer)
            break;
        if (answer->passphrase.isEmpty()) {
            problem = QStringLiteral("The password is empty.");
            continue;
        }
        if (keyOpens(dataSource, answer->passphrase, &reason)) {
            if (answer->remember)
                keyStore().remember(dataSource, answer->passphrase);
            else if (remembered)
                keyStore().forget(dataSource);
            return answer->passphrase;
        }
        problem = QStringLiteral("The password does not open this database.");
    }
    throw Error(QStringLiteral("Cannot open '%1': %2").arg(dataSource, reason));
}

} // namespace data
