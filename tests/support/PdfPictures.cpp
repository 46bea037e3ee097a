#include "PdfPictures.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace pdfpictures {
namespace {

int channelDifference(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

// Each pixel the mean of the 3 by 3 pixels around it, as an eye takes in a tenth of a
// millimetre: one renderer's edge that covers half of a pixel row, where the other fills one
// row and leaves the next, looks alike.
QImage blurred(const QImage& image)
{
    QImage result(image.size(), QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            int r = 0, g = 0, b = 0, n = 0;
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    const int px = x + dx;
                    const int py = y + dy;
                    if (px < 0 || py < 0 || px >= image.width() || py >= image.height())
                        continue;
                    const QRgb p = image.pixel(px, py);
                    r += qRed(p);
                    g += qGreen(p);
                    b += qBlue(p);
                    ++n;
                }
            }
            result.setPixel(x, y, qRgb(r / n, g / n, b / n));
        }
    }
    return result;
}

// For each pixel of a, whether no pixel of b within one pixel of it matches it.
std::vector<bool> unmatched(const QImage& a, const QImage& b, int tolerance)
{
    std::vector<bool> result(size_t(a.width()) * size_t(a.height()));
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            bool matched = false;
            for (int dy = -1; dy <= 1 && !matched; ++dy) {
                for (int dx = -1; dx <= 1 && !matched; ++dx) {
                    const int bx = x + dx;
                    const int by = y + dy;
                    matched = bx >= 0 && by >= 0 && bx < b.width() && by < b.height()
                        && channelDifference(p, b.pixel(bx, by)) <= tolerance;
                }
            }
            result[size_t(y) * size_t(a.width()) + size_t(x)] = !matched;
        }
    }
    return result;
}

// The unmatched pixels with at least four unmatched neighbours: a patch, not a line of single
// pixels along an edge.
qsizetype patches(const std::vector<bool>& unmatched, int width, int height)
{
    const auto at = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < width && y < height
            && unmatched[size_t(y) * size_t(width) + size_t(x)];
    };
    qsizetype count = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (!at(x, y))
                continue;
            int around = 0;
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx)
                    around += (dx != 0 || dy != 0) && at(x + dx, y + dy) ? 1 : 0;
            }
            count += around >= 4 ? 1 : 0;
        }
    }
    return count;
}

} // namespace

bool haveTools()
{
    for (const char* tool : {"pdftoppm", "pdftotext", "pdfimages", "pdfinfo"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            return false;
    }
    return true;
}

QByteArray run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return {};
    return p.readAllStandardOutput();
}

QImage pageImage(const QString& pdf, int page, double dpi)
{
    QTemporaryDir dir;
    const QString stem = dir.filePath(QStringLiteral("page"));
    run(QStringLiteral("pdftoppm"),
        {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-f"), QString::number(page),
         QStringLiteral("-l"), QString::number(page), QStringLiteral("-singlefile"),
         QStringLiteral("-png"), pdf, stem});
    return QImage(stem + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
}

QString text(const QString& pdf)
{
    const QString all
        = QString::fromUtf8(run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}));
    static const QRegularExpression space(QStringLiteral("\\s+"));
    return all.split(space, Qt::SkipEmptyParts).join(u' ');
}

qsizetype visibleDifference(const QImage& a, const QImage& b, int tolerance)
{
    if (std::abs(a.width() - b.width()) > 2 || std::abs(a.height() - b.height()) > 2)
        return std::max(qsizetype(a.width()) * a.height(), qsizetype(b.width()) * b.height());
    const QRect common(0, 0, std::min(a.width(), b.width()), std::min(a.height(), b.height()));
    const QImage ra = blurred(a.copy(common).convertToFormat(QImage::Format_RGB32));
    const QImage rb = blurred(b.copy(common).convertToFormat(QImage::Format_RGB32));
    return patches(unmatched(ra, rb, tolerance), common.width(), common.height())
        + patches(unmatched(rb, ra, tolerance), common.width(), common.height());
}

QRect inkBox(const QImage& image, int margin)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if ((image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF)
                box |= QRect(x, y, 1, 1);
        }
    }
    return box.adjusted(-margin, -margin, margin, margin) & image.rect();
}

} // namespace pdfpictures
