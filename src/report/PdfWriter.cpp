#include "PdfWriter.h"

#include "data/Error.h"
#include "data/OutputFile.h"
#include "imaging/JpegInfo.h"
#include "report/CairoText.h"

#include <QDir>
#include <QIODevice>
#include <QPaintEngine>
#include <QSaveFile>
#include <cairo-pdf.h>
#include <cairo.h>
#include <unordered_map>

namespace report {
namespace {

// The painter's engine on the writer. Pages come through PagePainter; anything painted
// otherwise is noted, so that it is refused instead of missing from the PDF.
class RefusingEngine : public QPaintEngine
{
public:
    RefusingEngine()
        : QPaintEngine(QPaintEngine::AllFeatures)
    { }

    bool painted = false;

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override { }
    Type type() const override { return QPaintEngine::User; }
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override { painted = true; }
    void drawImage(const QRectF&, const QImage&, const QRectF&, Qt::ImageConversionFlags) override
    {
        painted = true;
    }
    void drawPath(const QPainterPath&) override { painted = true; }
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override { painted = true; }
    void drawPolygon(const QPoint*, int, PolygonDrawMode) override { painted = true; }
    void drawTextItem(const QPointF&, const QTextItem&) override { painted = true; }
    void drawRects(const QRectF*, int) override { painted = true; }
    void drawRects(const QRect*, int) override { painted = true; }
    void drawLines(const QLineF*, int) override { painted = true; }
    void drawLines(const QLine*, int) override { painted = true; }
    void drawEllipse(const QRectF&) override { painted = true; }
    void drawPoints(const QPointF*, int) override { painted = true; }
    void drawTiledPixmap(const QRectF&, const QPixmap&, const QPointF&) override { painted = true; }
};

data::Error cannotWrite(const QString& path, const QString& reason)
{
    return data::Error(
        QStringLiteral("Cannot write the file %1: %2").arg(QDir::toNativeSeparators(path), reason));
}

double um(Length value)
{
    return double(value.micrometres());
}

void setColour(cairo_t* cr, const QColor& colour)
{
    const QColor rgb = colour.toRgb();
    cairo_set_source_rgba(cr, rgb.redF(), rgb.greenF(), rgb.blueF(), rgb.alphaF());
}

void fillRect(cairo_t* cr, double x, double y, double w, double h, const QColor& colour)
{
    setColour(cr, colour);
    cairo_rectangle(cr, x, y, w, h);
    cairo_fill(cr);
}

void freeBytes(void* bytes)
{
    delete static_cast<QByteArray*>(bytes);
}

// A surface that carries the JPEG bytes, which cairo's PDF surface stores as they are: it takes
// the picture's size from the JPEG's frame header and draws the picture over the surface, so the
// surface has a single pixel that is never shown. (A surface of the picture's size would have
// its unused pixels copied on every page it is drawn on.)
cairo_surface_t* jpegSurface(const QByteArray& jpeg)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1);
    auto* bytes = new QByteArray(jpeg);
    cairo_surface_set_mime_data(surface, CAIRO_MIME_TYPE_JPEG,
                                reinterpret_cast<const unsigned char*>(bytes->constData()),
                                static_cast<unsigned long>(bytes->size()), freeBytes, bytes);
    return surface;
}

// The pixels, stored without loss.
cairo_surface_t* pixelSurface(const QImage& image)
{
    const bool alpha = image.hasAlphaChannel();
    const QImage pixels
        = image.convertToFormat(alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    cairo_surface_t* surface = cairo_image_surface_create(
        alpha ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24, pixels.width(), pixels.height());
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const auto rowBytes = size_t(pixels.width()) * 4;
    for (int y = 0; y < pixels.height(); ++y)
        std::memcpy(data + qsizetype(y) * stride, pixels.constScanLine(y), rowBytes);
    cairo_surface_mark_dirty(surface);
    return surface;
}

} // namespace

struct PdfWriter::Private
{
    QIODevice& out;
    QString error;
    bool discard = false;
    bool finished = false;
    int from = 1;
    int to = std::numeric_limits<int>::max();
    bool pageOpen = false; // something was drawn on the current page
    bool pageEnded = false; // a new page was asked for since
    RefusingEngine engine;
    CairoText text;
    cairo_surface_t* surface = nullptr;
    cairo_t* cr = nullptr;

    // The pictures of the page being drawn and of the page before, so that a picture used on
    // every page is made into a surface once and stored in the PDF once, while the pictures of
    // one page only are let go after the next one.
    struct Picture
    {
        cairo_surface_t* surface = nullptr;
        QImage image; // holds the cache key
        std::shared_ptr<const ImageSource> source;
    };
    std::unordered_map<qint64, Picture> pictures;
    std::unordered_map<qint64, Picture> previous;

