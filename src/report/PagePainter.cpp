#include "PagePainter.h"

#include "report/DeviceOffset.h"
#include "report/PageCapture.h"
#include "report/PdfWriter.h"
#include "report/TextMetrics.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace report {
namespace {

constexpr double maxImageDpi = 600;

class Device
{
public:
    explicit Device(QPainter& painter)
        : m_painter(painter)
        , m_dpiX(painter.device()->logicalDpiX())
        , m_dpiY(painter.device()->logicalDpiY())
    { }

    double x(Length value) const { return value.toDevice(m_dpiX); }
    double y(Length value) const { return value.toDevice(m_dpiY); }
    QRectF rect(const LengthRect& r) const
    {
        return QRectF(QPointF(x(r.left), y(r.top)), QPointF(x(r.right()), y(r.bottom())));
    }

    void operator()(const FillItem& item) const { m_painter.fillRect(rect(item.rect), item.color); }

    // Each side is a strip of the frame's width inside the rectangle.
    void operator()(const FrameItem& item) const
    {
        const QRectF r = rect(item.rect);
        const double w = std::max(1.0, x(item.frame.width));
        const double h = std::max(1.0, y(item.frame.width));
        const QColor& c = item.frame.color;
        if (item.frame.left)
            m_painter.fillRect(QRectF(r.left(), r.top(), w, r.height()), c);
        if (item.frame.right)
            m_painter.fillRect(QRectF(r.right() - w, r.top(), w, r.height()), c);
        if (item.frame.top)
            m_painter.fillRect(QRectF(r.left(), r.top(), r.width(), h), c);
        if (item.frame.bottom)
            m_painter.fillRect(QRectF(r.left(), r.bottom() - h, r.width(), h), c);
    }

    // A picture from a source is decoded no larger than the device shows it, and at most at
    // maxImageDpi of its rectangle.
    void operator()(const ImageItem& item) const
    {
        const QRectF r = rect(item.rect);
        if (!item.source) {
            m_painter.drawImage(r, item.image);
            return;
        }
        const QRectF shown = m_painter.combinedTransform().mapRect(r);
        const auto side = [](double shownPixels, Length length) {
            return std::max(
                1, int(std::ceil(std::min(shownPixels, length.toDevice(maxImageDpi)) - 1e-9)));
        };
        m_painter.drawImage(r,
                            item.pixels(QSize(side(shown.width(), item.rect.width),
                                              side(shown.height(), item.rect.height))));
    }

    void operator()(const LineItem& item) const
    {
        QPen pen(item.color);
        pen.setWidthF(x(item.width)); // zero: one device pixel
        m_painter.setPen(pen);
        m_painter.drawLine(QPointF(x(item.x1), y(item.y1)), QPointF(x(item.x2), y(item.y2)));
    }

    // Drawn at the measuring resolution and scaled down to the device, so that the glyphs
    // stand where the layout measured them on any device.
    void operator()(const TextItem& item) const
    {
        const double factor = TextMetrics::measuringDpi / m_dpiY;
        QFont font = TextMetrics::printFont(item.font);
        if (font.pixelSize() > 0)
            font.setPixelSize(qRound(font.pixelSize() * factor));
        else
            font.setPointSizeF(font.pointSizeF() * factor);
        m_painter.save();
        if (item.clip)
            m_painter.setClipRect(rect(*item.clip), Qt::IntersectClip);
        m_painter.translate(x(item.left), y(item.top));
        m_painter.scale(m_dpiX / TextMetrics::measuringDpi, m_dpiY / TextMetrics::measuringDpi);
        m_painter.setFont(font);
        m_painter.setPen(item.color);
        const double ascent = QFontMetricsF(font, m_painter.device()).ascent();
        m_painter.drawText(QPointF(0, ascent), item.text);
        m_painter.restore();
    }

    void operator()(const ShapeItem& item) const
    {
        m_painter.save();
        m_painter.scale(m_dpiX / 25400.0, m_dpiY / 25400.0);
        m_painter.fillPath(item.path, item.color);
        m_painter.restore();
    }

private:
    QPainter& m_painter;
    double m_dpiX;
    double m_dpiY;
};

} // namespace

void PagePainter::paint(const Page& page, QPainter& painter)
{
    if (auto* capture = dynamic_cast<PageCapture*>(painter.device())) {
        capture->pages.push_back(page);
        return;
    }
    if (auto* pdf = dynamic_cast<PdfWriter*>(painter.device())) {
        pdf->drawPage(page, DeviceOffset::of(pdf));
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    const Device device(painter);
    if (const DeviceOffset::Shift shift = DeviceOffset::of(painter.device());
        shift.x != Length() || shift.y != Length())
        painter.translate(device.x(shift.x), device.y(shift.y));
    for (const PageItem& item : page.items)
        std::visit(device, item);
    painter.restore();
}

} // namespace report
