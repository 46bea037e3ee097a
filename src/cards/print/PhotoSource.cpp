#include "PhotoSource.h"

#include "OwnedImage.h"
#include "data/Query.h"
#include "imaging/Jpeg.h"
#include "imaging/Picture.h"
#include "imaging/PictureBlob.h"
#include "imaging/Resample.h"

#include <algorithm>
#include <cmath>

namespace cards {
namespace {

// High enough that the one extra encoding of a reduced photo shows no loss in print.
constexpr int reducedQuality = 95;

int dots(report::Length length)
{
    return std::max(1, int(std::ceil(length.toDevice(PhotoSource::maxDpi) - 1e-9)));
}

QSize boundedBy(QSize size, QSize limit)
{
    return QSize(std::min(size.width(), limit.width()), std::min(size.height(), limit.height()));
}

} // namespace

QByteArray storedPhoto(const data::Query& query)
{
    try {
        return query.blob(QStringLiteral("photo"));
    } catch (const std::exception&) {
        return {}; // no current row
    }
}

std::shared_ptr<const PhotoSource> PhotoSource::forBox(const QByteArray& bytes,
                                                       report::Length width, report::Length height)
{
    return std::make_shared<const PhotoSource>(bytes, QSize(dots(width), dots(height)), false);
}

std::shared_ptr<const PhotoSource> PhotoSource::resampled(const QByteArray& bytes, QSize size)
{
    return std::make_shared<const PhotoSource>(bytes, size, true);
}

PhotoSource::PhotoSource(const QByteArray& bytes, QSize limit, bool exact)
    : m_bytes(bytes)
    , m_info(imaging::inspectJpeg(bytes))
    , m_limit(limit)
    , m_exact(exact)
{ }

QSize PhotoSource::target() const
{
    if (m_exact)
        return m_limit;
    if (!m_info.size.isValid())
        return QSize(120, 160); // the blank picture
    return boundedBy(m_info.size, m_limit);
}

QSize PhotoSource::size() const
{
    return target();
}

QImage PhotoSource::image(QSize fit) const
{
    return ownedImage(picture(fit));
}

imaging::Picture PhotoSource::picture(QSize fit) const
{
    const QSize full = target();
    const QSize wanted = fit.isValid() && !fit.isEmpty() ? boundedBy(fit, full) : full;
    imaging::Picture picture;
    try {
        picture = imaging::decodeJpeg(m_bytes, m_exact ? full : wanted);
        if (m_exact) {
            imaging::ResizeGraphic(picture, full.width(), full.height());
        } else if (picture.width() > full.width() || picture.height() > full.height()) {
            const QSize reduced = boundedBy(QSize(picture.width(), picture.height()), full);
            imaging::ResizeGraphic(picture, reduced.width(), reduced.height());
        }
    } catch (const std::exception&) {
        picture = imaging::blankPicture();
    }
    return picture;
}

QByteArray PhotoSource::jpeg() const
{
    if (!m_info.embeddable)
        return {};
    if (m_info.size == target())
        return m_bytes;
    if (m_reduced.isEmpty()) {
        try {
            m_reduced = imaging::encodeJpeg(picture({}), reducedQuality);
        } catch (const std::exception&) {
            return {};
        }
    }
    return m_reduced;
}

} // namespace cards
