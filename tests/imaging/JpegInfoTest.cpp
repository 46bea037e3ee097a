#include "imaging/JpegInfo.h"

#include "Fixtures.h"
#include "imaging/Jpeg.h"

#include <QFile>
#include <QString>
#include <functional>
#include <gtest/gtest.h>

using imaging::inspectJpeg;

namespace {

QByteArray fixture(const char* name)
{
    QFile file(QStringLiteral(JPEG_FIXTURES "/") + QString::fromLatin1(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

// Files written by other programs (see fixtures/make_kinds.sh): which of them a PDF may take
// as they are. Every one of them decodes, to the size the markers declare.
TEST(JpegInfo, TellsTheKindsOfOtherProgramsFiles)
{
    const struct
    {
        const char* file;
        bool embeddable;
        bool progressive;
        int components;
    } cases[] = {
        {"kind-baseline.jpg", true, false, 3},
        {"kind-restart-444.jpg", true, false, 3}, // restart markers inside the coded data
        {"kind-progressive.jpg", true, true, 3},
        {"kind-magick-progressive.jpg", true, true, 3},
        {"kind-grey.jpg", true, false, 1},
        {"kind-exif-rotated.jpg", true, false, 3},
        {"kind-arithmetic.jpg", false, false, 3},
        {"kind-rgb.jpg", false, false, 3}, // Adobe marker: RGB, not YCbCr
        {"kind-cmyk.jpg", false, false, 4},
        {"cmyk-red-blue.jpg", false, false, 4},
    };
    for (const auto& c : cases) {
        const QByteArray bytes = fixture(c.file);
        const imaging::JpegInfo info = inspectJpeg(bytes);
        EXPECT_EQ(info.embeddable, c.embeddable) << c.file;
        EXPECT_EQ(info.progressive, c.progressive) << c.file;
        EXPECT_EQ(info.components, c.components) << c.file;
        const imaging::Picture decoded = imaging::decodeJpeg(bytes);
        EXPECT_EQ(info.size, QSize(decoded.width(), decoded.height())) << c.file;
    }
}

TEST(JpegInfo, OurOwnStoredPhotosAreEmbeddable)
{
    const imaging::JpegInfo info = inspectJpeg(imaging::encodeJpeg(fixtures::photo(37, 21)));
    EXPECT_TRUE(info.embeddable);
    EXPECT_EQ(info.size, QSize(37, 21));
}

// The baseline file changed in one place: what the change does to it.
TEST(JpegInfo, RefusesWhatAViewerMightShowDifferently)
{
    const QByteArray baseline = fixture("kind-baseline.jpg");
    const qsizetype sof = baseline.indexOf(QByteArray("\xFF\xC0", 2));
    ASSERT_GT(sof, 0);
    const auto frameKind = [&](char kind) { return [=](QByteArray& b) { b[sof + 1] = kind; }; };
    const struct
    {
        const char* what;
        std::function<void(QByteArray&)> change;
        bool embeddable;
    } cases[] = {
        {"extended sequential", frameKind('\xC1'), true},
        {"bytes after the end", [](QByteArray& b) { b.append("trailing"); }, true},
        {"lossless", frameKind('\xC3'), false},
        {"arithmetic sequential", frameKind('\xC9'), false},
        {"hierarchical", frameKind('\xC5'), false},
        {"12 bits a sample", [&](QByteArray& b) { b[sof + 4] = 12; }, false},
        {"no end of image", [](QByteArray& b) { b.chop(2); }, false},
        {"cut in the coded data", [](QByteArray& b) { b.chop(b.size() / 3); }, false},
        {"a height given later", [&](QByteArray& b) { b[sof + 5] = b[sof + 6] = 0; }, false},
        {"not a JPEG", [](QByteArray& b) { b = QByteArray("BM") + b; }, false},
        {"no bytes", [](QByteArray& b) { b.clear(); }, false},
    };
    for (const auto& c : cases) {
        QByteArray bytes = baseline;
        c.change(bytes);
        EXPECT_EQ(inspectJpeg(bytes).embeddable, c.embeddable) << c.what;
    }
    EXPECT_EQ(inspectJpeg(baseline).size, QSize(40, 30));
    EXPECT_FALSE(inspectJpeg(QByteArray("BM")).size.isValid());
}

} // namespace
