#pragma once

#include "KeyStore.h"

#include <memory>

namespace data {

// The operating system's secret store (the Secret Service on Linux, the Credential Manager
// on Windows), reached through QtKeychain. Without one, available() is false and nothing is
// remembered.
std::unique_ptr<KeyStore> makeSystemKeyStore();

} // namespace data
