#include "PhotoDownsize.h"

#include "BatchTransaction.h"
#include "data/Answers.h"
#include "data/Tdsrc.h"
#include "imaging/Picture.h"
#include "imaging/PictureBlob.h"
#include "imaging/Progress.h"
#include "imaging/Resample.h"

namespace exchange {
namespace {

// Resized photos are committed in groups of this many.
constexpr int photosPerCommit = 64;

enum class Outcome { Completed, Failed };

Outcome resizeEach(data::Tdsrc& dsrc, imaging::Progress& progress)
{
    const QString photo = QStringLiteral("photo");
    data::Query& staff = dsrc.QAllStaff;
    imaging::Picture source;
    imaging::Picture target;
    BatchTransaction batch(dsrc.src);
    int pending = 0;
    for (; !staff.eof(); staff.next()) {
        imaging::LoadPictureFromBlob(staff, photo, source);
        if (isOversized(source)) {
            imaging::ResizeInto(source, target, photoWidth, photoHeight);
            staff.edit();
            try {
                imaging::SavePictureToBlob(staff, photo, target);
                staff.post();
            } catch (const std::exception&) {
                staff.cancel();
                batch.commit();
                return Outcome::Failed;
            }
            if (++pending == photosPerCommit) {
                batch.checkpoint();
                pending = 0;
            }
        }
        progress.step();
    }
    batch.commit();
    return Outcome::Completed;
}

} // namespace

bool isOversized(const imaging::Picture& picture)
{
    return picture.width() > photoWidth || picture.height() > photoHeight;
}

void resizeAllPhotos(data::Tdsrc& dsrc, imaging::Progress& progress)
{
    dsrc.QStaff.close();
    dsrc.QAllStaff.open();
    const auto finish = [&dsrc] {
        dsrc.QAllStaff.close();
        dsrc.QStaff.open();
    };
    Outcome outcome = Outcome::Failed;
    try {
        progress.setMin(0);
        progress.setMax(dsrc.QAllStaff.rowCount() & 0xFFFF);
        dsrc.QAllStaff.first();
        progress.show();
        outcome = resizeEach(dsrc, progress);
        progress.hide();
        data::showNotice(outcome == Outcome::Completed ? QStringLiteral("Completed.")
                                                       : QStringLiteral("Operation Failed."));
    } catch (...) {
        try {
            finish();
        } catch (...) {
            // The first error is the one worth reporting.
        }
        throw;
    }
    finish();
}

} // namespace exchange
