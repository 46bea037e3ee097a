#pragma once

#include "CardShape.h"

#include <QString>

class QWidget;

namespace imaging {

class ImageBox;

// The open dialog's filter: images, JPEG, bitmap, all files; the first is selected.
inline const QString pictureFileFilter = QStringLiteral(
    "Images (*.jpg *.jpeg *.bmp);;JPEG (*.jpg *.jpeg);;Bitmap (*.bmp);;All Files (*)");

// Asks for a BMP or JPEG file and loads it into the image at width by height (0 for either
// means the file's own size), then refreshes the size hint. A cancelled dialog changes
// nothing. An unknown extension shows "Unknown file extension."; a file that cannot be read
// shows "Unable to create the new object." and the image keeps its picture. A picture not of
// the card's 3:4 shape is cut to it around its centre first when fit says Crop.
void LoadPictureDialog(QWidget* owner, ImageBox& image, int width, int height,
                       PhotoFit fit = PhotoFit::Stretch);

// Read the file, bring it to the requested size and put it into the image; throw
// data::Error when the file cannot be read, leaving the image as it was.
void LoadBitmapFile(int width, int height, ImageBox& image, const QString& fileName,
                    PhotoFit fit = PhotoFit::Stretch);
void LoadJpegFile(int width, int height, ImageBox& image, const QString& fileName,
                  PhotoFit fit = PhotoFit::Stretch);

// The hint becomes "<width> x <height>" of the picture, or "No picture" for an empty one, and
// is enabled.
void ShowSizeHint(ImageBox& image);
// The image loses its picture: it shows white, and is stored as no picture.
void ClearPicture(ImageBox& image);

} // namespace imaging
