#pragma once

#include <cstdint>

namespace imaging {

class Picture;

// a * b / c formed in 64 bits and rounded to the nearest integer, halves away from zero.
std::int64_t MulDiv(std::int64_t a, std::int64_t b, std::int64_t c);

// Bilinear resampling in 16.16 fixed point. dst keeps its size; every pixel of it is
// replaced by src resampled to that size (an exact copy when the sizes are equal). A
// destination with no pixels is left alone; an empty source gives a white destination.
// Past the source's last column the right-hand neighbour is the last column itself, as the
// last row pairs with itself.
void Resample(const Picture& src, Picture& dst);
// Gives dst the width and then the height (both as 16-bit unsigned numbers), then resamples.
void ResizeInto(const Picture& src, Picture& dst, int width, int height);
// Resamples picture to the given size in place; picture is untouched when this fails.
void ResizeGraphic(Picture& picture, int width, int height);

} // namespace imaging
