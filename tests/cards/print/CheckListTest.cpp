// The check list: member boxes three columns across, 27 to a page, by group and name.

#include "PrintFixture.h"
#include "cards/print/TqrMemList.h"
#include "report/ReportLayout.h"

#include <gtest/gtest.h>

using namespace printfixture;
using Points = std::vector<std::pair<double, double>>;

namespace {

std::vector<report::Page> checkList(PrintDatabase& base)
{
    cards::TqrMemList memList(base.dsrc.src);
    return report::ReportLayout(metrics()).pages(memList.report);
}

Points boxes(const report::Page& page)
{
    Points result;
    for (const auto& frame : page.all<report::FrameItem>()) {
        if (frame.rect.width == mm(61.35))
            result.emplace_back(frame.rect.left.toTenths(), frame.rect.top.toTenths());
    }
    return result;
}

TEST(CheckList, TwentyEightMembersMakeTwoPagesNumberedAtTheFoot)
{
    PrintDatabase base;
    for (int i = 1; i <= 28; ++i)
        base.add(0, QStringLiteral("Member %1").arg(i, 2, 10, QChar(u'0')));
    const auto pages = checkList(base);
    ASSERT_EQ(pages.size(), 2u);

    const Points first = boxes(pages[0]);
    ASSERT_EQ(first.size(), 27u);
    for (std::size_t i = 0; i < first.size(); ++i) {
        const double x = (std::array {100.0, 743.0, 1386.0})[i / 9];
        EXPECT_EQ(first[i], std::make_pair(x, 100.0 + 306.0 * double(i % 9))) << i;
    }
    EXPECT_EQ(boxes(pages[1]), (Points {{100, 100}}));
    EXPECT_TRUE(findText(pages[1], QStringLiteral("Member 28")));

    for (int p = 0; p < 2; ++p) {
        const report::TextItem* title
            = findText(pages[std::size_t(p)], QStringLiteral("Member List"));
        const report::TextItem* number = findText(pages[std::size_t(p)], QString::number(p + 1));
        ASSERT_TRUE(title && number);
        EXPECT_NEAR((title->left + title->width / 2).toMm(), 19.43, 0.001);
        EXPECT_EQ(title->top, mm(3.97));
        EXPECT_NEAR((number->left + number->width / 2).toMm(), 197.94, 0.01);
        EXPECT_EQ(number->top, mm(288.40));
    }
}

// Each box: the photo resampled to 120 by 160 and framed, the two watermarks, and cname, name,
// post, gdesc, staffno and datejoin (as stored) at 8 points; members by group, then by name.
TEST(CheckList, BoxesHoldPhotoAndDataOrderedByGroupAndName)
{
    PrintDatabase base;
    base.db.exec(QStringLiteral("insert into grptbl (gid, gdesc) values (2, 'Kitchen')"));
    base.db.exec(QStringLiteral("insert into grptbl (gid, gdesc) values (1, 'Office')"));
    base.add(2, QStringLiteral("Ann"), QStringLiteral("安"), photoBlob(480, 640));
    base.add(1, QStringLiteral("Zoe"));
    base.add(1, QStringLiteral("Bob"));
    const auto pages = checkList(base);
    ASSERT_EQ(pages.size(), 1u);
    const report::Page& page = pages[0];

    QStringList names;
    for (const auto& t : page.all<report::TextItem>()) {
        if (t.text == u"Ann" || t.text == u"Bob" || t.text == u"Zoe")
            names << t.text;
    }
    EXPECT_EQ(names, (QStringList {"Bob", "Zoe", "Ann"}));

    // Only Ann has a photo; Bob's and Zoe's boxes hold their frames alone.
    const auto images = page.all<report::ImageItem>();
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0].pixels().size(), QSize(120, 160));
    EXPECT_EQ(images[0].rect,
              (report::LengthRect {mm(10 + 0.53), mm(10 + 61.2 + 0.53), mm(20.90), mm(28.05)}));

    const report::TextItem* cname = findText(page, QStringLiteral("安"));
    ASSERT_TRUE(cname);
    EXPECT_EQ(cname->left, mm(10 + 22.32));
    EXPECT_EQ(cname->top, mm(10 + 61.2 + 0.83));
    EXPECT_EQ(cname->font.pointSize(), 8);
    const QStringList all = texts(page);
    EXPECT_TRUE(all.contains(QStringLiteral("Kitchen")));
    EXPECT_TRUE(all.contains(QStringLiteral("5/03/2004")));
    EXPECT_EQ(all.count(QStringLiteral("Check List")), 3);
    EXPECT_EQ(all.count(QStringLiteral("www.tavrik.example.com")), 3);
}

TEST(CheckList, NoMembersPrintOneBoxWithoutPhoto)
{
    PrintDatabase base;
    const auto pages = checkList(base);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(boxes(pages[0]), (Points {{100, 100}}));
    EXPECT_TRUE(pages[0].all<report::ImageItem>().empty());
    EXPECT_EQ(texts(pages[0]),
              (QStringList {"Check List", "www.tavrik.example.com", "Member List", "1"}));
}

} // namespace
