#include "TqrMemList.h"

#include "DesignConstants.h"
#include "PhotoSource.h"

namespace cards {
TqrMemList::TqrMemList(data::Connection& src)
    : data(src, QStringLiteral("data"))
    , m_source(data)
{
    data.setSql(QStringList {QStringLiteral("select * from stafftbl"),
                             QStringLiteral("left join grptbl on stafftbl.gid=grptbl.gid"),
                             QStringLiteral("order by stafftbl.gid,name")});
    data.open();

    report.page.columns = 3;
    report.page.columnSpace = report::mm(3);
    report.page.printIfEmpty = true;
    report.title = QStringLiteral("Member List");
    report.font = QFont(QStringLiteral("Arial"), 10);
    report.fontColor = windowTextColor();
    report.setDataSource(&m_source);

    report::Band& box = report.setSubDetailBand(report::mm(61.35), report::mm(29.27));
    box.color = Qt::white;
    box.frame = report::Frame::all(Qt::black, report::Length::points(1));
    box.beforePrint = [this](report::Band& b, bool& print) { QRSubDetail1BeforePrint(b, print); };
    QRSubDetail1 = &box;
    report::Band& gap = box.setChild(report::mm(61.35), report::mm(1.32));
    gap.color = Qt::white;
    ChildBand1 = &gap;

    qrPhoto = &box.add<report::ImageControl>(report::LengthRect {
        report::mm(0.53), report::mm(0.53), report::mm(20.90), report::mm(28.05)});
    qrPhoto->frame = report::Frame::all(Qt::black, report::Length::points(1));
    addLabel(QRLabel8, 1.32, QStringLiteral("Check List"));
    addLabel(QRLabel9, 20.34, makerWebAddress());

    const char* const columns[] = {"cname", "name", "post", "gdesc", "staffno", "datejoin"};
    const double tops[] = {0.83, 5.29, 9.76, 14.22, 18.69, 23.15};
    for (std::size_t i = 0; i < QRDBText.size(); ++i) {
        auto& text = box.add<report::DataTextControl>(
            report::LengthRect {report::mm(22.32), report::mm(tops[i]), report::Length(),
                                report::mm(4.30)},
            QString::fromLatin1(columns[i]));
        text.font = QFont(QStringLiteral("Arial"), 8);
        text.fontColor = windowTextColor();
        QRDBText[i] = &text;
    }

    QRSysData1 = &report.addPageControl(
        {report::mm(9.92), report::mm(3.97), report::mm(19.02), report::mm(4.30)},
        report::SystemDataControl::Kind::Title);
    QRSysData2 = &report.addPageControl(
        {report::mm(195.96), report::mm(288.40), report::mm(3.97), report::mm(4.30)},
        report::SystemDataControl::Kind::PageNumber);
}

void TqrMemList::addLabel(report::LabelControl*& label, double top, const QString& text)
{
    label = &QRSubDetail1->add<report::LabelControl>(
        report::LengthRect {report::Length(), report::mm(top), report::Length(), report::mm(7.44)},
        text);
    label->font = QFont(QStringLiteral("Arial"), 14, QFont::Bold, true);
    label->fontColor = silver();
    label->alignment = report::TextControl::Alignment::Center;
    label->alignToBand = true;
}

void TqrMemList::QRSubDetail1BeforePrint(report::Band&, bool&)
{
    // A member without a photo gets an empty box.
    const QByteArray bytes = storedPhoto(data);
    qrPhoto->picture = QImage();
    qrPhoto->source = bytes.isEmpty() ? nullptr : PhotoSource::resampled(bytes, QSize(120, 160));
}

} // namespace cards
