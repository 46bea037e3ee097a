#include "CardReport.h"

#include "DesignConstants.h"
#include "PhotoSource.h"
#include "data/Query.h"

namespace cards {

CardReport::CardReport(data::Query& rows, int columns, report::Length bandWidth,
                       report::Length bandHeight)
    : m_rows(rows)
    , m_source(rows)
{
    report.page.columns = columns;
    report.page.columnSpace = report::Length::mm(10);
    report.page.printIfEmpty = true;
    report.font = QFont(QStringLiteral("Arial"), 10);
    report.fontColor = windowTextColor();
    report.setDataSource(&m_source);
    report::Band& detail = report.setDetailBand(bandWidth, bandHeight);
    detail.color = Qt::white;
    detail.beforePrint = [this](report::Band& b, bool& print) { DetailBand1BeforePrint(b, print); };
}

void CardReport::DetailBand1BeforePrint(report::Band&, bool&)
{
    if (m_rows.eof())
        return;
    // A member without a photo leaves the background showing in its place.
    const QByteArray bytes = storedPhoto(m_rows);
    qrPhoto->picture = QImage();
    qrPhoto->source = bytes.isEmpty()
        ? nullptr
        : PhotoSource::forBox(bytes, qrPhoto->rect.width, qrPhoto->rect.height);
}

void CardReport::addBackground(report::Length width, report::Length height)
{
    QRImage1 = &band().add<report::ImageControl>(
        report::LengthRect {report::Length(), report::Length(), width, height});
}

void CardReport::addPhoto(report::LengthRect rect)
{
    qrPhoto = &band().add<report::ImageControl>(rect);
}

report::LabelControl& CardReport::addWatermark(report::Length top, report::Length height,
                                               int points, const QString& text)
{
    auto& label = band().add<report::LabelControl>(
        report::LengthRect {report::Length(), top, report::Length(), height}, text);
    label.font = QFont(QStringLiteral("Arial"), points, QFont::Bold, true);
    label.fontColor = silver();
    label.alignment = report::TextControl::Alignment::Center;
    label.alignToBand = true;
    return label;
}

report::LabelControl& CardReport::addSample(report::Length top, report::Length height, int points)
{
    QRLabel8 = &addWatermark(top, height, points, QStringLiteral("SAMPLE"));
    return *QRLabel8;
}

report::LabelControl& CardReport::addAddress(report::Length top, report::Length height, int points)
{
    QRLabel9 = &addWatermark(top, height, points, makerWebAddress());
    return *QRLabel9;
}

void CardReport::addSlot(int index, const SlotPlace& place)
{
    const report::Length down = pitch(index);
    auto& value
        = band().add<report::DataTextControl>(place.data.translated(report::Length(), down));
    value.font = report.font;
    value.fontColor = report.fontColor;

    // Right-justified: the design width only fixes the right edge.
    const report::Length designWidth = report::Length::mm(10);
    auto& caption = band().add<report::LabelControl>(
        report::LengthRect {place.captionRight - designWidth, place.captionTop + down, designWidth,
                            place.captionHeight},
        QStringLiteral("QRLabel%1").arg(index + 1));
    caption.font = QFont(QStringLiteral("Arial"), 7, QFont::Normal, true);
    caption.fontColor = windowTextColor();
    caption.alignment = report::TextControl::Alignment::Right;

    auto& line = band().add<report::LineControl>(place.line.translated(report::Length(), down));

    QRDBText[std::size_t(index)] = &value;
    QRLabel[std::size_t(index)] = &caption;
    QRShape[std::size_t(index)] = &line;
}

} // namespace cards
