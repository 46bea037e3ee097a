#include "PreparedReportFile.h"

#include "data/Error.h"
#include "data/OutputFile.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>
#include <QtEndian>
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>

namespace report {
namespace {

using namespace preparedreport;

enum class Kind : quint8 {
    Fill = 1,
    Frame = 2,
    Image = 3,
    Line = 4,
    Text = 5,
    ClippedText = 6,
    Shape = 7
};

// The version that brought clipped texts and filled shapes.
constexpr quint16 clippedTextVersion = 2;

constexpr qsizetype magicLength = sizeof(magic) - 1;

QString tr(const char* text)
{
    return QCoreApplication::translate("report", text);
}

data::Error notAReport()
{
    return data::Error(tr("The file is not a saved report."));
}

data::Error damaged()
{
    return data::Error(tr("The saved report is damaged or incomplete."));
}

// --- writing ---

class Writer
{
public:
    void raw(const char* bytes, qsizetype size) { m_bytes.append(bytes, size); }
    void u8(quint8 value) { m_bytes.append(char(value)); }
    void u16(quint16 value) { put(qToLittleEndian(value)); }
    void u32(quint32 value) { put(qToLittleEndian(value)); }
    void i32(qint32 value) { put(qToLittleEndian(value)); }
    void i64(qint64 value) { put(qToLittleEndian(value)); }
    void length(Length value) { i64(value.micrometres()); }
    void rect(const LengthRect& r)
    {
        length(r.left);
        length(r.top);
        length(r.width);
        length(r.height);
    }
    void color(const QColor& c)
    {
        u8(c.isValid() ? 1 : 0);
        const QRgba64 rgba = c.isValid() ? c.rgba64() : QRgba64();
        u16(rgba.red());
        u16(rgba.green());
        u16(rgba.blue());
        u16(rgba.alpha());
    }
    // UTF-16 code units, so that every string comes back as it was.
    void string(const QString& text)
    {
        u32(quint32(text.size()));
        for (QChar c : text)
            u16(c.unicode());
    }
    void f64(double value) { put(qToLittleEndian(std::bit_cast<quint64>(value))); }
    // The fill rule, then the elements, each its type and its point in micrometres, exactly
    // as the path holds them.
    void path(const QPainterPath& path)
    {
        u8(path.fillRule() == Qt::WindingFill ? 1 : 0);
        u32(quint32(path.elementCount()));
        for (int i = 0; i < path.elementCount(); ++i) {
            const QPainterPath::Element e = path.elementAt(i);
            u8(quint8(e.type));
            f64(e.x);
            f64(e.y);
        }
    }
    QByteArray take() { return std::move(m_bytes); }

private:
    template<typename T> void put(T value)
    {
        m_bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
    }
    QByteArray m_bytes;
};

QByteArray png(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image))
        throw data::Error(
            tr("A picture of the report could not be stored: %1").arg(writer.errorString()));
    return bytes;
}

// --- reading ---

class Reader
{
public:
    explicit Reader(const QByteArray& bytes)
        : m_bytes(bytes)
    { }

    qsizetype remaining() const { return m_bytes.size() - m_pos; }
    bool atEnd() const { return remaining() == 0; }

    const char* take(qsizetype size)
    {
        if (size < 0 || size > remaining())
            throw damaged();
        const char* at = m_bytes.constData() + m_pos;
        m_pos += size;
        return at;
    }
    quint8 u8() { return quint8(*take(1)); }
    quint16 u16() { return get<quint16>(); }
    quint32 u32() { return get<quint32>(); }
    qint32 i32() { return get<qint32>(); }
    qint64 i64() { return get<qint64>(); }
    // A coordinate in micrometres: a finite number within the measures' limits.
    double coordinate()
    {
        const double value = std::bit_cast<double>(get<quint64>());
        if (!std::isfinite(value) || std::abs(value) > double(maxMeasure))
            throw damaged();
        return value;
    }

