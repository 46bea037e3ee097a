#include "CompoundFile.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace exchange {
namespace {

constexpr std::uint32_t endOfChain = 0xFFFFFFFE;
constexpr std::uint32_t maxSector = 0xFFFFFFFA;
constexpr std::size_t headerSize = 512;
constexpr std::size_t entrySize = 128;

std::uint32_t u32(const std::string& s, std::size_t at)
{
    if (at + 4 > s.size())
        return endOfChain;
    const auto* p = reinterpret_cast<const unsigned char*>(s.data() + at);
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16
        | std::uint32_t(p[3]) << 24;
}

std::uint16_t u16(const std::string& s, std::size_t at)
{
    if (at + 2 > s.size())
        return 0;
    const auto* p = reinterpret_cast<const unsigned char*>(s.data() + at);
    return std::uint16_t(p[0] | p[1] << 8);
}

class Document
{
public:
    explicit Document(const std::string& file)
        : m_file(file)
    { }

    bool load()
    {
        if (m_file.size() < headerSize || !hasCompoundSignature(m_file.data(), m_file.size()))
            return false;
        const unsigned shift = u16(m_file, 0x1E);
        const unsigned miniShift = u16(m_file, 0x20);
        if ((shift != 9 && shift != 12) || miniShift != 6)
            return false;
        m_sectorSize = std::size_t(1) << shift;
        m_miniSize = std::size_t(1) << miniShift;
        m_cutoff = u32(m_file, 0x38);
        m_sectors = (m_file.size() - std::min(m_file.size(), m_sectorSize)) / m_sectorSize;
        if (m_file.size() > m_sectorSize && (m_file.size() - m_sectorSize) % m_sectorSize)
            ++m_sectors; // a last sector cut short still counts; its end reads as missing

        // The sectors of the allocation table: 109 in the header, then the DIFAT chain.
        std::vector<std::uint32_t> fatSectors;
        const std::uint32_t fatCount = u32(m_file, 0x2C);
        if (fatCount > m_sectors)
            return false;
        for (std::size_t i = 0; i < 109 && fatSectors.size() < fatCount; ++i)
            fatSectors.push_back(u32(m_file, 0x4C + 4 * i));
        std::uint32_t difat = u32(m_file, 0x44);
        const std::size_t perDifat = m_sectorSize / 4 - 1;
        for (std::size_t guard = 0; fatSectors.size() < fatCount && difat <= maxSector; ++guard) {
            if (guard > m_sectors || !validSector(difat))
                return false;
            const std::size_t base = offset(difat);
            for (std::size_t i = 0; i < perDifat && fatSectors.size() < fatCount; ++i)
                fatSectors.push_back(u32(m_file, base + 4 * i));
            difat = u32(m_file, base + 4 * perDifat);
        }
        if (fatSectors.size() < fatCount)
            return false;
        for (const std::uint32_t s : fatSectors) {
            if (!validSector(s))
                return false;
            for (std::size_t i = 0; i < m_sectorSize / 4; ++i)
                m_fat.push_back(u32(m_file, offset(s) + 4 * i));
        }
        return chain(u32(m_file, 0x30), m_fat, m_sectorSize, m_directory)
            && chain(u32(m_file, 0x3C), m_fat, m_sectorSize, m_miniFatBytes);
    }

    bool stream(const char* name, std::string& out)
    {
        for (std::size_t at = 0; at + entrySize <= m_directory.size(); at += entrySize) {
            const unsigned type = static_cast<unsigned char>(m_directory[at + 66]);
            if (type != 2 || !nameIs(at, name))
                continue;
            const std::uint32_t start = u32(m_directory, at + 0x74);
            const std::uint64_t size = u32(m_directory, at + 0x78);
            if (size < m_cutoff) {
                std::string mini;
                if (!chain(u32(m_directory, 0x74), m_fat, m_sectorSize, mini))
                    return false; // the root entry's chain holds the mini stream
                std::vector<std::uint32_t> miniFat;
                for (std::size_t i = 0; i + 4 <= m_miniFatBytes.size(); i += 4)
                    miniFat.push_back(u32(m_miniFatBytes, i));
                if (!chain(start, miniFat, m_miniSize, out, &mini))
                    return false;
            } else if (!chain(start, m_fat, m_sectorSize, out)) {
                return false;
            }
            if (out.size() < size)
                return false;
            out.resize(std::size_t(size));
            return true;
        }
        return false;
    }

private:
    bool validSector(std::uint32_t s) const { return s < m_sectors; }
    std::size_t offset(std::uint32_t s) const { return (std::size_t(s) + 1) * m_sectorSize; }

    bool nameIs(std::size_t at, const char* name) const
    {
        const std::size_t length = u16(m_directory, at + 64);
        const std::size_t wanted = std::strlen(name);
        if (length != 2 * (wanted + 1))
            return false;
        for (std::size_t i = 0; i < wanted; ++i) {
            const auto lower = [](unsigned c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
            if (lower(u16(m_directory, at + 2 * i)) != lower(static_cast<unsigned char>(name[i])))
                return false;
        }
        return true;
    }

    // Follows a chain of sectors (of the file, or of source when given) through table.
    bool chain(std::uint32_t sector, const std::vector<std::uint32_t>& table, std::size_t size,
               std::string& out, const std::string* source = nullptr) const
    {
        out.clear();
        const std::size_t count = source ? source->size() / size : m_sectors;
        for (std::size_t guard = 0; sector != endOfChain; ++guard) {
            if (guard >= count || sector >= count || sector >= table.size())
                return false;
            const std::size_t at = source ? std::size_t(sector) * size : offset(sector);
            const std::string& from = source ? *source : m_file;
            if (at >= from.size())
                return false;
            out.append(from, at, std::min(size, from.size() - at));
            sector = table[sector];
        }
        return true;
    }

    const std::string& m_file;
    std::size_t m_sectorSize = 512;
    std::size_t m_miniSize = 64;
    std::uint32_t m_cutoff = 4096;
    std::size_t m_sectors = 0;
    std::vector<std::uint32_t> m_fat;
    std::string m_directory;
    std::string m_miniFatBytes;
};

} // namespace

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

bool readWholeFile(const char* path, std::size_t maxBytes, std::string& bytes)
{
    std::FILE* file = std::fopen(path, "rb");
    if (!file)
        return false;
    bytes.clear();
    char buffer[65536];
    bool ok = true;
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;) {
        if (bytes.size() + got > maxBytes) {
            ok = false;
            break;
        }
        bytes.append(buffer, got);
    }
    ok = ok && !std::ferror(file);
    std::fclose(file);
    return ok;
}

bool readCompoundStream(const std::string& file, const char* name, std::string& stream)
{
    Document document(file);
    return document.load() && document.stream(name, stream);
}

} // namespace exchange
