#include "KeyOptions.h"

#include "StandardStreams.h"
#include "data/Connection.h"
#include "data/DatabaseKey.h"
#include "data/DatabaseUnlock.h"
#include "data/Error.h"

#include <QCommandLineParser>
#include <QFile>
#include <cstring>

namespace app::cli {
namespace {

const QString passphraseFileName = QStringLiteral("passphrase-file");
const QString passphraseStdinName = QStringLiteral("passphrase-stdin");
const QString newPassphraseFileName = QStringLiteral("new-passphrase-file");
const QString newPassphraseStdinName = QStringLiteral("new-passphrase-stdin");
const QString defaultKeyName = QStringLiteral("default");

QString standardInputPassphrase()
{
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly))
        throw data::Error(
            QStringLiteral("Standard input cannot be read: %1").arg(in.errorString()));
    return data::readPassphrase(in, QStringLiteral("Standard input"));
}

void say(const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
}

// One passphrase typed on the terminal without echo; nullopt at the end of input.
std::optional<data::Answers::Passphrase> typedPassphrase(const QString& dataSource,
                                                         const QString& problem)
{
    if (!problem.isEmpty())
        say(QStringLiteral("melbrin: %1\n").arg(problem));
    say(QStringLiteral("Password for %1: ").arg(dataSource));
    const bool hidden = setEcho(stdin, false);
    char line[data::maxPassphraseBytes + 2] = {};
    const bool read = std::fgets(line, sizeof line, stdin) != nullptr;
    if (hidden)
        setEcho(stdin, true);
    say(QStringLiteral("\n"));
    if (!read)
        return std::nullopt;
    QByteArray bytes(line);
    std::memset(line, 0, sizeof line);
    while (bytes.endsWith('\n') || bytes.endsWith('\r'))
        bytes.chop(1);
    return data::Answers::Passphrase {QString::fromUtf8(bytes), false};
}

} // namespace

QList<QCommandLineOption> passphraseOptions()
{
    return {QCommandLineOption(passphraseFileName,
                               QStringLiteral("Open the database with the password FILE holds "
                                              "(at most 1 KB; a line end at its end is not "
                                              "part of it)."),
                               QStringLiteral("FILE")),
            QCommandLineOption(passphraseStdinName,
                               QStringLiteral("Open the database with the password read from "
                                              "standard input."))};
}

QList<QCommandLineOption> newKeyOptions(const QString& what)
{
    return {QCommandLineOption(newPassphraseFileName,
                               QStringLiteral("Protect %1 with the password FILE holds.").arg(what),
                               QStringLiteral("FILE")),
            QCommandLineOption(newPassphraseStdinName,
                               QStringLiteral("Protect %1 with the password read from standard "
                                              "input.")
                                   .arg(what)),
            QCommandLineOption(
                defaultKeyName,
                QStringLiteral("Protect %1 with the program's default password.").arg(what))};
}

QString keyOptionsRefusal(const QCommandLineParser& parser, bool newKeyRequired)
{
    if (parser.isSet(passphraseFileName) && parser.isSet(passphraseStdinName))
        return QStringLiteral("--passphrase-file and --passphrase-stdin cannot be given together");
    const QStringList options = parser.optionNames();
    const int newKeys = int(options.contains(newPassphraseFileName))
        + int(options.contains(newPassphraseStdinName)) + int(options.contains(defaultKeyName));
    if (newKeys > 1 || (newKeyRequired && newKeys == 0))
        return QStringLiteral("give one of --new-passphrase-file FILE, --new-passphrase-stdin "
                              "and --default");
    if (parser.isSet(passphraseStdinName) && options.contains(newPassphraseStdinName))
        return QStringLiteral("--passphrase-stdin and --new-passphrase-stdin cannot be given "
                              "together: standard input gives one password");
    return {};
}

QString openingKey(const QCommandLineParser& parser, const QString& dataSource)
{
    if (data::isServerAddress(dataSource))
        return data::defaultKey();
    if (parser.isSet(passphraseFileName) || parser.isSet(passphraseStdinName)) {
        const QString key = parser.isSet(passphraseFileName)
            ? data::readPassphraseFile(parser.value(passphraseFileName))
            : standardInputPassphrase();
        if (!data::keyOpens(dataSource, key))
            throw data::Error(QStringLiteral("Cannot open '%1': the password does not open this "
                                             "database")
                                  .arg(dataSource));
        return key;
    }
    if (isTerminal(stdin)) {
        return data::unlockDatabase(dataSource, [&](int, const QString& problem) {
            return typedPassphrase(dataSource, problem);
        });
    }
    // No one to ask: when no key opened the file, say how the password is given.
    bool wouldAsk = false;
    try {
        return data::unlockDatabase(
            dataSource, [&](int, const QString&) -> std::optional<data::Answers::Passphrase> {
                wouldAsk = true;
                return std::nullopt;
            });
    } catch (const data::Error& e) {
        if (!wouldAsk)
            throw;
        throw data::Error(e.message()
                          + QStringLiteral("; if it has a password of its own, give it with "
                                           "--passphrase-file FILE or --passphrase-stdin"));
    }
}

std::optional<QString> chosenNewKey(const QCommandLineParser& parser)
{
    const QStringList options = parser.optionNames();
    if (options.contains(defaultKeyName))
        return data::defaultKey();
    if (options.contains(newPassphraseFileName))
        return data::readPassphraseFile(parser.value(newPassphraseFileName));
    if (options.contains(newPassphraseStdinName))
        return standardInputPassphrase();
    return std::nullopt;
}

} // namespace app::cli
