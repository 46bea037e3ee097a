#pragma once

#include <QSize>
#include <QString>

namespace data {
class Query;
}

namespace imaging {

class ImageBox;
class Picture;

// Stored pictures shown in an image control, so that what the user did not change is written
// back exactly as it was read: a photo that cannot be decoded, or that is shown reduced,
// keeps its stored bytes.

// The current row's blob column into the image, as LoadPictureFromBlob does (fit: see
// decodeJpeg), remembering the stored bytes.
void LoadPictureFromBlob(const data::Query& query, const QString& column, ImageBox& image,
                         QSize fit = {});

// A member's photo into the image: as above, except that no stored photo leaves the image
// empty, which SavePictureToBlob stores as Null again.
void LoadPhotoFromBlob(const data::Query& query, const QString& column, ImageBox& image,
                       QSize fit = {});

// The image's picture into the blob column of the row being edited: the stored bytes as they
// were while the image still shows them unchanged (a value that could not be read is not
// written at all), otherwise, and when nothing was stored, the picture as JPEG
// (SavePictureToBlob), which for an empty image is Null.
void SavePictureToBlob(data::Query& query, const QString& column, const ImageBox& image);

// The image's picture at full size, for a change such as a rotation. Throws data::Error when
// the image stands for a stored picture that cannot be decoded, which is then kept as it is.
Picture editablePicture(const ImageBox& image);

// The size at which the image shows its picture, in device pixels.
QSize shownSize(const ImageBox& image);

} // namespace imaging
