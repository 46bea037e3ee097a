#include "CompoundFile.h"

#include <cstdio>
#include <cstring>

namespace exchange {

bool hasCompoundSignature(const char* bytes, std::size_t size)
{
    return size >= sizeof compoundSignature
        && std::memcmp(bytes, compoundSignature, sizeof compoundSignature) == 0;
}

bool fileHasCompoundSignature(const char* path)
{
    std::FILE* file = std::fopen(path, "rb");
    if (!file)
        return false;
    char head[sizeof compoundSignature];
    const std::size_t got = std::fread(head, 1, sizeof head, file);
    std::fclose(file);
    return hasCompoundSignature(head, got);
}

} // namespace exchange