    // A count of things that each take at least minBytes of what is left.
    quint32 count(quint32 limit, qsizetype minBytes)
    {
        const quint32 n = u32();
        if (n > limit || qint64(n) * minBytes > remaining())
            throw damaged();
        return n;
    }
    Length length(qint64 min = -maxMeasure, qint64 max = maxMeasure)
    {
        const qint64 value = i64();
        if (value < min || value > max)
            throw damaged();
        return Length::micrometres(value);
    }
    LengthRect rect()
    {
        LengthRect r;
        r.left = length();
        r.top = length();
        r.width = length();
        r.height = length();
        return r;
    }
    QColor color()
    {
        const quint8 valid = u8();
        const quint16 red = u16();
        const quint16 green = u16();
        const quint16 blue = u16();
        const quint16 alpha = u16();
        if (valid > 1)
            throw damaged();
        return valid ? QColor(QRgba64::fromRgba64(red, green, blue, alpha)) : QColor();
    }
    QString string(quint32 limit)
    {
        const quint32 size = count(limit, 2);
        QString text(qsizetype(size), Qt::Uninitialized);
        const char* units = take(qsizetype(size) * 2);
        for (quint32 i = 0; i < size; ++i)
            text[qsizetype(i)] = QChar(qFromLittleEndian<quint16>(units + 2 * i));
        return text;
    }

private:
    template<typename T> T get() { return qFromLittleEndian<T>(take(sizeof(T))); }

    const QByteArray& m_bytes;
    qsizetype m_pos = 0;
};

// A path as QPainterPath holds it: a move first, and every curve followed by its two data
// points; anything else is damage.
QPainterPath readPath(Reader& in)
{
    constexpr qsizetype elementBytes = 1 + 8 + 8;
    QPainterPath path;
    const quint8 rule = in.u8();
    if (rule > 1)
        throw damaged();
    path.setFillRule(rule ? Qt::WindingFill : Qt::OddEvenFill);
    const quint32 count = in.count(maxPathElements, elementBytes);
    if (count == 0)
        throw damaged();
    const auto point = [&in] {
        const double x = in.coordinate();
        return QPointF(x, in.coordinate());
    };
    // Element types are checked as numbers: a damaged byte must never be
    // cast to an enumerator the painter path does not know.
    const auto elementType = [&in] {
        const quint8 raw = in.u8();
        if (raw > QPainterPath::CurveToDataElement)
            throw damaged();
        return QPainterPath::ElementType(raw);
    };
    for (quint32 i = 0; i < count; ++i) {
        const auto type = elementType();
        const QPointF at = point();
        if (i == 0 && type != QPainterPath::MoveToElement)
            throw damaged();
        switch (type) {
        case QPainterPath::MoveToElement:
            path.moveTo(at);
            break;
        case QPainterPath::LineToElement:
            path.lineTo(at);
            break;
        case QPainterPath::CurveToElement: {
            if (count - i < 3)
                throw damaged();
            QPointF data[2];
            for (QPointF& p : data) {
                if (elementType() != QPainterPath::CurveToDataElement)
                    throw damaged();
                p = point();
            }
            path.cubicTo(at, data[0], data[1]);
            i += 2;
            break;
        }
        default:
            throw damaged();
        }
    }
    return path;
}

// Pictures are kept at 32 bits a pixel at most, which bounds the memory a file can ask for.
QImage storable(const QImage& image)
{
    return image.depth() > 32 ? image.convertToFormat(QImage::Format_ARGB32) : image;
}

// The smallest encodings, used to check counts against the bytes left.
constexpr qsizetype minImageBytes = 16;
constexpr qsizetype minPageBytes = 4 + 8 + 8 + 4;
constexpr qsizetype minItemBytes = 1 + 1 + 4 + 17 + 9; // a shape of one element

