#pragma once

#include "KeyStore.h"

#include <memory>

namespace data {

// The operating system's secret store (the Secret Service on Linux, the Credential Manager
// on Windows), reached through QtKeychain. Without one, available() is false and nothing is
// remembered. It waits for the store on a local event loop, so it needs a running
// QCoreApplication; a store that does not answer within a few seconds counts as none.
std::unique_ptr<KeyStore> makeSystemKeyStore();

// Installs the system store as keyStore() for as long as it lives.
class SystemKeyStoreInstalled
{
public:
    SystemKeyStoreInstalled()
        : m_store(makeSystemKeyStore())
    {
        setKeyStore(m_store.get());
    }
    ~SystemKeyStoreInstalled() { setKeyStore(nullptr); }
    SystemKeyStoreInstalled(const SystemKeyStoreInstalled&) = delete;
    SystemKeyStoreInstalled& operator=(const SystemKeyStoreInstalled&) = delete;

private:
    std::unique_ptr<KeyStore> m_store;
};

} // namespace data
