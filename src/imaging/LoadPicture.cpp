#include "LoadPicture.h"

#include "CardShape.h"
#include "ImageBox.h"
#include "Picture.h"
#include "PictureFile.h"
#include "Resample.h"
#include "data/Answers.h"
#include "data/Error.h"
#include "data/Utils.h"

namespace imaging {
namespace {

void loadInto(const Picture& read, int width, int height, ImageBox& image, PhotoFit fit)
{
    const Picture file = fitToCard(read, fit);
    if (width == 0 || height == 0) {
        width = file.width();
        height = file.height();
    }
    Picture sized;
    ResizeInto(file, sized, width, height);
    image.setPicture(std::move(sized));
}

} // namespace

void LoadBitmapFile(int width, int height, ImageBox& image, const QString& fileName, PhotoFit fit)
{
    loadInto(readBitmapFile(fileName), width, height, image, fit);
}

void LoadJpegFile(int width, int height, ImageBox& image, const QString& fileName, PhotoFit fit)
{
    loadInto(readJpegFile(fileName), width, height, image, fit);
}

void LoadPictureDialog(QWidget* owner, ImageBox& image, int width, int height, PhotoFit fit)
{
    try {
        const std::optional<QString> chosen
            = data::answers().openFileName(owner, pictureFileFilter);
        if (!chosen)
            return;
        const QString extension = fileExtension(*chosen);
        try {
            if (extension == QLatin1String(".BMP"))
                LoadBitmapFile(width, height, image, *chosen, fit);
            else if (extension == QLatin1String(".JPG") || extension == QLatin1String(".JPEG"))
                LoadJpegFile(width, height, image, *chosen, fit);
            else
                data::showError(QStringLiteral("Unknown file extension."));
        } catch (const data::Error& error) {
            data::ShowCreateError(error.message());
        } catch (const std::exception&) {
            data::ShowCreateError();
        }
        ShowSizeHint(image);
    } catch (const std::exception&) {
        data::ShowCreateError();
    }
}

void ShowSizeHint(ImageBox& image)
{
    const Picture& picture = image.picture();
    image.setToolTip(picture.isEmpty()
                         ? QStringLiteral("No picture")
                         : QStringLiteral("%1 x %2").arg(picture.width()).arg(picture.height()));
    image.setHintEnabled(true);
}

void ClearPicture(ImageBox& image)
{
    image.setPicture(Picture());
}

} // namespace imaging
