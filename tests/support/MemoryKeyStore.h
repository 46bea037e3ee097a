#pragma once

#include "data/KeyStore.h"

#include <QHash>

// A secret store held in memory, installed for as long as it lives: what the program
// remembered, looked up and forgot can be read back by the test.
class MemoryKeyStore final : public data::KeyStore
{
public:
    explicit MemoryKeyStore(bool available = true)
        : m_available(available)
    {
        data::setKeyStore(this);
    }
    ~MemoryKeyStore() override { data::setKeyStore(nullptr); }
    MemoryKeyStore(const MemoryKeyStore&) = delete;
    MemoryKeyStore& operator=(const MemoryKeyStore&) = delete;

    bool available() override { return m_available; }
    std::optional<QString> find(const QString& databasePath) override
    {
        ++lookups;
        const auto it = entries.constFind(data::keyStoreName(databasePath));
        if (!m_available || it == entries.constEnd())
            return std::nullopt;
        return *it;
    }
    bool remember(const QString& databasePath, const QString& passphrase, QString* reason) override
    {
        if (!m_available) {
            if (reason)
                *reason = QStringLiteral("no store");
            return false;
        }
        entries.insert(data::keyStoreName(databasePath), passphrase);
        return true;
    }
    void forget(const QString& databasePath) override
    {
        entries.remove(data::keyStoreName(databasePath));
    }

    // Entries by keyStoreName.
    QHash<QString, QString> entries;
    int lookups = 0;

private:
    bool m_available;
};
