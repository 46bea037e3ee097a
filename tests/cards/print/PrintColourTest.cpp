// Reports print their texts in black on any desktop theme: a dark palette, whose window text
// is light, changes nothing on paper or in the preview.

#include "PrintFixture.h"
#include "cards/print/TqrMemList.h"
#include "report/ReportLayout.h"

#include <QGuiApplication>
#include <QImage>
#include <QPalette>
#include <gtest/gtest.h>

using namespace printfixture;

namespace {

constexpr double dpi = 150;

// A desktop theme with light text on dark windows, for as long as it lives.
class DarkDesktop
{
public:
    DarkDesktop()
        : m_saved(QGuiApplication::palette())
    {
        QPalette dark;
        for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            dark.setColor(role, QColor(0xE0, 0xE0, 0xE0));
        for (auto role : {QPalette::Window, QPalette::Base, QPalette::Button})
            dark.setColor(role, QColor(0x20, 0x20, 0x20));
        QGuiApplication::setPalette(dark);
    }
    ~DarkDesktop() { QGuiApplication::setPalette(m_saved); }

private:
    QPalette m_saved;
};

QImage render(const report::Page& page)
{
    return printfixture::paintedPage(page, dpi);
}

// The darkest pixel drawn where the text stands, as its largest colour channel.
int darkest(const QImage& image, const report::TextItem& text)
{
    const QRect box = QRectF(QPointF(text.left.toDevice(dpi), text.top.toDevice(dpi)),
                             QPointF((text.left + text.width).toDevice(dpi),
                                     (text.top + text.height).toDevice(dpi)))
                          .toAlignedRect()
                          .intersected(image.rect());
    int result = 255;
    for (int y = box.top(); y <= box.bottom(); ++y) {
        for (int x = box.left(); x <= box.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            result = std::min(result, std::max({c.red(), c.green(), c.blue()}));
        }
    }
    return result;
}

// Every named text is on the page and drawn in black, both in the layout and in the pixels.
void expectBlack(const report::Page& page, const QStringList& names)
{
    const QImage image = render(page);
    for (const QString& name : names) {
        const report::TextItem* text = findText(page, name);
        ASSERT_TRUE(text) << name.toStdString();
        EXPECT_TRUE(text->color == QColor(Qt::black)) << name.toStdString();
        EXPECT_LE(darkest(image, *text), 40) << name.toStdString();
    }
}

} // namespace

TEST(PrintColour, CardTextsAndCaptionsAreBlackOnADarkDesktop)
{
    const DarkDesktop dark;
    PrintDatabase base;
    base.add(0, QStringLiteral("Nightshade"), QStringLiteral("CN"));
    const auto pages = base.cards(PrintDatabase::starterOptions());
    ASSERT_EQ(pages.size(), 1u);
    expectBlack(pages[0],
                {QStringLiteral("Nightshade"), QStringLiteral("S-Nightshade"),
                 QStringLiteral("Name"), QStringLiteral("Staff No")});
}

TEST(PrintColour, CheckListTextsTitleAndPageNumberAreBlackOnADarkDesktop)
{
    const DarkDesktop dark;
    PrintDatabase base;
    base.add(0, QStringLiteral("Nightshade"));
    cards::TqrMemList memList(base.dsrc.src);
    const auto pages = report::ReportLayout(metrics()).pages(memList.report);
    ASSERT_EQ(pages.size(), 1u);
    expectBlack(pages[0],
                {QStringLiteral("Nightshade"), QStringLiteral("S-Nightshade"),
                 QStringLiteral("Member List"), QStringLiteral("1")});
}
