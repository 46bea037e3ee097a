#pragma once

#include <QIODevice>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

struct zip;
struct zip_source;

namespace exchange {

// Why a package or one of its parts cannot be read; its text completes "Cannot import
// '<file>': ".
class PackageError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// How much a package may unpack to. A workbook's XML packs about ten to twenty times; a file
// that would grow far beyond that, or past these sizes, is a zip bomb and is stopped while it
// is inflated, whatever sizes its directory declares.
struct ZipLimits
{
    std::uint64_t maxEntries = 10'000;
    std::uint64_t maxEntryBytes = 256ull << 20;
    std::uint64_t maxTotalBytes = 512ull << 20;
    std::uint64_t maxRatio = 200; // inflated bytes per packed byte
    std::uint64_t ratioFreeBytes = 1ull << 20; // a part this small may pack as tightly as it can
};

// A zip package (the container of an .xlsx workbook), read with libzip. Its parts are
// streamed: every byte inflated is counted against the limits.
class ZipPackage
{
public:
    // Throws PackageError when the file is no zip package or holds too many entries.
    ZipPackage(const char* path, ZipLimits limits = {});
    // The package in memory; data must outlive this object.
    ZipPackage(const void* data, std::size_t size, ZipLimits limits = {});
    ~ZipPackage();
    ZipPackage(const ZipPackage&) = delete;
    ZipPackage& operator=(const ZipPackage&) = delete;

    // Whether a part of this name (letter case ignored, as the package format wants) is there.
    bool contains(const std::string& name) const;
    // The part as a sequential device; reading it past a limit fails, and failure() then
    // says why. Throws PackageError when the part is missing, enciphered or damaged.
    std::unique_ptr<QIODevice> open(const std::string& name);
    // Why the last read of a part stopped early, or empty.
    const std::string& failure() const { return m_failure; }

private:
    friend class ZipEntryDevice;
    void openArchive(zip_source* source);
    long long index(const std::string& name) const;

    zip* m_archive = nullptr;
    ZipLimits m_limits;
    std::uint64_t m_total = 0; // inflated bytes of every part read so far
    std::string m_failure;
};

} // namespace exchange
