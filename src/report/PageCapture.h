#pragma once

#include "report/Page.h"

#include <QBuffer>
#include <QPdfWriter>
#include <functional>
#include <vector>

namespace report {

namespace detail {
// The capture's PDF goes to memory and is never used.
struct CaptureSink
{
    CaptureSink() { sink.open(QIODevice::WriteOnly); }
    QBuffer sink;
};
} // namespace detail

// A paint device that keeps the laid-out pages drawn on it as data: PagePainter hands it each
// page instead of drawing it. So whatever draws a report through PagePainter (a fresh layout
// or pages read back from a file) can give its pages to be saved.
class PageCapture : private detail::CaptureSink, public QPdfWriter
{
public:
    PageCapture();

    std::vector<Page> pages;
};

// The pages a render function draws.
std::vector<Page> capturePages(const std::function<void(QPagedPaintDevice*)>& render);

// Draws laid-out pages onto a device, on paper of the first page's size without margins. On a
// printer given a page range, only the pages whose numbers lie in it are drawn. Returns the
// number of pages drawn. Throws data::Error when the device cannot be painted on or does not
// take the paper.
int printPages(const std::vector<Page>& pages, QPagedPaintDevice& device);

} // namespace report