QImage readImage(Reader& in, qint64& pixelBudget)
{
    const quint32 width = in.u32();
    const quint32 height = in.u32();
    const quint32 format = in.u32();
    const quint32 size = in.count(std::numeric_limits<qint32>::max(), 1);
    const qint64 pixels = qint64(width) * qint64(height);
    if (width == 0 || height == 0 || width > quint32(maxImagePixels)
        || height > quint32(maxImagePixels) || pixels > maxImagePixels || pixels > pixelBudget
        || format == QImage::Format_Invalid || format >= QImage::NImageFormats
        || QImage::toPixelFormat(QImage::Format(format)).bitsPerPixel() > 32)
        throw damaged();
    pixelBudget -= pixels;
    QByteArray bytes = QByteArray::fromRawData(in.take(qsizetype(size)), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    reader.setDecideFormatFromContent(false);
    // The picture must be the size the file declares, checked before its pixels are decoded.
    if (reader.size() != QSize(int(width), int(height)))
        throw damaged();
    QImage image;
    if (!reader.read(&image) || image.size() != QSize(int(width), int(height)))
        throw damaged();
    const auto wanted = QImage::Format(format);
    if (image.format() != wanted)
        image.convertTo(wanted);
    return image;
}

QFont readFont(Reader& in)
{
    QFont font;
    if (!font.fromString(in.string(maxFontLength)))
        throw damaged();
    const bool sized = (font.pointSizeF() > 0 && font.pointSizeF() <= 200)
        || (font.pixelSize() > 0 && font.pixelSize() <= 2000);
    if (!sized)
        throw damaged();
    return font;
}

PageItem readItem(Reader& in, const std::vector<QImage>& images, quint16 version)
{
    const Kind kind = Kind(in.u8());
    if (kind == Kind::ClippedText && version < clippedTextVersion)
        throw damaged();
    switch (kind) {
    case Kind::Fill: {
        FillItem item;
        item.rect = in.rect();
        item.color = in.color();
        return item;
    }
    case Kind::Frame: {
        FrameItem item;
        item.rect = in.rect();
        const quint8 sides = in.u8();
        if (sides > 15)
            throw damaged();
        item.frame.left = sides & 1;
        item.frame.top = sides & 2;
        item.frame.right = sides & 4;
        item.frame.bottom = sides & 8;
        item.frame.color = in.color();
        item.frame.width = in.length();
        return item;
    }
    case Kind::Image: {
        ImageItem item;
        item.rect = in.rect();
        const quint32 index = in.u32();
        if (index >= images.size())
            throw damaged();
        item.image = images[index];
        return item;
    }
    case Kind::Line: {
        LineItem item;
        item.x1 = in.length();
        item.y1 = in.length();
        item.x2 = in.length();
        item.y2 = in.length();
        item.color = in.color();
        item.width = in.length();
        return item;
    }
    case Kind::Text:
    case Kind::ClippedText: {
        TextItem item;
        item.left = in.length();
        item.top = in.length();
        item.width = in.length();
        item.height = in.length();
        item.text = in.string(maxTextLength);
        item.font = readFont(in);
        item.color = in.color();
        if (kind == Kind::ClippedText)
            item.clip = in.rect();
        return item;
    }
    case Kind::Shape: {
        if (version < shapesVersion)
            throw damaged();
        ShapeItem item;
        item.path = readPath(in);
        item.color = in.color();
        return item;
    }
    }
    throw damaged();
}

} // namespace

QByteArray encodePreparedReport(const std::vector<Page>& pages)
{
    // Pictures shared between items (the same image, or the same source, each time) are
    // stored once; a source's pixels are taken at full size.
    std::vector<QImage> images;
    QHash<qint64, quint32> indexOf;
    QHash<const ImageSource*, quint32> indexOfSource;
    for (const Page& page : pages) {
        for (const PageItem& item : page.items) {
            const auto* image = std::get_if<ImageItem>(&item);
            if (!image)
                continue;
            if (image->source) {
                if (!indexOfSource.contains(image->source.get())) {
                    indexOfSource.insert(image->source.get(), quint32(images.size()));
                    images.push_back(image->pixels());
                }
            } else if (!image->image.isNull() && !indexOf.contains(image->image.cacheKey())) {
                indexOf.insert(image->image.cacheKey(), quint32(images.size()));
                images.push_back(image->image);
            }
        }
    }
    const auto stored = [&](const ImageItem& image) -> std::optional<quint32> {
        if (image.source)
            return indexOfSource.value(image.source.get());
        if (image.image.isNull())
            return std::nullopt;
        return indexOf.value(image.image.cacheKey());
    };

    const bool needsTwo = std::any_of(pages.begin(), pages.end(), [](const Page& page) {
        return std::any_of(page.items.begin(), page.items.end(), [](const PageItem& item) {
            if (const auto* text = std::get_if<TextItem>(&item))
                return text->clip.has_value();
            const auto* shape = std::get_if<ShapeItem>(&item);
            return shape && shape->path.elementCount() > 0;
        });
    });
    Writer out;
    out.raw(magic, magicLength);
    out.u16(needsTwo ? formatVersion : quint16(1));
    out.u32(quint32(images.size()));
    for (const QImage& original : images) {
        const QImage image = storable(original);
        const QByteArray bytes = png(image);
        out.u32(quint32(image.width()));
        out.u32(quint32(image.height()));
        out.u32(quint32(image.format()));
        out.u32(quint32(bytes.size()));
        out.raw(bytes.constData(), bytes.size());
    }
    out.u32(quint32(pages.size()));
    for (const Page& page : pages) {
        out.i32(page.number);
        out.length(page.width);
        out.length(page.height);
        // A picture item without a picture, or shapes without a path, draw nothing and are
        // left out.
        const auto empty = [&](const PageItem& item) {
            const auto* image = std::get_if<ImageItem>(&item);
            const auto* shape = std::get_if<ShapeItem>(&item);
            return (image && !stored(*image)) || (shape && shape->path.elementCount() == 0);
        };
        quint32 count = 0;
        for (const PageItem& item : page.items)
            count += !empty(item);
        out.u32(count);
        for (const PageItem& item : page.items) {
            if (const auto* fill = std::get_if<FillItem>(&item)) {
                out.u8(quint8(Kind::Fill));
                out.rect(fill->rect);
                out.color(fill->color);
            } else if (const auto* frame = std::get_if<FrameItem>(&item)) {
                out.u8(quint8(Kind::Frame));
                out.rect(frame->rect);
                const Frame& f = frame->frame;
                out.u8(quint8((f.left ? 1 : 0) | (f.top ? 2 : 0) | (f.right ? 4 : 0)
                              | (f.bottom ? 8 : 0)));
                out.color(f.color);
                out.length(f.width);
            } else if (const auto* image = std::get_if<ImageItem>(&item)) {
                const std::optional<quint32> index = stored(*image);
                if (!index)
                    continue;
                out.u8(quint8(Kind::Image));
                out.rect(image->rect);
                out.u32(*index);
            } else if (const auto* line = std::get_if<LineItem>(&item)) {
                out.u8(quint8(Kind::Line));
                out.length(line->x1);
                out.length(line->y1);
                out.length(line->x2);
                out.length(line->y2);
                out.color(line->color);
                out.length(line->width);
            } else if (const auto* text = std::get_if<TextItem>(&item)) {
                out.u8(quint8(text->clip ? Kind::ClippedText : Kind::Text));
                out.length(text->left);
                out.length(text->top);
                out.length(text->width);
                out.length(text->height);
                out.string(text->text);
                out.string(text->font.toString());
                out.color(text->color);
                if (text->clip)
                    out.rect(*text->clip);
            } else if (const auto* shape = std::get_if<ShapeItem>(&item)) {
                if (empty(item))
                    continue;
                out.u8(quint8(Kind::Shape));
                out.path(shape->path);
                out.color(shape->color);
            }
        }
    }
    return out.take();
}

