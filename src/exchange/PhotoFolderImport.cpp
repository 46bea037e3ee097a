#include "PhotoFolderImport.h"

#include "BatchLock.h"
#include "BatchTransaction.h"
#include "data/CardTimes.h"
#include "data/Error.h"
#include "data/Query.h"
#include "data/Tdsrc.h"
#include "imaging/Picture.h"
#include "imaging/PictureBlob.h"
#include "imaging/PictureFile.h"
#include "imaging/Progress.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <algorithm>
#include <map>
#include <memory>
#include <new>
#include <utility>

namespace exchange {
namespace {

// Stored photos are committed in groups of this many, as the batch downsizing does.
constexpr int photosPerCommit = 64;

struct Member
{
    qlonglong seq = 0;
    QString name;
    QString group;
};

QString matchKey(const QString& text)
{
    return text.trimmed().toCaseFolded();
}

bool isPictureName(const QString& fileName)
{
    const QString extension = imaging::fileExtension(fileName);
    return extension == u".JPG" || extension == u".JPEG" || extension == u".BMP";
}

// Every member with a staff no or name to match, by its key.
QHash<QString, std::vector<Member>> membersByKey(data::Tdsrc& dsrc, PhotoMatch match)
{
    data::Query q(dsrc.src, QStringLiteral("QPhotoMembers"));
    q.setSql(QStringLiteral("select stafftbl.seq, stafftbl.name, stafftbl.staffno, grptbl.gdesc"
                            " from stafftbl left join grptbl on stafftbl.gid = grptbl.gid"
                            " order by stafftbl.name"));
    q.open();
    const QString column
        = match == PhotoMatch::StaffNo ? QStringLiteral("staffno") : QStringLiteral("name");
    QHash<QString, std::vector<Member>> index;
    for (q.first(); !q.eof(); q.next()) {
        const QString key = matchKey(q.asString(column));
        if (key.isEmpty())
            continue;
        index[key].push_back({q.value(QStringLiteral("seq")).toLongLong(),
                              q.asString(QStringLiteral("name")),
                              q.asString(QStringLiteral("gdesc"))});
    }
    return index;
}

// The file as the Photo button reads it, at its own size (a resample to the picture's own
// size gives the picture itself, so none is made).
imaging::Picture readPicture(const QString& path)
{
    return imaging::fileExtension(path) == u".BMP" ? imaging::readBitmapFile(path)
                                                   : imaging::readJpegFile(path);
}

struct Photo
{
    qlonglong seq = 0;
    QString file;
};

class PhotoWriter
{
public:
    PhotoWriter(data::Tdsrc& dsrc, PhotoFolderReport& report)
        : m_row(dsrc.src, QStringLiteral("QPhotoImport"))
        , m_batch(dsrc.src)
        , m_report(report)
    {
        m_row.setSql(QStringLiteral("select * from stafftbl where seq = :seq"));
    }

    // False when the write failed: the batch is rolled back and the report says why.
    bool store(qlonglong seq, const imaging::Picture& picture)
    {
        try {
            m_row.close();
            m_row.setParameter(QStringLiteral("seq"), seq);
            m_row.open();
            if (m_row.eof())
                return true; // removed meanwhile
            const data::CardChange change(m_row, false);
            m_row.edit();
            try {
                imaging::SavePictureToBlob(m_row, QStringLiteral("photo"), picture);
                change.stamp(m_row);
                m_row.post();
            } catch (...) {
                m_row.cancel();
                throw;
            }
            if (++m_pending == photosPerCommit)
                checkpoint();
            return true;
        } catch (const data::Error& error) {
            fail(error.message());
        } catch (const std::bad_alloc&) {
            fail(QStringLiteral("Not enough memory"));
        }
        return false;
    }

