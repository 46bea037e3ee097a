#pragma once

#include "imaging/CardShape.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace data {
class Tdsrc;
}
namespace imaging {
class Progress;
}

namespace exchange {

// What a picture file's base name is compared with: the member's staff no or name, both
// trimmed and without letter case.
enum class PhotoMatch { StaffNo, Name };

struct PhotoFolderOptions
{
    PhotoMatch match = PhotoMatch::StaffNo;
    imaging::PhotoFit fit = imaging::PhotoFit::Crop;
};

// What a pass over a folder found and did. File names are without the folder.
struct PhotoFolderReport
{
    PhotoMatch match = PhotoMatch::StaffNo;
    int stored = 0; // photos committed
    int rolledBack = 0; // photos of the batch a failure gave up
    int notTried = 0; // matched photos after the failure
    int otherFiles = 0; // files that are not JPEG or BMP, left alone
    QStringList unmatched;
    struct Several
    {
        QString member;
        QStringList files;
    };
    std::vector<Several> several; // members matched by more than one file
    struct Unreadable
    {
        QString file;
        QString reason;
    };
    std::vector<Unreadable> unreadable;
    struct Ambiguous
    {
        QString key; // the staff no or name as the file gives it
        QStringList members; // "Name (Group)"
        QStringList files;
    };
    std::vector<Ambiguous> ambiguous; // one base name, several members
    QString failure; // why storing stopped; empty when it did not

    bool failed() const { return !failure.isEmpty(); }
};

// The "Import Photos" command. Every .jpg, .jpeg or .bmp file (extension in any letter case)
// directly in folder (hidden ones aside) whose base name names exactly one member by staff no or
// name becomes that member's photo: read as the Photo button reads a file, fitted to the card
// shape as options say, stored as JPEG with the member's change time stamped. A member named by
// several files and a name shared by several members get nothing; files are decoded only for the
// members who get one. The progress runs over those photos. Photos are committed 64 at a time; a
// write that fails rolls back the batch in progress and ends the pass, its reason in the report.
// Throws data::Error when the folder cannot be read, the members cannot be listed or another
// station runs a batch on the database (see BatchLock); nothing is stored then.
PhotoFolderReport importPhotoFolder(data::Tdsrc& dsrc, const QString& folder,
                                    const PhotoFolderOptions& options, imaging::Progress& progress);

// The closing report, one paragraph per finding. listed > 0 names at most that many entries
// of each list and counts the rest ("and 4,980 more"); listed < 0 puts every entry on a line
// of its own.
QString photoFolderReportText(const PhotoFolderReport& report, int listed);

} // namespace exchange
