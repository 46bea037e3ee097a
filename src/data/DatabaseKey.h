#pragma once

#include <QString>

class QIODevice;

namespace data {

// The key every copy of the program carries. A file keyed with it cannot be read casually
// (with a text editor or a plain database tool), but anyone who has the program opens it.
QString defaultKey();
bool isDefaultKey(const QString& key);
// What protects a file keyed with key, as the messages say it: "protected by this
// database's own password" or "protected by the program's default password".
QString keyProtection(const QString& key);

// Refuses an empty passphrase: the engine would leave a file keyed with it unencrypted.
void checkPassphrase(const QString& passphrase);

// Whether key opens the encrypted file at path. False when the engine cannot read the file
// with it (a wrong key, or a file that is no database at all), with the engine's reason in
// reason when given. Throws Error for what no key would mend: a missing or unreadable file,
// a database locked by another program.
bool keyOpens(const QString& path, const QString& key, QString* reason = nullptr);

// Gives the file at path newKey in place of oldKey, in one transaction of the engine: a
// crash or a full disk part way leaves the file keyed with the one or the other, never with
// neither. The file must not be open elsewhere in this process. Throws Error with the
// reason when the key was not changed (a wrong old key, an empty new one, a read-only file,
// a database in use by another program, too little disk space); the file then keeps
// oldKey.
void rekeyDatabase(const QString& path, const QString& oldKey, const QString& newKey);

// The longest passphrase a file or standard input may give, in bytes.
inline constexpr qint64 maxPassphraseBytes = 1024;
// A passphrase from a file (UTF-8, one line ending at its end ignored), or from a device
// such as standard input, named what in the messages. Throws Error for a file that is
// missing, unreadable, a folder, larger than maxPassphraseBytes, or gives an empty
// passphrase.
QString readPassphraseFile(const QString& path);
QString readPassphrase(QIODevice& device, const QString& what);

} // namespace data
