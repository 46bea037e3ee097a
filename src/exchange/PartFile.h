#pragma once

#include <QString>

class QFileInfo;

namespace exchange {

// A new database file is written under ".NAME.XXXXXX.part" beside its destination, with its
// journal beside it, and renamed over the destination once complete.
QString partTemplate(const QFileInfo& target);

// A run that was killed left its new file and journal behind; they go when the next write
// to the same destination starts.
void removeLeftovers(const QFileInfo& target);

// The new file and its journal are removed unless the copy took their place.
class PartFile
{
public:
    explicit PartFile(QString path)
        : m_path(std::move(path))
    { }
    ~PartFile();
    PartFile(const PartFile&) = delete;
    PartFile& operator=(const PartFile&) = delete;
    const QString& path() const { return m_path; }
    void keep() { m_keep = true; }

private:
    QString m_path;
    bool m_keep = false;
};

// Reserves a fresh part name beside target; the file itself is not left there. Throws Error
// when the folder cannot take one.
QString reservePartName(const QFileInfo& target);

// Renames the complete part file over the destination in one step. Throws Error with the
// reason.
void replaceWithPart(PartFile& part, const QFileInfo& target);

} // namespace exchange
