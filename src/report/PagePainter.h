#pragma once

#include "report/Page.h"

class QPainter;

namespace report {

// Draws laid-out pages with a painter, at the resolution of the painter's device: a printer,
// a PDF writer or an image (for the preview and the tests). Paper coordinates are mapped from
// the device's top left corner, shifted by the device's DeviceOffset. A PageCapture keeps the
// page instead, and a PdfWriter draws it with cairo.
class PagePainter
{
public:
    static void paint(const Page& page, QPainter& painter);
};

} // namespace report
