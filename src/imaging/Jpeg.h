#pragma once

#include <QByteArray>
#include <QSize>

namespace imaging {

class Picture;

// The stored picture format: one plain JPEG file image, baseline, quality 90, full colour,
// otherwise the library's defaults. A picture with no pixels encodes to no bytes.
// Throws data::Error when the encoder fails.
QByteArray encodeJpeg(const Picture& picture);
// The same at another quality (1 to 100).
QByteArray encodeJpeg(const Picture& picture, int quality);

// Decodes a whole JPEG stream with the best-quality settings into 24 bits per pixel: grey
// pictures become grey 24-bit ones, CMYK and YCCK ones are turned into colour. With an empty
// fit it decodes at full size; otherwise a larger picture is decoded at the smallest of
// libjpeg's scalings (1/8 to 8/8) that still covers fit in both directions, which costs a
// fraction of the memory and time. Corrupt data that the library can patch over (stray
// bytes, a stream that ends early) gives the picture the library makes of it. Throws
// data::Error with the reason for anything it cannot decode: library errors, a declared size
// over jpegMaxPixels or more than the file's bytes can hold, more than jpegMaxScans scans.
// The library's own memory limit is set to jpegMemoryLimit.
Picture decodeJpeg(const QByteArray& bytes, QSize fit = {});
// The same decoding into picture, whose storage is reused when it is large enough
// (Picture::reuseAs). On failure picture holds no valid pixels: its content is unspecified.
void decodeJpegInto(const QByteArray& bytes, Picture& picture, QSize fit = {});

// The size the stream's header declares, whether or not it can be decoded; an invalid size
// when there is no readable header.
QSize jpegSize(const QByteArray& bytes);

inline constexpr long long jpegMaxPixels = 200'000'000;
// Enough for the coefficients of a progressive file of jpegMaxPixels in full colour.
inline constexpr long jpegMemoryLimit = 1300L * 1024 * 1024;
inline constexpr int jpegMaxScans = 100;

} // namespace imaging
