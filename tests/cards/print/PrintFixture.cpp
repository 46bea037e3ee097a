#include "PrintFixture.h"

#include "cards/CardPreview.h"
#include "imaging/Jpeg.h"
#include "imaging/Picture.h"
#include "report/PagePainter.h"
#include "report/TextMetrics.h"

#include <QPainter>

namespace printfixture {

QByteArray photoBlob(int width, int height, QColor colour)
{
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(colour);
    return imaging::encodeJpeg(imaging::Picture::fromImage(image));
}

const report::TextMetrics& metrics()
{
    static const report::TextMetrics shared;
    return shared;
}

QImage paintedPage(const report::Page& page, double dpi, QImage::Format format)
{
    QImage image(qRound(page.width.toDevice(dpi)), qRound(page.height.toDevice(dpi)), format);
    image.setDotsPerMeterX(qRound(dpi / 0.0254));
    image.setDotsPerMeterY(qRound(dpi / 0.0254));
    image.fill(Qt::white);
    QPainter painter(&image);
    report::PagePainter::paint(page, painter);
    return image;
}

QStringList texts(const report::Page& page)
{
    QStringList result;
    for (const auto& item : page.all<report::TextItem>())
        result << item.text;
    return result;
}

const report::TextItem* findText(const report::Page& page, const QString& text)
{
    for (const auto& item : page.items) {
        if (const auto* t = std::get_if<report::TextItem>(&item); t && t->text == text)
            return t;
    }
    return nullptr;
}

PrintDatabase::PrintDatabase()
    : fields(dsrc.src, QStringLiteral("fields"))
{
    dsrc.connectTo(db.path());
    fields.setSql(QStringLiteral("select * from fields"));
    fields.open();
}

qint64 PrintDatabase::add(int gid, const QString& name, const QString& cname,
                          const QByteArray& photo)
{
    return addMember(db, gid, name, cname, QStringLiteral("S-") + name, photo);
}

std::vector<report::Page> PrintDatabase::cards(const cards::CardOptions& options)
{
    dsrc.QList.setSql(QStringList {QStringLiteral("select * from stafftbl"),
                                   QStringLiteral("left join grptbl"),
                                   QStringLiteral("on stafftbl.gid=grptbl.gid")});
    dsrc.QList.open();
    return cards::cardPages(options, fields, dsrc.QList, metrics());
}

cards::CardOptions PrintDatabase::starterOptions()
{
    cards::CardOptions options;
    const int choices[] = {1, 2, 3, 4, 5, 7, 0};
    const char* const captions[] = {"Name", "Chinese", "Staff No", "Post", "Dept", "Expiry", ""};
    for (int k = 0; k < 7; ++k)
        options.slotChoices[std::size_t(k)] = {choices[k], QString::fromLatin1(captions[k])};
    options.font = QFont(QStringLiteral("Arial"), 10);
    return options;
}

} // namespace printfixture
