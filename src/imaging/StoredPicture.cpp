#include "StoredPicture.h"

#include "ImageBox.h"
#include "Jpeg.h"
#include "Picture.h"
#include "PictureBlob.h"
#include "data/Error.h"
#include "data/ErrorHandler.h"
#include "data/Query.h"

#include <cmath>

namespace imaging {
namespace {

// missing: what the image shows when the column holds no bytes.
void loadStored(const data::Query& query, const QString& column, ImageBox& image, QSize fit,
                Picture missing)
{
    ImageBox::Stored stored;
    try {
        stored.bytes = query.blob(column);
    } catch (const std::exception&) {
        // No row, or a value that is no blob: nothing to show, nothing to write back.
        stored.readable = false;
    }
    if (stored.bytes.isEmpty()) {
        image.showStored(std::move(missing), std::move(stored));
        return;
    }
    Picture shown;
    try {
        shown = decodeJpeg(stored.bytes, fit);
        stored.decoded = true;
    } catch (const std::exception&) {
        shown = blankPicture();
    }
    image.showStored(std::move(shown), std::move(stored));
}

} // namespace

void LoadPictureFromBlob(const data::Query& query, const QString& column, ImageBox& image,
                         QSize fit)
{
    loadStored(query, column, image, fit, blankPicture());
}

void LoadPhotoFromBlob(const data::Query& query, const QString& column, ImageBox& image, QSize fit)
{
    loadStored(query, column, image, fit, Picture());
}

void SavePictureToBlob(data::Query& query, const QString& column, const ImageBox& image)
{
    // Nothing stored, or a picture of the user's making: the picture shown is stored, and an
    // empty one (no photo) as Null.
    if (!image.stored() || (image.stored()->readable && image.stored()->bytes.isEmpty())) {
        SavePictureToBlob(query, column, image.picture());
        return;
    }
    if (query.state() == data::Query::State::Browse || !image.stored()->readable)
        return;
    try {
        query.setBlob(column, image.stored()->bytes);
    } catch (const data::Error& error) {
        data::showGeneralError(error);
    }
}

Picture editablePicture(const ImageBox& image)
{
    const auto& stored = image.stored();
    if (!stored || stored->bytes.isEmpty())
        return image.picture();
    const QSize size(image.picture().width(), image.picture().height());
    if (stored->decoded && jpegSize(stored->bytes) == size)
        return image.picture();
    try {
        return decodeJpeg(stored->bytes);
    } catch (const data::Error& error) {
        throw data::Error(
            QStringLiteral("The stored picture cannot be decoded and is kept as it is: %1")
                .arg(error.message()));
    }
}

QSize shownSize(const ImageBox& image)
{
    const qreal ratio = image.devicePixelRatioF();
    return QSize(int(std::ceil(image.width() * ratio)), int(std::ceil(image.height() * ratio)));
}

} // namespace imaging