    bool finish()
    {
        try {
            m_batch.commit();
            m_report.stored += std::exchange(m_pending, 0);
            return true;
        } catch (const data::Error& error) {
            fail(error.message());
        }
        return false;
    }

private:
    void checkpoint()
    {
        m_batch.checkpoint();
        m_report.stored += std::exchange(m_pending, 0);
    }
    void fail(const QString& reason)
    {
        try {
            m_batch.rollback();
        } catch (const data::Error&) {
            // The engine keeps the file whole; the first reason is the one to give.
        }
        m_report.failure = reason;
        m_report.rolledBack = std::exchange(m_pending, 0);
    }

    data::Query m_row;
    BatchTransaction m_batch;
    PhotoFolderReport& m_report;
    int m_pending = 0;
};

void storePhotos(data::Tdsrc& dsrc, const QDir& dir, const std::vector<Photo>& photos,
                 imaging::PhotoFit fit, PhotoFolderReport& report, imaging::Progress& progress)
{
    if (photos.empty())
        return;
    std::unique_ptr<PhotoWriter> started;
    try {
        started = std::make_unique<PhotoWriter>(dsrc, report);
    } catch (const data::Error& error) {
        report.failure = error.message(); // a read-only file, mostly
        report.notTried = int(photos.size());
        return;
    }
    PhotoWriter& writer = *started;
    for (std::size_t i = 0; i < photos.size(); ++i) {
        const Photo& photo = photos[i];
        imaging::Picture picture;
        try {
            picture = imaging::fitToCard(readPicture(dir.filePath(photo.file)), fit);
        } catch (const data::Error& error) {
            report.unreadable.push_back({photo.file, error.message()});
        } catch (const std::bad_alloc&) {
            report.unreadable.push_back({photo.file, QStringLiteral("Not enough memory")});
        }
        if (!picture.isEmpty() && !writer.store(photo.seq, picture)) {
            report.notTried = int(photos.size() - i - 1);
            return;
        }
        progress.step();
        progress.processEvents();
    }
    writer.finish();
}

QString number(qsizetype n)
{
    return QLocale(QLocale::English).toString(qlonglong(n));
}

QString counted(qsizetype n, const char* one, const char* many)
{
    return QStringLiteral("%1 %2").arg(number(n), QLatin1String(n == 1 ? one : many));
}

// The heading and the entries: on one line, shortened to listed, or each on a line.
QString listing(const QString& heading, const QStringList& entries, int listed)
{
    if (listed < 0)
        return heading + QStringLiteral(":\n  ") + entries.join(QStringLiteral("\n  "));
    QStringList shown = entries.mid(0, listed);
    if (entries.size() > listed)
        shown << QStringLiteral("and %1 more").arg(number(entries.size() - listed));
    return heading + QStringLiteral(": ") + shown.join(QStringLiteral(", ")) + u'.';
}

} // namespace

PhotoFolderReport importPhotoFolder(data::Tdsrc& dsrc, const QString& folder,
                                    const PhotoFolderOptions& options, imaging::Progress& progress)
{
    const QDir dir(folder);
    if (folder.isEmpty() || !dir.exists() || !dir.isReadable())
        throw data::Error(
            QStringLiteral("The folder %1 cannot be read.").arg(QDir::toNativeSeparators(folder)));
    // Taken before the members are listed: another station's batch may change them.
    const BatchLock lock(dsrc.src);
    PhotoFolderReport report;
    report.match = options.match;
    const QHash<QString, std::vector<Member>> members = membersByKey(dsrc, options.match);

    // Names alone decide which files are read: a file that names nobody is never opened.
    std::map<qlonglong, QStringList> filesOf; // by seq, in file name order
    std::map<QString, PhotoFolderReport::Ambiguous> shared;
    const QStringList files = dir.entryList(QDir::Files, QDir::Name);
    for (const QString& file : files) {
        if (!isPictureName(file)) {
            ++report.otherFiles;
            continue;
        }
        const QString base = QFileInfo(file).completeBaseName();
        const auto found = members.constFind(matchKey(base));
        if (found == members.cend()) {
            report.unmatched << file;
        } else if (found->size() > 1) {
            PhotoFolderReport::Ambiguous& entry = shared[found.key()];
            if (entry.members.isEmpty()) {
                entry.key = base.trimmed();
                for (const Member& m : *found)
                    entry.members << QStringLiteral("%1 (%2)").arg(
                        m.name, m.group.isEmpty() ? QStringLiteral("no group") : m.group);
            }
            entry.files << file;
        } else {
            filesOf[found->front().seq] << file;
        }
    }
    for (auto& [key, entry] : shared)
        report.ambiguous.push_back(std::move(entry));

    QHash<qlonglong, QString> names;
    for (const std::vector<Member>& list : members) {
        if (list.size() == 1)
            names.insert(list.front().seq, list.front().name);
    }
    std::vector<Photo> photos;
    for (const auto& [seq, list] : filesOf) {
        if (list.size() > 1)
            report.several.push_back({names.value(seq), list});
        else
            photos.push_back({seq, list.front()});
    }
    std::sort(photos.begin(), photos.end(),
              [](const Photo& a, const Photo& b) { return a.file < b.file; });
    std::sort(report.several.begin(), report.several.end(),
              [](const auto& a, const auto& b) { return a.member < b.member; });

    progress.setMin(0);
    progress.setMax(int(photos.size()) & 0xFFFF);
    progress.show();
    try {
        storePhotos(dsrc, dir, photos, options.fit, report, progress);
    } catch (...) {
        progress.hide();
        throw;
    }
    progress.hide();
    return report;
}

QString photoFolderReportText(const PhotoFolderReport& report, int listed)
{
    QStringList parts;
    if (report.failed()) {
        QString stop = QStringLiteral("Storing the photos stopped: %1.").arg(report.failure);
        if (report.rolledBack > 0)
            stop += QStringLiteral(" The last %1 of the batch in progress were not kept.")
                        .arg(counted(report.rolledBack, "photo", "photos"));
        if (report.notTried > 0)
            stop += QStringLiteral(" %1 not tried.")
                        .arg(counted(report.notTried, "photo was", "photos were"));
        parts << stop;
        parts << QStringLiteral("%1 stored before.")
                     .arg(counted(report.stored, "photo had been", "photos had been"));
    } else {
        parts << QStringLiteral("%1 stored.").arg(counted(report.stored, "photo", "photos"));
    }
    if (!report.unmatched.isEmpty())
        parts << listing(
            QStringLiteral("%1 no member")
                .arg(counted(report.unmatched.size(), "file matched", "files matched")),
            report.unmatched, listed);
    if (!report.several.empty()) {
        QStringList entries;
        for (const auto& s : report.several)
            entries << QStringLiteral("%1 (%2)").arg(s.member, s.files.join(QStringLiteral(", ")));
        parts << listing(
            QStringLiteral("%1 by several files; nothing was stored for them")
                .arg(counted(entries.size(), "member was matched", "members were matched")),
            entries, listed);
    }
    if (!report.unreadable.empty()) {
        QStringList entries;
        for (const auto& u : report.unreadable)
            entries << QStringLiteral("%1 (%2)").arg(u.file, u.reason);
        parts << listing(QStringLiteral("%1 not be read")
                             .arg(counted(entries.size(), "file could", "files could")),
                         entries, listed);
    }
    if (!report.ambiguous.empty()) {
        QStringList entries;
        for (const auto& a : report.ambiguous)
            entries << QStringLiteral("%1: %2").arg(a.files.join(QStringLiteral(", ")),
                                                    a.members.join(QStringLiteral(", ")));
        const bool byName = report.match == PhotoMatch::Name;
        parts << listing(
            QStringLiteral("%1 several members; nothing was stored for them")
                .arg(byName ? counted(entries.size(), "name matches", "names match")
                            : counted(entries.size(), "staff no matches", "staff nos match")),
            entries, listed);
    }
    if (report.otherFiles > 0)
        parts << QStringLiteral("%1 not JPEG or BMP and left alone.")
                     .arg(counted(report.otherFiles, "other file is", "other files are"));
    return parts.join(u'\n');
}

} // namespace exchange
