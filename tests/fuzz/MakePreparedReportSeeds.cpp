// Writes the seed corpus of fuzz_preparedreport: prepared report files saved by the program
// itself, from a real card sheet with QR codes, a real check list and a page with every kind
// of item.
// Usage: make_preparedreport_seeds FOLDER (tests/fuzz/corpus/preparedreport).
#include "PrintFixture.h"
#include "cards/print/TqrMemList.h"
#include "report/PreparedReportFile.h"
#include "report/ReportLayout.h"

#include <QDir>
#include <QGuiApplication>
#include <QLocale>
#include <cstdio>

using printfixture::mm;

namespace {

report::Page everyKind()
{
    QImage dot(3, 2, QImage::Format_RGB32);
    dot.fill(Qt::red);
    QImage grey(2, 2, QImage::Format_Grayscale8);
    grey.fill(128);
    report::Page page;
    page.width = mm(60);
    page.height = mm(40);
    page.items.push_back(report::FillItem {{mm(1), mm(1), mm(10), mm(5)}, Qt::yellow});
    page.items.push_back(
        report::FrameItem {{mm(0), mm(0), mm(60), mm(40)}, report::Frame::all(Qt::black, mm(0.5))});
    page.items.push_back(report::ImageItem {{mm(2), mm(2), mm(6), mm(4)}, dot});
    page.items.push_back(report::ImageItem {{mm(12), mm(2), mm(6), mm(4)}, dot});
    page.items.push_back(report::ImageItem {{mm(22), mm(2), mm(4), mm(4)}, grey});
    page.items.push_back(report::LineItem {mm(0), mm(20), mm(40), mm(20), Qt::blue, mm(0.2)});
    page.items.push_back(report::TextItem {mm(5), mm(10), mm(20), mm(4), QStringLiteral("Ann 安"),
                                           QFont(QStringLiteral("Arial"), 9), Qt::black});
    page.items.push_back(report::TextItem {mm(5), mm(15), mm(30), mm(3), QStringLiteral("Cut off"),
                                           QFont(QStringLiteral("Arial"), 6), Qt::black,
                                           report::LengthRect {mm(5), mm(14), mm(10), mm(5)}});
    QPainterPath shapes;
    shapes.addRect(QRectF(30000, 5000, 2000, 8000));
    shapes.addEllipse(QPointF(40000, 10000), 3000, 3000);
    page.items.push_back(report::ShapeItem {shapes, Qt::black});
    return page;
}

bool write(const QDir& dir, const QString& name, const std::vector<report::Page>& pages)
{
    report::savePreparedReport(dir.filePath(name), pages);
    std::printf("%s\n", qPrintable(dir.filePath(name)));
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QLocale::setDefault(QLocale(QLocale::English, QLocale::Australia));
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_preparedreport_seeds FOLDER\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    write(dir, QStringLiteral("every_kind.mrp"), {everyKind()});

    printfixture::PrintDatabase base;
    base.add(0, QStringLiteral("Ann"), QStringLiteral("安"), printfixture::photoBlob(6, 8));
    base.add(0, QStringLiteral("Bob"));
    cards::CardOptions options = printfixture::PrintDatabase::starterOptions();
    options.printBack = true;
    options.background = imaging::Picture(4, 3);
    options.code.kind = cards::CodeElement::Kind::Qr;
    write(dir, QStringLiteral("card_sheet.mrp"), base.cards(options));

    cards::TqrMemList memList(base.dsrc.src);
    write(dir, QStringLiteral("check_list.mrp"),
          report::ReportLayout(printfixture::metrics()).pages(memList.report));
    return 0;
}
