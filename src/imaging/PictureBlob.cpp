#include "PictureBlob.h"

#include "Jpeg.h"
#include "Picture.h"
#include "data/Error.h"
#include "data/ErrorHandler.h"
#include "data/Query.h"

namespace imaging {

Picture blankPicture()
{
    return Picture(120, 160);
}

void SavePictureToBlob(data::Query& query, const QString& column, const Picture& picture)
{
    const QByteArray bytes = encodeJpeg(picture);
    if (query.state() == data::Query::State::Browse)
        return;
    try {
        query.setBlob(column, bytes);
    } catch (const data::Error& error) {
        data::showGeneralError(error);
    }
}

void LoadPictureFromBlob(const data::Query& query, const QString& column, Picture& picture,
                         QSize fit)
{
    try {
        const QByteArray bytes = query.blob(column);
        if (!bytes.isEmpty()) {
            picture = decodeJpeg(bytes, fit);
            return;
        }
    } catch (const std::exception&) {
        // Whatever went wrong, the missing picture stands in.
    }
    picture = blankPicture();
}

void LoadPhotoFromBlob(const data::Query& query, const QString& column, Picture& photo, QSize fit)
{
    QByteArray bytes;
    try {
        bytes = query.blob(column);
    } catch (const std::exception&) {
        // No row: no photo.
    }
    if (bytes.isEmpty())
        photo = Picture();
    else
        LoadPictureFromBlob(query, column, photo, fit);
}

} // namespace imaging
