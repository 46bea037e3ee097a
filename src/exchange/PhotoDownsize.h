#pragma once

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

// The "Resize All" command. Closes QStaff, goes once through QAllStaff and stores every
// oversized photo back at 480 by 640 as JPEG; other photos keep their bytes. The progress runs
// from 0 to the number of members (as a 16-bit number), one step per member, and is hidden
// before the closing notice: "Completed.", or "Operation Failed." when storing or posting a
// photo failed (that member keeps its photo). Photos stored before any failure stay stored.
// On every way out after QAllStaff opened, QAllStaff is closed and QStaff opened again with
// its statement, on its first row; the caller then refreshes the member grid. Other errors
// are thrown after that.
void resizeAllPhotos(data::Tdsrc& dsrc, imaging::Progress& progress);

} // namespace exchange
