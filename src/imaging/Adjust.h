#pragma once

namespace imaging {

class Picture;
class Progress;

// Colour adjustments. A percentage p scales by (p + 100) / 100; results keep only their low
// eight bits, so bright parts pushed past 255 wrap round. The progress runs from 0 to the
// number of rows - 1 and steps once per row; when it refuses its range (no rows) the picture
// is unchanged.

// Scales the red, green and blue bytes, in integers, the fraction dropped.
void AdjustRGB(Progress& progress, Picture& picture, int red, int green, int blue);
// Scales the luma by intensity and both chroma parts by saturation, in extended precision.
void AdjustHue(Progress& progress, Picture& picture, int intensity, int saturation);

} // namespace imaging
