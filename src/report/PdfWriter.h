#pragma once

#include "report/DeviceOffset.h"
#include "report/Page.h"

#include <QPdfWriter>
#include <functional>
#include <memory>
#include <optional>

class QIODevice;

namespace report {

// A paint device that writes the laid-out pages drawn on it into a PDF of its own: PagePainter
// hands it each page, which it draws with cairo, every page at its own size in whole points,
// shifted by the DeviceOffset in force. Stored JPEG pictures go in as their own bytes and a
// picture used on many pages is stored once. Painting on it other than through PagePainter is
// refused when the PDF is finished. QPdfWriter is its base only so that painters begin on it
// and it takes paper and pages as the Qt writer does; that writer never writes anything.
class PdfWriter : public QPdfWriter
{
public:
    // Writes to out, which must stay open until finish().
    explicit PdfWriter(QIODevice& out);
    ~PdfWriter() override;
    PdfWriter(const PdfWriter&) = delete;
    PdfWriter& operator=(const PdfWriter&) = delete;

    // Only pages whose numbers lie in from..to are drawn (from a printer's page range).
    void setPageRange(int from, int to);

    bool newPage() override;
    QPaintEngine* paintEngine() const override;

    // Draws the page; from PagePainter.
    void drawPage(const Page& page, DeviceOffset::Shift shift);

    // Ends the PDF. Throws data::Error with the reason when it could not be written whole or
    // something was painted that is no laid-out page.
    void finish();

private:
    struct Private;
    std::unique_ptr<Private> d;
};

// Draws render's pages as a PDF at path through a PdfWriter. The PDF is written to a new file
// beside it, which takes path's place only when every byte of it was written; a failure removes
// the new file and leaves an earlier file at path as it was. With a page range, only the pages
// in it are written. Throws data::Error with the reason.
void writePdf(const QString& path, const std::function<void(QPagedPaintDevice*)>& render,
              std::optional<std::pair<int, int>> pageRange = std::nullopt);

} // namespace report