    explicit Private(QIODevice& device)
        : out(device)
    { }

    static cairo_status_t write(void* closure, const unsigned char* data, unsigned int length)
    {
        auto* d = static_cast<Private*>(closure);
        if (d->discard)
            return CAIRO_STATUS_WRITE_ERROR;
        const qint64 written = d->out.write(reinterpret_cast<const char*>(data), length);
        if (written != qint64(length)) {
            if (d->error.isEmpty())
                d->error = d->out.errorString();
            return CAIRO_STATUS_WRITE_ERROR;
        }
        return CAIRO_STATUS_SUCCESS;
    }

    void letGo(std::unordered_map<qint64, Picture>& map)
    {
        for (auto& [key, picture] : map)
            cairo_surface_destroy(picture.surface);
        map.clear();
    }

    void endPage()
    {
        letGo(previous);
        previous.swap(pictures);
    }

    cairo_surface_t* picture(const ImageItem& item, QSize fit)
    {
        // A source is known by its object, a bare picture by its pixels' cache key.
        const qint64 key = item.source ? qint64(reinterpret_cast<quintptr>(item.source.get()))
                                       : item.image.cacheKey();
        const bool bySource = bool(item.source);
        auto found = pictures.find(key);
        if (found == pictures.end()) {
            if (auto old = previous.find(key); old != previous.end()) {
                found = pictures.insert(*old).first;
                previous.erase(old);
            }
        }
        if (found != pictures.end() && bool(found->second.source) == bySource)
            return found->second.surface;

        Picture made;
        if (item.source) {
            made.source = item.source;
            if (const QByteArray jpeg = item.source->jpeg(); imaging::inspectJpeg(jpeg).embeddable)
                made.surface = jpegSurface(jpeg);
            else
                made.surface = pixelSurface(item.source->image(fit));
        } else {
            made.image = item.image;
            made.surface = pixelSurface(item.image);
        }
        if (found != pictures.end()) {
            cairo_surface_destroy(found->second.surface);
            found->second = made;
        } else {
            pictures.emplace(key, made);
        }
        return made.surface;
    }
};

PdfWriter::PdfWriter(QIODevice& out)
    : QPdfWriter(QString())
    , d(std::make_unique<Private>(out))
{
    d->surface = cairo_pdf_surface_create_for_stream(&Private::write, d.get(), 1, 1);
    cairo_pdf_surface_set_metadata(d->surface, CAIRO_PDF_METADATA_CREATOR, "Melbrin");
    d->cr = cairo_create(d->surface);
}

PdfWriter::~PdfWriter()
{
    if (!d->finished)
        d->discard = true;
    d->letGo(d->pictures);
    d->letGo(d->previous);
    cairo_destroy(d->cr);
    cairo_surface_destroy(d->surface);
}

void PdfWriter::setPageRange(int from, int to)
{
    d->from = from;
    d->to = to;
}

QPaintEngine* PdfWriter::paintEngine() const
{
    return &d->engine;
}

bool PdfWriter::newPage()
{
    if (d->pageOpen)
        d->pageEnded = true;
    return true;
}

