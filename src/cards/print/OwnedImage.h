#pragma once

#include <QImage>

namespace imaging {
class Picture;
}

namespace cards {

// An image of the picture that keeps the picture's pixels alive for as long as any copy of
// the image lives, without copying them; the picture may change or go afterwards.
QImage ownedImage(const imaging::Picture& picture);

} // namespace cards
