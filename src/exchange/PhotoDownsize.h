#pragma once

#include <QString>
#include <vector>

namespace data {
class Tdsrc;
}
namespace imaging {
class Picture;
class Progress;
} // namespace imaging

namespace exchange {

// A stored photo is oversized when it is wider or taller than this; it is then stretched to
// exactly this size, each axis on its own.
inline constexpr int photoWidth = 480;
inline constexpr int photoHeight = 640;

bool isOversized(const imaging::Picture& picture);

// A member whose photo could not be decoded, and why; its stored bytes are left as they are.
struct SkippedPhoto
{
    QString name;
    QString reason;
};

// The closing notice of a pass that went through every row: "Completed.", followed, when
// photos were skipped, by how many and whose.
QString completedNotice(const std::vector<SkippedPhoto>& skipped);

// The "Resize All" command. Closes QStaff, goes once through QAllStaff and stores every
// oversized photo back at 480 by 640 as JPEG; other photos keep their bytes. The progress runs
// from 0 to the number of members (as a 16-bit number), one step per member, and is hidden
// before the closing notice: completedNotice, or the error "Operation Failed." with the
// engine's reason when storing or posting a photo failed (that member keeps its photo). Photos
// stored before any failure stay stored, unless the engine rolled back the batch in progress
// itself (a full disk, a lost server): photos committed in the batches before it stay then.
// A photo that cannot be decoded is left as stored; unless its header shows it is within
// 480 by 640 it is returned among the skipped ones (also named in the notice).
// On every way out after QAllStaff opened, QAllStaff is closed and QStaff opened again with
// its statement, on its first row; the caller then refreshes the member grid. Other errors
// are thrown after that. While another station runs a batch on the database (see BatchLock),
// nothing is done and data::Error is thrown.
std::vector<SkippedPhoto> resizeAllPhotos(data::Tdsrc& dsrc, imaging::Progress& progress);

} // namespace exchange
