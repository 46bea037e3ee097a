#include "CodeSymbol.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <cmath>
#include <memory>
#include <new>
#include <zint.h>

namespace cards {
namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("cards", text);
}

// zint's foreground: -1, or 7 (black) of its colour numbers; white (8) marks a gap.
bool dark(int colour)
{
    return colour == -1 || colour == 7;
}

// Six corners around the centre; at 0 and 180 degrees a corner points up.
QPolygonF hexagon(const zint_vector_hexagon& h)
{
    const double radius = h.diameter / 2.0;
    const double start = (h.rotation == 90 || h.rotation == 270) ? 0.0 : 90.0;
    QPolygonF corners;
    for (int k = 0; k <= 6; ++k) {
        const double angle = (start + 60.0 * k) * M_PI / 180.0;
        corners << QPointF(h.x + radius * std::cos(angle), h.y - radius * std::sin(angle));
    }
    return corners;
}

QPainterPath modules(const zint_vector& vector)
{
    QPainterPath dots;
    dots.setFillRule(Qt::WindingFill);
    for (const zint_vector_rect* r = vector.rectangles; r; r = r->next) {
        if (dark(r->colour))
            dots.addRect(QRectF(r->x, r->y, r->width, r->height));
    }
    for (const zint_vector_hexagon* h = vector.hexagons; h; h = h->next)
        dots.addPolygon(hexagon(*h));
    // A circle with a width is a ring; one in the background colour is cut out of the rest.
    QPainterPath gaps;
    for (const zint_vector_circle* c = vector.circles; c; c = c->next) {
        QPainterPath circle;
        const QPointF centre(c->x, c->y);
        const double outer = (c->diameter + c->width) / 2.0;
        circle.addEllipse(centre, outer, outer);
        if (c->width > 0) {
            const double inner = (c->diameter - c->width) / 2.0;
            QPainterPath hole;
            hole.addEllipse(centre, inner, inner);
            circle = circle.subtracted(hole);
        }
        (c->colour ? gaps : dots).addPath(circle);
    }
    return gaps.isEmpty() ? dots : dots.subtracted(gaps);
}

QString kindName(CodeElement::Kind kind)
{
    return kind == CodeElement::Kind::Qr ? tr("A QR code") : tr("A Code 128 barcode");
}

} // namespace

report::Symbol codeSymbol(CodeElement::Kind kind, const QString& value)
{
    report::Symbol result;
    if (kind == CodeElement::Kind::None) {
        result.refusal = tr("No code kind is chosen");
        return result;
    }
    const std::unique_ptr<zint_symbol, void (*)(zint_symbol*)> symbol(ZBarcode_Create(),
                                                                      ZBarcode_Delete);
    if (!symbol)
        throw std::bad_alloc();
    const bool qr = kind == CodeElement::Kind::Qr;
    symbol->symbology = qr ? BARCODE_QRCODE : BARCODE_CODE128;
    symbol->input_mode = UNICODE_MODE;
    symbol->output_options |= BARCODE_QUIET_ZONES;
    // The text under the bars is drawn by the report, in its own font.
    symbol->show_hrt = 0;
    if (qr)
        symbol->option_1 = 2; // error correction level M
    const QByteArray utf8 = value.toUtf8();
    const int status = ZBarcode_Encode_and_Buffer_Vector(
        symbol.get(), reinterpret_cast<const unsigned char*>(utf8.constData()), int(utf8.size()),
        0);
    if (status >= ZINT_ERROR || !symbol->vector) {
        // "Error 204: Invalid character ..." without its number.
        QString reason = QString::fromUtf8(symbol->errtxt).trimmed();
        reason.remove(QRegularExpression(QStringLiteral("^(Error|Warning) \\d+:\\s*")));
        result.refusal = tr("%1 cannot hold it: %2").arg(kindName(kind), reason);
        return result;
    }
    result.modules = modules(*symbol->vector);
    result.size = QSizeF(symbol->vector->width, symbol->vector->height);
    if (!qr) {
        result.text = value;
        for (QChar& c : result.text) {
            if (c.category() == QChar::Other_Control)
                c = u' ';
        }
    }
    return result;
}

} // namespace cards
