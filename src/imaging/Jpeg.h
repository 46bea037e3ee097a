#pragma once

#include <QByteArray>

namespace imaging {

class Picture;

// The stored picture format: one plain JPEG file image, baseline, quality 90, full colour,
// otherwise the library's defaults. A picture with no pixels encodes to no bytes.
// Throws data::Error when the encoder fails.
QByteArray encodeJpeg(const Picture& picture);

// Decodes a whole JPEG stream at full size and best quality into 24 bits per pixel (grey
// pictures become grey 24-bit ones). Throws data::Error, with the library's message, for
// anything that is not a clean JPEG: errors, corrupt-data warnings, a declared size over
// jpegMaxPixels, or more than jpegMaxScans scans. The library's own memory limit is set to
// jpegMemoryLimit.
Picture decodeJpeg(const QByteArray& bytes);

inline constexpr long long jpegMaxPixels = 50'000'000;
inline constexpr long jpegMemoryLimit = 512L * 1024 * 1024;
inline constexpr int jpegMaxScans = 100;

} // namespace imaging
