#pragma once

namespace imaging {

class Picture;

// What becomes of a picture whose shape is not the card photo's 3 wide by 4 high: stretched
// onto the card as it is, or cut to 3:4 around its centre first.
enum class PhotoFit { Stretch, Crop };

// The largest 3:4 part of the picture around its centre; the picture itself when it already
// has that shape (to the nearest pixel) or is empty.
Picture cropToCardShape(const Picture& picture);

// The picture as the fit says: cropped, or as it is.
Picture fitToCard(const Picture& picture, PhotoFit fit);

} // namespace imaging
