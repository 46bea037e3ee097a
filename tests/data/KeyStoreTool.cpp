// Asks the system secret store one question, as the program does, for the test beside it:
//   keystore_tool available           prints "yes" or "no"
//   keystore_tool remember DATABASE   passphrase on standard input; prints "kept" or
//                                     "refused: <reason>"
//   keystore_tool find DATABASE       expected passphrase on standard input; prints "same",
//                                     "different" or "none" (never the passphrase itself)
//   keystore_tool forget DATABASE
#include "data/DatabaseKey.h"
#include "data/Error.h"
#include "data/SystemKeyStore.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>

namespace {

QString passphraseFromStdin()
{
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly))
        throw data::Error(QStringLiteral("cannot read standard input"));
    return data::readPassphrase(in, QStringLiteral("Standard input"));
}

void say(const QString& text)
{
    std::printf("%s\n", qPrintable(text));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const data::SystemKeyStoreInstalled installed;
    data::KeyStore& store = data::keyStore();
    try {
        const QString command = args.value(1);
        const QString database = args.value(2);
        if (command == QLatin1String("available")) {
            say(store.available() ? QStringLiteral("yes") : QStringLiteral("no"));
        } else if (command == QLatin1String("remember")) {
            QString reason;
            say(store.remember(database, passphraseFromStdin(), &reason)
                    ? QStringLiteral("kept")
                    : QStringLiteral("refused: ") + reason);
        } else if (command == QLatin1String("find")) {
            const QString expected = passphraseFromStdin();
            const std::optional<QString> found = store.find(database);
            say(!found                   ? QStringLiteral("none")
                    : *found == expected ? QStringLiteral("same")
                                         : QStringLiteral("different"));
        } else if (command == QLatin1String("forget")) {
            store.forget(database);
        } else {
            std::fprintf(stderr, "unknown command\n");
            return 2;
        }
    } catch (const data::Error& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
    return 0;
}
