#pragma once

#include <QCommandLineOption>
#include <QList>
#include <QString>
#include <optional>

class QCommandLineParser;

namespace app::cli {

// The options that give the passphrase of the database a command opens; every command takes
// them, and a server address ignores them.
QList<QCommandLineOption> passphraseOptions();
// The options that choose the key a command gives (rekey the database's new key, backup and
// copy the copy's key); what names the file keyed in their help.
QList<QCommandLineOption> newKeyOptions(const QString& what);

// What is wrong with the key options given, for a usage error; empty when nothing is.
// newKeyRequired: exactly one of the new key's options has to be given.
QString keyOptionsRefusal(const QCommandLineParser& parser, bool newKeyRequired);

// The key that opens the database at dataSource (an absolute path or a server address): the
// passphrase of --passphrase-file or --passphrase-stdin, which has to open it; without one
// the remembered passphrase, then the default key, then (on a terminal) up to three
// passphrases typed without echo. Throws Error with the reason when none opens it; off a
// terminal the message names the options that give the passphrase.
QString openingKey(const QCommandLineParser& parser, const QString& dataSource);

// The key the new key's options choose; nullopt when none of them is given. Throws Error
// for a passphrase that cannot be read.
std::optional<QString> chosenNewKey(const QCommandLineParser& parser);

} // namespace app::cli
