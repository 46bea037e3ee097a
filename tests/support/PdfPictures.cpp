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

// The pixels of a without a match in b.
qsizetype unmatched(const QImage& a, const QImage& b, int tolerance)
{
    qsizetype count = 0;
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
            count += matched ? 0 : 1;
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
    const QImage ra = a.copy(common).convertToFormat(QImage::Format_RGB32);
    const QImage rb = b.copy(common).convertToFormat(QImage::Format_RGB32);
    return unmatched(ra, rb, tolerance) + unmatched(rb, ra, tolerance);
}

} // namespace pdfpictures
