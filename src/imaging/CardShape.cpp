#include "CardShape.h"

#include "Picture.h"

#include <cstring>

namespace imaging {

Picture cropToCardShape(const Picture& picture)
{
    const qint64 width = picture.width();
    const qint64 height = picture.height();
    if (picture.isEmpty())
        return picture;
    // The kept width or height, rounded to the nearest pixel, at least one.
    qint64 keptWidth = width;
    qint64 keptHeight = height;
    if (width * 4 > height * 3)
        keptWidth = qMax<qint64>(1, (height * 3 + 2) / 4);
    else
        keptHeight = qMax<qint64>(1, (width * 4 + 1) / 3);
    if (keptWidth == width && keptHeight == height)
        return picture;
    const qint64 left = (width - keptWidth) / 2;
    const qint64 top = (height - keptHeight) / 2;
    Picture cropped = Picture::uninitialised(int(keptWidth), int(keptHeight));
    for (int y = 0; y < keptHeight; ++y)
        std::memcpy(cropped.row(y), picture.row(int(top) + y) + left * 3, size_t(keptWidth) * 3);
    return cropped;
}

Picture fitToCard(const Picture& picture, PhotoFit fit)
{
    return fit == PhotoFit::Crop ? cropToCardShape(picture) : picture;
}

} // namespace imaging
