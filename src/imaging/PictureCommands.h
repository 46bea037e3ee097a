#pragma once

class QWidget;

namespace imaging {

class Picture;

// The pixel operations as the windows call them: each shows a progress window owned by
// owner while it runs and destroys it afterwards, also when the operation fails.
void Rotate90(QWidget* owner, Picture& picture);
void AdjustRGB(QWidget* owner, Picture& picture, int red, int green, int blue);
void AdjustHue(QWidget* owner, Picture& picture, int intensity, int saturation);

} // namespace imaging
