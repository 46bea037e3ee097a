#pragma once

#include <QString>
#include <optional>

namespace data {

// Where the passphrases of databases are remembered on this computer: the operating
// system's secret store, one entry per database, named by the database's absolute path
// (keyStoreName). Nothing here is ever written to the settings store or a plain file.
class KeyStore
{
public:
    virtual ~KeyStore() = default;

    // Whether there is a store to remember in; without one the program asks each time.
    virtual bool available() = 0;
    // The passphrase remembered for the database; nullopt when there is none or the store
    // cannot be reached.
    virtual std::optional<QString> find(const QString& databasePath) = 0;
    // Remembers the passphrase for the database; false (with the store's reason in reason)
    // when the store could not keep it.
    virtual bool remember(const QString& databasePath, const QString& passphrase,
                          QString* reason = nullptr)
        = 0;
    // Forgets what was remembered for the database; nothing when there was nothing.
    virtual void forget(const QString& databasePath) = 0;
};

// The name a database's entry has in the store: its absolute, cleaned path.
QString keyStoreName(const QString& databasePath);

KeyStore& keyStore();
// Installs the store used from now on; nullptr restores the default, which remembers
// nothing.
void setKeyStore(KeyStore* store);

} // namespace data
