#pragma once

#include <QSize>
#include <QString>

namespace data {
class Query;
}

namespace imaging {

class Picture;

// The picture as JPEG into a blob column of the row being edited; an empty picture stores
// Null. A row not being edited is left alone. When the engine refuses the value the general
// error handler shows why and the column keeps its old value. Encoder failures reach the
// caller.
void SavePictureToBlob(data::Query& query, const QString& column, const Picture& picture);

// The current row's blob column decoded into picture; anything else (Null, empty, not JPEG,
// a decoding error, no current row) gives the blank picture. Never fails.
// fit: see decodeJpeg; a job that shows the picture smaller than fit passes it, so that a
// large photo is decoded at a fraction of its size.
void LoadPictureFromBlob(const data::Query& query, const QString& column, Picture& picture,
                         QSize fit = {});

// A member's photo: as LoadPictureFromBlob, except that a member without one (Null or no
// bytes, or no current row) gets an empty picture, so that nothing stands in its place.
void LoadPhotoFromBlob(const data::Query& query, const QString& column, Picture& photo,
                       QSize fit = {});

// What stands for a missing stored picture: white, 120 wide and 160 high.
Picture blankPicture();

} // namespace imaging
