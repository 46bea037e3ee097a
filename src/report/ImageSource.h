#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

namespace report {

// A picture that is decoded only when pixels are needed: a stored photo keeps its encoded
// bytes, which a PDF can take as they are, and a screen or printer asks for pixels no larger
// than it draws them.
class ImageSource
{
public:
    virtual ~ImageSource() = default;

    // The picture's size in pixels.
    virtual QSize size() const = 0;
    // The picture's pixels; with a fit, possibly reduced towards that size but never below it.
    virtual QImage image(QSize fit = {}) const = 0;
    // JPEG bytes that show the picture exactly as image() does, or empty when there are none.
    virtual QByteArray jpeg() const = 0;
};

} // namespace report