void PdfWriter::drawPage(const Page& page, DeviceOffset::Shift shift)
{
    if (page.number < d->from || page.number > d->to)
        return;
    cairo_t* cr = d->cr;
    if (d->pageEnded) {
        cairo_show_page(cr);
        d->endPage();
        d->pageEnded = false;
        d->pageOpen = false;
    }
    if (!d->pageOpen) {
        // In whole points, as printers and the Qt writer take paper sizes.
        cairo_pdf_surface_set_size(d->surface, std::round(page.width.toMm() * 72 / 25.4),
                                   std::round(page.height.toMm() * 72 / 25.4));
        d->pageOpen = true;
    }
    const double dpi = logicalDpiX();
    // The narrowest frame strip: one pixel of the Qt writer's resolution.
    const double pixel = 25400.0 / dpi;

    cairo_save(cr);
    cairo_scale(cr, 72.0 / 25400.0, 72.0 / 25400.0); // micrometres
    cairo_translate(cr, um(shift.x), um(shift.y));
    for (const PageItem& any : page.items) {
        if (const auto* fill = std::get_if<FillItem>(&any)) {
            const LengthRect& r = fill->rect;
            fillRect(cr, um(r.left), um(r.top), um(r.width), um(r.height), fill->color);
        } else if (const auto* frame = std::get_if<FrameItem>(&any)) {
            // Each side is a strip of the frame's width inside the rectangle.
            const LengthRect& r = frame->rect;
            const Frame& f = frame->frame;
            const double w = std::max(pixel, um(f.width));
            if (f.left)
                fillRect(cr, um(r.left), um(r.top), w, um(r.height), f.color);
            if (f.right)
                fillRect(cr, um(r.right()) - w, um(r.top), w, um(r.height), f.color);
            if (f.top)
                fillRect(cr, um(r.left), um(r.top), um(r.width), w, f.color);
            if (f.bottom)
                fillRect(cr, um(r.left), um(r.bottom()) - w, um(r.width), w, f.color);
        } else if (const auto* image = std::get_if<ImageItem>(&any)) {
            const LengthRect& r = image->rect;
            if (r.width <= Length() || r.height <= Length())
                continue;
            // Pixels no finer than 600 dots per inch at the printed size.
            const QSize fit(int(std::ceil(r.width.toDevice(600))),
                            int(std::ceil(r.height.toDevice(600))));
            cairo_surface_t* surface = d->picture(*image, fit);
            const int width = cairo_image_surface_get_width(surface);
            const int height = cairo_image_surface_get_height(surface);
            if (width <= 0 || height <= 0)
                continue;
            cairo_save(cr);
            cairo_translate(cr, um(r.left), um(r.top));
            cairo_scale(cr, um(r.width) / width, um(r.height) / height);
            cairo_set_source_surface(cr, surface, 0, 0);
            cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
            cairo_paint(cr);
            cairo_restore(cr);
        } else if (const auto* line = std::get_if<LineItem>(&any)) {
            cairo_save(cr);
            setColour(cr, line->color);
            if (line->width > Length()) {
                cairo_set_line_width(cr, um(line->width));
            } else {
#if CAIRO_VERSION >= CAIRO_VERSION_ENCODE(1, 18, 0)
                cairo_set_hairline(cr, true);
#else
                // The Qt writer's hairline (a width of 0, the device's thinnest line) as one
                // pixel of its resolution: viewers and printers draw either as their thinnest
                // line along the page's axes.
                cairo_set_line_width(cr, pixel);
#endif
            }
            cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE);
            cairo_move_to(cr, um(line->x1), um(line->y1));
            cairo_line_to(cr, um(line->x2), um(line->y2));
            cairo_stroke(cr);
            cairo_restore(cr);
        } else if (const auto* text = std::get_if<TextItem>(&any)) {
            d->text.draw(cr, *text, logicalDpiY());
        } else if (const auto* shape = std::get_if<ShapeItem>(&any)) {
            const QPainterPath& path = shape->path;
            cairo_new_path(cr);
            for (int e = 0; e < path.elementCount(); ++e) {
                const QPainterPath::Element el = path.elementAt(e);
                if (el.isMoveTo()) {
                    cairo_move_to(cr, el.x, el.y);
                } else if (el.isLineTo()) {
                    cairo_line_to(cr, el.x, el.y);
                } else if (el.isCurveTo() && e + 2 < path.elementCount()) {
                    const QPainterPath::Element c1 = path.elementAt(e + 1);
                    const QPainterPath::Element c2 = path.elementAt(e + 2);
                    cairo_curve_to(cr, el.x, el.y, c1.x, c1.y, c2.x, c2.y);
                    e += 2;
                }
            }
            cairo_set_fill_rule(cr,
                                path.fillRule() == Qt::OddEvenFill ? CAIRO_FILL_RULE_EVEN_ODD
                                                                   : CAIRO_FILL_RULE_WINDING);
            setColour(cr, shape->color);
            cairo_fill(cr);
        }
    }
    cairo_restore(cr);
}

void PdfWriter::finish()
{
    if (d->finished)
        return;
    d->finished = true;
    cairo_surface_finish(d->surface);
    d->letGo(d->pictures);
    d->letGo(d->previous);
    if (d->engine.painted) {
        throw data::Error(QStringLiteral(
            "Something was drawn that is no laid-out page; it cannot go into a PDF"));
    }
    const cairo_status_t status = cairo_surface_status(d->surface);
    if (status != CAIRO_STATUS_SUCCESS) {
        throw data::Error(d->error.isEmpty() ? QString::fromUtf8(cairo_status_to_string(status))
                                             : d->error);
    }
}

void writePdf(const QString& path, const std::function<void(QPagedPaintDevice*)>& render,
              std::optional<std::pair<int, int>> pageRange)
{
    data::checkOutput(path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw cannotWrite(path, file.errorString());
    {
        PdfWriter writer(file);
        if (pageRange)
            writer.setPageRange(pageRange->first, pageRange->second);
        render(&writer);
        try {
            writer.finish();
        } catch (const data::Error& e) {
            throw cannotWrite(path, e.message());
        }
    }
    if (!file.commit())
        throw cannotWrite(path, file.errorString());
}

} // namespace report
