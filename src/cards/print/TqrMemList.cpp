#include "TqrMemList.h"

#include "DesignConstants.h"
#include "OwnedImage.h"
#include "imaging/Picture.h"
#include "imaging/PictureBlob.h"
#include "imaging/Resample.h"

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
    report.page.columnSpace = mm(3);
    report.page.printIfEmpty = true;
    report.title = QStringLiteral("Member List");
    report.font = QFont(QStringLiteral("Arial"), 10);
    report.fontColor = windowTextColor();
    report.setDataSource(&m_source);

    Band& box = report.setSubDetailBand(mm(61.35), mm(29.27));
    box.color = Qt::white;
    box.frame = Frame::all(Qt::black, Length::points(1));
    box.beforePrint = [this](Band& b, bool& print) { QRSubDetail1BeforePrint(b, print); };
    QRSubDetail1 = &box;
    Band& gap = box.setChild(mm(61.35), mm(1.32));
    gap.color = Qt::white;
    ChildBand1 = &gap;

    qrPhoto = &box.add<ImageControl>(LengthRect {mm(0.53), mm(0.53), mm(20.90), mm(28.05)});
    qrPhoto->frame = Frame::all(Qt::black, Length::points(1));
    addLabel(QRLabel8, 1.32, QStringLiteral("Check List"));
    addLabel(QRLabel9, 20.34, makerWebAddress());

    const char* const columns[] = {"cname", "name", "post", "gdesc", "staffno", "datejoin"};
    const double tops[] = {0.83, 5.29, 9.76, 14.22, 18.69, 23.15};
    for (std::size_t i = 0; i < QRDBText.size(); ++i) {
        auto& text
            = box.add<DataTextControl>(LengthRect {mm(22.32), mm(tops[i]), Length(), mm(4.30)},
                                       QString::fromLatin1(columns[i]));
        text.font = QFont(QStringLiteral("Arial"), 8);
        text.fontColor = windowTextColor();
        QRDBText[i] = &text;
    }

    QRSysData1 = &report.addPageControl({mm(9.92), mm(3.97), mm(19.02), mm(4.30)},
                                        SystemDataControl::Kind::Title);
    QRSysData2 = &report.addPageControl({mm(195.96), mm(288.40), mm(3.97), mm(4.30)},
                                        SystemDataControl::Kind::PageNumber);
}

void TqrMemList::addLabel(LabelControl*& label, double top, const QString& text)
{
    label = &QRSubDetail1->add<LabelControl>(LengthRect {Length(), mm(top), Length(), mm(7.44)},
                                             text);
    label->font = QFont(QStringLiteral("Arial"), 14, QFont::Bold, true);
    label->fontColor = silver();
    label->alignment = TextControl::Alignment::Center;
    label->alignToBand = true;
}

void TqrMemList::QRSubDetail1BeforePrint(Band&, bool&)
{
    imaging::Picture photo;
    // A member without a photo gets an empty box.
    imaging::LoadPhotoFromBlob(data, QStringLiteral("photo"), photo, QSize(120, 160));
    if (!photo.isEmpty())
        imaging::ResizeGraphic(photo, 120, 160);
    qrPhoto->picture = ownedImage(photo);
}

} // namespace cards
