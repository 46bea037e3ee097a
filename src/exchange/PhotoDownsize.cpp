#include "PhotoDownsize.h"

#include "BatchLock.h"
#include "BatchTransaction.h"
#include "data/Answers.h"
#include "data/CardTimes.h"
#include "data/Error.h"
#include "data/Tdsrc.h"
#include "imaging/Jpeg.h"
#include "imaging/Picture.h"
#include "imaging/PictureBlob.h"
#include "imaging/Progress.h"
#include "imaging/Resample.h"

#include <QStringList>

namespace exchange {
namespace {

// Resized photos are committed in groups of this many.
constexpr int photosPerCommit = 64;

// Members named in the closing notice; the rest are counted.
constexpr int namesShown = 20;

// How a pass ended: failure holds why storing a photo failed, empty when every row was gone
// through.
struct Outcome
{
    bool completed = false;
    QString failure;
};

// Decodes the row's photo at full size into source, whose storage is reused from photo to
// photo, when it is oversized, and returns true. False for a row that is left as it is: one
// without a photo (Null stays Null), one whose header shows the photo small enough (not
// decoded), and one whose photo cannot be decoded (added to skipped).
bool decodeOversized(const data::Query& staff, const QString& photo, imaging::Picture& source,
                     std::vector<SkippedPhoto>& skipped)
{
    try {
        const QByteArray bytes = staff.blob(photo);
        if (bytes.isEmpty())
            return false;
        const QSize declared = imaging::jpegSize(bytes);
        if (declared.isValid() && declared.width() <= photoWidth
            && declared.height() <= photoHeight)
            return false;
        imaging::decodeJpegInto(bytes, source);
        return isOversized(source);
    } catch (const data::Error& error) {
        skipped.push_back({staff.asString(QStringLiteral("name")), error.message()});
    }
    return false;
}

Outcome resizeEach(data::Tdsrc& dsrc, imaging::Progress& progress,
                   std::vector<SkippedPhoto>& skipped)
{
    const QString photo = QStringLiteral("photo");
    data::Query& staff = dsrc.QAllStaff;
    imaging::Picture source;
    imaging::Picture target;
    BatchTransaction batch(dsrc.src);
    int pending = 0;
    for (; !staff.eof(); staff.next()) {
        if (decodeOversized(staff, photo, source, skipped)) {
            imaging::ResizeInto(source, target, photoWidth, photoHeight);
            staff.edit();
            try {
                imaging::SavePictureToBlob(staff, photo, target);
                // A photo of another size: the card changed, with no need to read the stored
                // photo a second time to find that out.
                data::stampChanged(staff);
                staff.post();
            } catch (const std::exception& e) {
                const auto* own = dynamic_cast<const data::Error*>(&e);
                Outcome failed {false, own ? own->message() : QString::fromLocal8Bit(e.what())};
                staff.cancel();
                batch.endAfterFailure();
                return failed;
            }
            if (++pending == photosPerCommit) {
                batch.checkpoint();
                pending = 0;
            }
        }
        progress.step();
    }
    batch.commit();
    return {true, {}};
}

} // namespace

bool isOversized(const imaging::Picture& picture)
{
    return picture.width() > photoWidth || picture.height() > photoHeight;
}

QString completedNotice(const std::vector<SkippedPhoto>& skipped)
{
    QString text = QStringLiteral("Completed.");
    if (skipped.empty())
        return text;
    QStringList names;
    for (std::size_t i = 0; i < skipped.size() && i < std::size_t(namesShown); ++i)
        names << QStringLiteral("%1 (%2)").arg(skipped[i].name, skipped[i].reason);
    if (skipped.size() > std::size_t(namesShown))
        names << QStringLiteral("and %1 more").arg(skipped.size() - std::size_t(namesShown));
    text += skipped.size() == 1
        ? QStringLiteral("\n1 photo could not be decoded and was left unchanged: ")
        : QStringLiteral("\n%1 photos could not be decoded and were left unchanged: ")
              .arg(skipped.size());
    return text + names.join(QStringLiteral(", ")) + u'.';
}

std::vector<SkippedPhoto> resizeAllPhotos(data::Tdsrc& dsrc, imaging::Progress& progress)
{
    std::vector<SkippedPhoto> skipped;
    const BatchLock lock(dsrc.src);
    dsrc.QStaff.close();
    dsrc.QAllStaff.open();
    const auto finish = [&dsrc] {
        dsrc.QAllStaff.close();
        dsrc.QStaff.open();
    };
    Outcome outcome;
    try {
        progress.setMin(0);
        progress.setMax(dsrc.QAllStaff.rowCount() & 0xFFFF);
        dsrc.QAllStaff.first();
        progress.show();
        outcome = resizeEach(dsrc, progress, skipped);
        progress.hide();
        if (outcome.completed)
            data::showNotice(completedNotice(skipped));
        else
            data::showError(QStringLiteral("Operation Failed."), outcome.failure);
    } catch (...) {
        try {
            finish();
        } catch (...) {
            // The first error is the one worth reporting.
        }
        throw;
    }
    finish();
    return skipped;
}

} // namespace exchange
