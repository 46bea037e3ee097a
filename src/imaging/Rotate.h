#pragma once

class QWidget;

namespace imaging {

class Picture;
class Progress;

// Turns picture a quarter turn counter-clockwise: the right-hand column becomes the top row.
// The progress runs from 0 to the source's height - 1 and steps once per source row; its
// range refusal (a picture with no rows) leaves the picture unchanged.
void Rotate90(Progress& progress, Picture& picture);

} // namespace imaging
