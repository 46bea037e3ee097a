#include "PictureCommands.h"

#include "Adjust.h"
#include "Rotate.h"
#include "TPg.h"

namespace imaging {

void Rotate90(QWidget* owner, Picture& picture)
{
    TPg progress(owner);
    Rotate90(static_cast<Progress&>(progress), picture);
}

void AdjustRGB(QWidget* owner, Picture& picture, int red, int green, int blue)
{
    TPg progress(owner);
    AdjustRGB(static_cast<Progress&>(progress), picture, red, green, blue);
}

void AdjustHue(QWidget* owner, Picture& picture, int intensity, int saturation)
{
    TPg progress(owner);
    AdjustHue(static_cast<Progress&>(progress), picture, intensity, saturation);
}

} // namespace imaging
