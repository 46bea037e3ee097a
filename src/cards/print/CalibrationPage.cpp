#include "CalibrationPage.h"

#include "CardPrinterPage.h"
#include "report/TextMetrics.h"

#include <QCoreApplication>

namespace cards {
namespace {

using report::Length;
using report::mm;

const Length rulerOverrun = mm(10);
const Length thin = mm(0.1);

class Builder
{
public:
    Builder(report::Page& page, const report::TextMetrics& metrics)
        : m_page(page)
        , m_metrics(metrics)
        , m_font(QStringLiteral("Arial"), 5)
    { }

    void line(Length x1, Length y1, Length x2, Length y2)
    {
        m_page.items.push_back(report::LineItem {x1, y1, x2, y2, Qt::black, thin});
    }

    void text(Length left, Length top, const QString& text)
    {
        m_page.items.push_back(report::TextItem {left, top, m_metrics.width(m_font, text),
                                                 m_metrics.lineHeight(m_font), text, m_font,
                                                 Qt::black});
    }

    // The tick at every millimetre from the paper's edge: 1.5 mm long, 2.5 at every fifth,
    // 4 at every tenth, which is numbered. Ticks stand inward from the edge at 'edge' across.
    void ruler(bool horizontal, Length length, Length edge, bool inwardIsPositive)
    {
        const int last = int((length + rulerOverrun).micrometres() / 1000);
        for (int at = -10; at <= last; ++at) {
            const Length tick = at % 10 == 0 ? mm(4) : at % 5 == 0 ? mm(2.5) : mm(1.5);
            const Length along = mm(at);
            const Length inner = inwardIsPositive ? edge + tick : edge - tick;
            if (horizontal)
                line(along, edge, along, inner);
            else
                line(edge, along, inner, along);
            if (at % 10 != 0 || at <= 0 || along >= length)
                continue;
            const QString number = QString::number(at);
            const Length width = m_metrics.width(m_font, number);
            const Length height = m_metrics.lineHeight(m_font);
            const Length gap = mm(4.3);
            if (horizontal)
                text(along - width / 2, inwardIsPositive ? edge + gap : edge - gap - height,
                     number);
            else
                text(inwardIsPositive ? edge + gap : edge - gap - width, along - height / 2,
                     number);
        }
    }

    void cross(Length x, Length y)
    {
        const Length arm = mm(3);
        line(x - arm, y, x + arm, y);
        line(x, y - arm, x, y + arm);
    }

    void card(Length left, Length top, Length width, Length height)
    {
        for (const Length x : {left, left + width})
            for (const Length y : {top, top + height})
                cross(x, y);
        cross(left + width / 2, top + height / 2);
    }

private:
    report::Page& m_page;
    const report::TextMetrics& m_metrics;
    QFont m_font;
};

} // namespace

report::Page calibrationPage(CalibrationPaper paper, const QString& printer,
                             const PrintOffset& offset, const report::TextMetrics& metrics)
{
    report::Page page;
    const bool a4 = paper == CalibrationPaper::A4;
    page.width = a4 ? mm(210) : cardLongSide();
    page.height = a4 ? mm(297) : cardShortSide();
    Builder draw(page, metrics);
    draw.ruler(true, page.width, Length(), true);
    draw.ruler(true, page.width, page.height, false);
    draw.ruler(false, page.height, Length(), true);
    draw.ruler(false, page.height, page.width, false);
    if (a4) {
        // The cells of the landscape card sheets: two across, five down.
        for (int column = 0; column < 2; ++column)
            for (int row = 0; row < 5; ++row)
                draw.card(mm(10 + 100 * column), mm(10 + 54 * row), mm(85.5), mm(54));
    } else {
        draw.card(Length(), Length(), page.width, page.height);
    }
    const auto tr = [](const char* text) { return QCoreApplication::translate("cards", text); };
    const Length left = a4 ? mm(30) : mm(12);
    const Length top = a4 ? mm(140) : mm(12);
    const QString lines[] = {
        tr("Calibration page for %1").arg(printerTitle(printer)),
        tr("Printed with the offset x %1 mm, y %2 mm")
            .arg(offsetText(offset.x), offsetText(offset.y)),
        tr("Where an edge of the paper cuts its ruler, add the mark there"),
        tr("to that offset: left edge for x, top edge for y."),
    };
    Length y = top;
    for (const QString& line : lines) {
        draw.text(left, y, line);
        y += mm(2.6);
    }
    return page;
}

} // namespace cards
