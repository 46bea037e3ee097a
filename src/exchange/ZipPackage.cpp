#include "ZipPackage.h"

#include <zip.h>

namespace exchange {
namespace {

std::string libzipReason(zip_error_t* error)
{
    switch (zip_error_code_zip(error)) {
    case ZIP_ER_NOZIP:
        return "it is not a zip package";
    case ZIP_ER_NOPASSWD:
    case ZIP_ER_WRONGPASSWD:
    case ZIP_ER_ENCRNOTSUPP:
        return "it is protected by a password";
    case ZIP_ER_MEMORY:
        return "there is not enough memory to read it";
    case ZIP_ER_OPEN:
    case ZIP_ER_READ:
        return "the file cannot be read";
    default:
        return "its zip package is damaged";
    }
}

} // namespace

// One part of the package being inflated, counted against the package's limits.
class ZipEntryDevice : public QIODevice
{
public:
    ZipEntryDevice(ZipPackage& package, zip_file_t* file, std::string name,
                   std::uint64_t packedBytes)
        : m_package(package)
        , m_file(file)
        , m_name(std::move(name))
        , m_packed(packedBytes)
    {
        QIODevice::open(QIODevice::ReadOnly);
    }
    ~ZipEntryDevice() override { zip_fclose(m_file); }

    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        if (m_failed || maxSize <= 0)
            return m_failed ? -1 : 0;
        const zip_int64_t got = zip_fread(m_file, data, zip_uint64_t(maxSize));
        if (got < 0)
            return fail(libzipReason(zip_file_get_error(m_file)) + " (part '" + m_name + "')");
        const ZipLimits& limits = m_package.m_limits;
        m_inflated += std::uint64_t(got);
        m_package.m_total += std::uint64_t(got);
        if (m_inflated > limits.maxEntryBytes || m_package.m_total > limits.maxTotalBytes)
            return fail("it unpacks to more than a workbook may hold (part '" + m_name
                        + "'); it may be a zip bomb");
        if (m_inflated > limits.ratioFreeBytes && m_inflated / limits.maxRatio > m_packed)
            return fail("its part '" + m_name
                        + "' unpacks to far more than a workbook's XML can; it may be a zip bomb");
        return got;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    qint64 fail(const std::string& reason)
    {
        m_failed = true;
        if (m_package.m_failure.empty())
            m_package.m_failure = reason;
        return -1;
    }

    ZipPackage& m_package;
    zip_file_t* m_file;
    std::string m_name;
    std::uint64_t m_packed;
    std::uint64_t m_inflated = 0;
    bool m_failed = false;
};

ZipPackage::ZipPackage(const char* path, ZipLimits limits)
    : m_limits(limits)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_file_create(path, 0, -1, &error);
    if (!source) {
        const std::string reason = libzipReason(&error);
        zip_error_fini(&error);
        throw PackageError(reason);
    }
    zip_error_fini(&error);
    openArchive(source);
}

ZipPackage::ZipPackage(const void* data, std::size_t size, ZipLimits limits)
    : m_limits(limits)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(data, size, 0, &error);
    zip_error_fini(&error);
    if (!source)
        throw PackageError("there is not enough memory to read it");
    openArchive(source);
}

void ZipPackage::openArchive(zip_source* source)
{
    zip_error_t error;
    zip_error_init(&error);
    m_archive = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (!m_archive) {
        zip_source_free(source);
        const std::string reason = libzipReason(&error);
        zip_error_fini(&error);
        throw PackageError(reason);
    }
    zip_error_fini(&error);
    const zip_int64_t entries = zip_get_num_entries(m_archive, 0);
    if (entries < 0 || std::uint64_t(entries) > m_limits.maxEntries) {
        zip_discard(m_archive);
        m_archive = nullptr;
        throw PackageError("its zip package holds more entries than a workbook has; it may be a "
                           "zip bomb");
    }
}

ZipPackage::~ZipPackage()
{
    if (m_archive)
        zip_discard(m_archive);
}

long long ZipPackage::index(const std::string& name) const
{
    return zip_name_locate(m_archive, name.c_str(), ZIP_FL_NOCASE | ZIP_FL_ENC_GUESS);
}

bool ZipPackage::contains(const std::string& name) const
{
    return index(name) >= 0;
}

std::unique_ptr<QIODevice> ZipPackage::open(const std::string& name)
{
    const long long at = index(name);
    if (at < 0)
        throw PackageError("it holds no part '" + name
                           + "'; it is damaged or not an Excel "
                             "workbook");
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(m_archive, zip_uint64_t(at), 0, &stat) != 0)
        throw PackageError(libzipReason(zip_get_error(m_archive)));
    if ((stat.valid & ZIP_STAT_SIZE) && stat.size > m_limits.maxEntryBytes)
        throw PackageError("it unpacks to more than a workbook may hold (part '" + name
                           + "'); it may be a zip bomb");
    zip_file_t* file = zip_fopen_index(m_archive, zip_uint64_t(at), 0);
    if (!file)
        throw PackageError(libzipReason(zip_get_error(m_archive)) + " (part '" + name + "')");
    const std::uint64_t packed = (stat.valid & ZIP_STAT_COMP_SIZE) ? stat.comp_size : 0;
    return std::make_unique<ZipEntryDevice>(*this, file, name, packed);
}

} // namespace exchange
