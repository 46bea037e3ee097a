#include "OwnedImage.h"

#include "imaging/Picture.h"

#include <utility>

namespace cards {

QImage ownedImage(const imaging::Picture& picture)
{
    if (picture.isEmpty())
        return {};
    // The copy shares the pixels with the original and lives until the image's last copy goes.
    auto* keeper = new imaging::Picture(picture);
    return QImage(
        std::as_const(*keeper).row(0), keeper->width(), keeper->height(), keeper->stride(),
        QImage::Format_BGR888, [](void* info) { delete static_cast<imaging::Picture*>(info); },
        keeper);
}

} // namespace cards