std::vector<Page> decodePreparedReport(const QByteArray& bytes)
{
    if (bytes.size() < magicLength || std::memcmp(bytes.constData(), magic, magicLength) != 0)
        throw notAReport();
    Reader in(bytes);
    in.take(magicLength);
    const quint16 version = in.u16();
    if (version == 0)
        throw damaged();
    if (version > formatVersion)
        throw data::Error(tr("The report was saved by a newer version of the program and "
                             "cannot be opened here."));

    std::vector<QImage> images(in.count(maxImages, minImageBytes));
    qint64 pixelBudget = maxTotalImagePixels;
    for (QImage& image : images)
        image = readImage(in, pixelBudget);

    std::vector<Page> pages(in.count(maxPages, minPageBytes));
    for (Page& page : pages) {
        page.number = in.i32();
        page.width = in.length(1, maxMeasure);
        page.height = in.length(1, maxMeasure);
        if (page.number < 1)
            throw damaged();
        page.items.resize(in.count(maxItemsPerPage, minItemBytes));
        for (PageItem& item : page.items)
            item = readItem(in, images, version);
    }
    if (!in.atEnd())
        throw damaged();
    return pages;
}

void savePreparedReport(const QString& path, const std::vector<Page>& pages)
{
    data::checkOutput(path);
    const QByteArray bytes = encodePreparedReport(pages);
    const auto cannotWrite = [&](const QString& reason) {
        return data::Error(
            tr("Cannot write the file %1: %2").arg(QDir::toNativeSeparators(path), reason));
    };
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw cannotWrite(file.errorString());
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw cannotWrite(reason);
    }
    if (!file.commit())
        throw cannotWrite(file.errorString());
}

std::vector<Page> loadPreparedReport(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw data::Error(tr("Cannot read the file %1: %2")
                              .arg(QDir::toNativeSeparators(path), file.errorString()));
    if (file.size() > maxFileBytes)
        throw notAReport();
    const QByteArray bytes = file.read(maxFileBytes + 1);
    if (file.error() != QFileDevice::NoError)
        throw data::Error(tr("Cannot read the file %1: %2")
                              .arg(QDir::toNativeSeparators(path), file.errorString()));
    if (bytes.size() > maxFileBytes)
        throw notAReport();
    return decodePreparedReport(bytes);
}

} // namespace report
