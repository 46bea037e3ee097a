#include "Rotate.h"

#include "Picture.h"
#include "Progress.h"

namespace imaging {

void Rotate90(Progress& progress, Picture& picture)
{
    const int w = picture.width();
    const int h = picture.height();
    Picture turned = Picture::uninitialised(h, w);
    progress.setMin(0);
    progress.setMax(turned.width() - 1);
    progress.show();
    const qsizetype stride = turned.stride();
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* in = picture.row(y) + qsizetype(w - 1) * 3;
        std::uint8_t* out = turned.row(0) + y * 3;
        // Source column w - 1 - x goes to row x: walk the source row from its right end.
        for (int x = 0; x < w; ++x) {
            out[0] = in[0];
            out[1] = in[1];
            out[2] = in[2];
            in -= 3;
            out += stride;
        }
        progress.step();
    }
    picture = std::move(turned);
}

} // namespace imaging
