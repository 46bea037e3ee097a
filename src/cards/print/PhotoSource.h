#pragma once

#include "imaging/JpegInfo.h"
#include "report/ImageSource.h"
#include "report/Length.h"

#include <QByteArray>
#include <memory>

namespace data {
class Query;
}
namespace imaging {
class Picture;
}

namespace cards {

// A member's stored photo on a card or the check list, decoded only when a device needs its
// pixels and then no larger than it needs. A PDF takes the stored JPEG bytes unchanged when
// they show exactly what the decoder shows (see imaging::JpegInfo::embeddable) and are not
// larger than the print needs; a larger photo is reduced once and encoded again. Bytes that
// are not a JPEG give the blank picture, as everywhere a stored picture is read.
class PhotoSource final : public report::ImageSource
{
public:
    // Pictures of laid-out pages never hold more than this many dots per inch of their box.
    static constexpr double maxDpi = 600;

    // A photo stretched into a box of the given size: at most maxDpi of it in each direction.
    static std::shared_ptr<const PhotoSource> forBox(const QByteArray& bytes, report::Length width,
                                                     report::Length height);
    // A photo always resampled to the given size, whatever its own.
    static std::shared_ptr<const PhotoSource> resampled(const QByteArray& bytes, QSize size);

    PhotoSource(const QByteArray& bytes, QSize limit, bool exact);

    QSize size() const override;
    QImage image(QSize fit = {}) const override;
    QByteArray jpeg() const override;

private:
    // The pixel size the picture is given at full quality.
    QSize target() const;
    imaging::Picture picture(QSize fit) const;

    QByteArray m_bytes;
    imaging::JpegInfo m_info;
    QSize m_limit;
    bool m_exact;
    // The reduced photo's encoding, made on the first call of jpeg().
    mutable QByteArray m_reduced;
};

// The current row's "photo" column; no bytes when there is none or no current row.
QByteArray storedPhoto(const data::Query& query);

} // namespace cards
