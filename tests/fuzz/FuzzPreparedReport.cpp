// Prepared report files: any bytes are read or refused with an error; what is read is saved
// again to bytes that read back, and its pages are drawn. Texts are left out of the drawing:
// a font family made up by the fuzzer sends fontconfig into lookups whose caches it never
// frees, which LeakSanitizer reports as leaks that are not ours; reading the fonts stays in.
#include "data/Error.h"
#include "report/PagePainter.h"
#include "report/PreparedReportFile.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    const QByteArray input
        = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes), qsizetype(size));
    std::vector<report::Page> pages;
    try {
        pages = report::decodePreparedReport(input);
    } catch (const data::Error&) {
        return 0;
    }
    try {
        if (report::decodePreparedReport(report::encodePreparedReport(pages)).size()
            != pages.size())
            std::abort();
    } catch (const data::Error&) {
        std::abort(); // what was read must save and read back
    }
    QImage image(120, 170, QImage::Format_ARGB32_Premultiplied);
    image.setDotsPerMeterX(600); // about 15 dots per inch
    image.setDotsPerMeterY(600);
    for (report::Page& page : pages) {
        std::erase_if(page.items, [](const report::PageItem& item) {
            return std::holds_alternative<report::TextItem>(item);
        });
        image.fill(Qt::white);
        QPainter painter(&image);
        report::PagePainter::paint(page, painter);
    }
    return 0;
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv); // fonts and pictures need a GUI application
    return 0;
}
