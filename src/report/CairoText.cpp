#include "CairoText.h"

#include "report/TextMetrics.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QRawFont>
#include <QTextBoundaryFinder>
#include <QTextLayout>
#include <cairo-ft.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_TRUETYPE_TABLES_H
#include FT_TRUETYPE_TAGS_H
#include <cmath>
#include <memory>
#include <set>

namespace report {
namespace {

// FreeType's slant for an oblique made from an upright face, as Qt draws it.
constexpr double syntheticSlant = 0x0366A / 65536.0;

// Micrometres per pixel at the measuring resolution.
constexpr double measuringPixel = 25400.0 / TextMetrics::measuringDpi;

QByteArray sfntTable(FT_Face face, FT_ULong tag)
{
    FT_ULong length = 0;
    if (FT_Load_Sfnt_Table(face, tag, 0, nullptr, &length) != 0 || length == 0)
        return {};
    QByteArray table(qsizetype(length), Qt::Uninitialized);
    if (FT_Load_Sfnt_Table(face, tag, 0, reinterpret_cast<FT_Byte*>(table.data()), &length) != 0)
        return {};
    return table;
}

struct FcDeleter
{
    void operator()(FcPattern* p) const { FcPatternDestroy(p); }
    void operator()(FcObjectSet* s) const { FcObjectSetDestroy(s); }
    void operator()(FcFontSet* s) const { FcFontSetDestroy(s); }
};

// The files fontconfig lists for the family, or every file when family is empty.
std::vector<std::pair<QByteArray, int>> fontFiles(const QString& family)
{
    std::unique_ptr<FcPattern, FcDeleter> pattern(FcPatternCreate());
    if (!family.isEmpty()) {
        FcPatternAddString(pattern.get(), FC_FAMILY,
                           reinterpret_cast<const FcChar8*>(family.toUtf8().constData()));
    }
    std::unique_ptr<FcObjectSet, FcDeleter> objects(
        FcObjectSetBuild(FC_FILE, FC_INDEX, static_cast<char*>(nullptr)));
    std::unique_ptr<FcFontSet, FcDeleter> set(FcFontList(nullptr, pattern.get(), objects.get()));
    std::vector<std::pair<QByteArray, int>> files;
    for (int i = 0; set && i < set->nfont; ++i) {
        FcChar8* file = nullptr;
        int index = 0;
        if (FcPatternGetString(set->fonts[i], FC_FILE, 0, &file) != FcResultMatch)
            continue;
        FcPatternGetInteger(set->fonts[i], FC_INDEX, 0, &index);
        files.emplace_back(QByteArray(reinterpret_cast<const char*>(file)), index);
    }
    return files;
}

cairo_font_face_t* cairoFace(const QByteArray& file, int index, bool embolden)
{
    std::unique_ptr<FcPattern, FcDeleter> pattern(FcPatternCreate());
    FcPatternAddString(pattern.get(), FC_FILE, reinterpret_cast<const FcChar8*>(file.constData()));
    FcPatternAddInteger(pattern.get(), FC_INDEX, index);
    FcPatternAddBool(pattern.get(), FC_HINTING, FcFalse);
    FcPatternAddBool(pattern.get(), FC_EMBOLDEN, embolden ? FcTrue : FcFalse);
    cairo_font_face_t* face = cairo_ft_font_face_create_for_pattern(pattern.get());
    if (cairo_font_face_status(face) != CAIRO_STATUS_SUCCESS) {
        cairo_font_face_destroy(face);
        return nullptr;
    }
    return face;
}

bool isSimpleText(const QString& text)
{
    for (const QChar c : text) {
        if (c.isSurrogate() || c.isMark() || c.category() == QChar::Other_Format)
            return false;
        switch (c.direction()) {
        case QChar::DirR:
        case QChar::DirAL:
        case QChar::DirAN:
        case QChar::DirRLE:
        case QChar::DirRLO:
        case QChar::DirRLI:
            return false;
        default:
            break;
        }
    }
    return true;
}

int utf8Length(QChar c)
{
    return c.unicode() < 0x80 ? 1 : c.unicode() < 0x800 ? 2 : 3;
}

void setColour(cairo_t* cr, const QColor& colour)
{
    const QColor rgb = colour.toRgb();
    cairo_set_source_rgba(cr, rgb.redF(), rgb.greenF(), rgb.blueF(), rgb.alphaF());
}

} // namespace

CairoText::CairoText()
    : m_device(1, 1, QImage::Format_RGB32)
{
    const int dotsPerMetre = qRound(TextMetrics::measuringDpi / 0.0254);
    m_device.setDotsPerMeterX(dotsPerMetre);
    m_device.setDotsPerMeterY(dotsPerMetre);
    FT_Init_FreeType(&m_library);
}

CairoText::~CairoText()
{
    for (const Face& f : std::as_const(m_faces)) {
        cairo_font_face_destroy(f.face);
        cairo_font_face_destroy(f.emboldened);
        if (f.file)
            FT_Done_Face(f.file);
    }
    if (m_library)
        FT_Done_FreeType(m_library);
}

// The font file whose header table is the one Qt's font has: fontconfig's files of the family
// first, then every file it knows.
CairoText::Face CairoText::match(const QRawFont& font) const
{
    Face result;
    const QByteArray head = font.fontTable("head");
    if (head.isEmpty() || !m_library)
        return result;
    for (const QString& family : {font.familyName(), QString()}) {
        for (const auto& [file, index] : fontFiles(family)) {
            FT_Face ft = nullptr;
            if (FT_New_Face(m_library, file.constData(), index, &ft) != 0)
                continue;
            if (sfntTable(ft, TTAG_head) != head) {
                FT_Done_Face(ft);
                continue;
            }
            result.file = ft;
            result.italic = ft->style_flags & FT_STYLE_FLAG_ITALIC;
            result.bold = ft->style_flags & FT_STYLE_FLAG_BOLD;
            result.fixedWidth = FT_IS_FIXED_WIDTH(ft);
            if (const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(ft, FT_SFNT_OS2)))
                result.weightClass = os2->usWeightClass;
            result.face = cairoFace(file, index, false);
            if (!result.bold)
                result.emboldened = cairoFace(file, index, true);
            return result;
        }
    }
    return result;
}

const CairoText::Face& CairoText::face(const QRawFont& font)
{
    const QByteArray key = font.familyName().toUtf8() + '\0' + font.styleName().toUtf8() + '\0'
        + font.fontTable("head");
    auto it = m_faces.find(key);
    if (it == m_faces.end())
        it = m_faces.insert(key, match(font));
    return *it;
}

void CairoText::show(cairo_t* cr, const QGlyphRun& run, double shift, const QByteArray& text,
                     const std::vector<int>& clusterBytes)
{
    const QRawFont raw = run.rawFont();
    const QList<quint32> indexes = run.glyphIndexes();
    const QList<QPointF> positions = run.positions();
    const Face& f = face(raw);
    if (!f.face) {
        // No font file matches the one Qt drew with (a font given to Qt from memory, say):
        // the glyphs are filled as outlines, so that the page still looks right, though its
        // text cannot be searched.
        cairo_new_path(cr);
        for (qsizetype i = 0; i < indexes.size(); ++i) {
            const QPainterPath path
                = raw.pathForGlyph(indexes[i]).translated(positions[i] + QPointF(0, shift));
            for (int e = 0; e < path.elementCount(); ++e) {
                const QPainterPath::Element el = path.elementAt(e);
                if (el.isMoveTo())
                    cairo_move_to(cr, el.x, el.y);
                else if (el.isLineTo())
                    cairo_line_to(cr, el.x, el.y);
                else if (el.isCurveTo()) {
                    const auto c1 = path.elementAt(e + 1);
                    const auto c2 = path.elementAt(e + 2);
                    cairo_curve_to(cr, el.x, el.y, c1.x, c1.y, c2.x, c2.y);
                    e += 2;
                }
            }
        }
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
        cairo_fill(cr);
        return;
    }
    // Synthesised as Qt's FreeType engine does: slanted when an italic is asked of an upright
    // face, emboldened when bold is asked of a light face at a small size.
    const bool slant = raw.style() != QFont::StyleNormal && !f.italic;
    const bool embolden = raw.weight() >= QFont::Bold && !f.bold && !f.fixedWidth
        && f.weightClass < 700 && raw.pixelSize() < 64 && f.emboldened;
    cairo_set_font_face(cr, embolden ? f.emboldened : f.face);
    const double size = raw.pixelSize();
    cairo_matrix_t matrix;
    cairo_matrix_init(&matrix, size, 0, slant ? -syntheticSlant * size : 0, size, 0, 0);
    cairo_set_font_matrix(cr, &matrix);

    // cairo moves along a string of glyphs by their advances, while the PDF's font gives each
    // advance cut down to a whole thousandth of an em: each glyph is placed further by what
    // the ones before it fall behind, so that it lands where Qt put it.
    std::vector<cairo_glyph_t> glyphs(size_t(indexes.size()));
    const double unitsPerEm = f.file->units_per_EM > 0 ? f.file->units_per_EM : 1000;
    for (size_t i = 0; i < glyphs.size(); ++i) {
        glyphs[i] = {indexes[qsizetype(i)], positions[qsizetype(i)].x() + m_lag * size,
                     positions[qsizetype(i)].y() + shift};
        FT_Fixed units = 0;
        if (FT_Get_Advance(f.file, indexes[qsizetype(i)], FT_LOAD_NO_SCALE, &units) == 0) {
            const double advance = double(units) / unitsPerEm;
            m_lag += advance - double(long(advance * 1000)) / 1000;
        }
    }
    if (text.isEmpty()) {
        cairo_show_glyphs(cr, glyphs.data(), int(glyphs.size()));
        return;
    }
    std::vector<cairo_text_cluster_t> clusters;
    if (clusterBytes.empty())
        clusters.push_back({int(text.size()), int(glyphs.size())});
    for (const int bytes : clusterBytes)
        clusters.push_back({bytes, 1});
    cairo_show_text_glyphs(cr, text.constData(), int(text.size()), glyphs.data(),
                           int(glyphs.size()), clusters.data(), int(clusters.size()),
                           cairo_text_cluster_flags_t(0));
}

void CairoText::draw(cairo_t* cr, const TextItem& item, double deviceDpi)
{
    if (item.text.isEmpty())
        return;
    // The font as PagePainter gives it to the painter, at the measuring resolution.
    QFont font = TextMetrics::printFont(item.font);
    if (font.pixelSize() > 0)
        font.setPixelSize(qRound(font.pixelSize() * TextMetrics::measuringDpi / deviceDpi));
    QTextLayout layout(item.text, font, &m_device);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    option.setTextDirection(Qt::LeftToRight);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(1e6);
    layout.endLayout();
    const QFontMetricsF metrics(font, &m_device);
    const double ascent = metrics.ascent();
    // The painter puts the baseline at the font's ascent; the layout at its line's, which a
    // fallback font can make larger.
    const double shift = ascent - line.ascent();

    cairo_save(cr);
    if (item.clip) {
        cairo_rectangle(
            cr, double(item.clip->left.micrometres()), double(item.clip->top.micrometres()),
            double(item.clip->width.micrometres()), double(item.clip->height.micrometres()));
        cairo_clip(cr);
    }
    cairo_translate(cr, double(item.left.micrometres()), double(item.top.micrometres()));
    cairo_scale(cr, measuringPixel, measuringPixel);
    setColour(cr, item.color);

    m_lag = 0;
    const QList<QGlyphRun> runs = layout.glyphRuns();
    if (runs.size() == 1 && runs.front().glyphIndexes().size() == item.text.size()
        && isSimpleText(item.text)) {
        // One glyph for each character, in order.
        std::vector<int> bytes;
        bytes.reserve(size_t(item.text.size()));
        for (const QChar c : item.text)
            bytes.push_back(utf8Length(c));
        show(cr, runs.front(), shift, item.text.toUtf8(), bytes);
    } else {
        // Each character cluster with its own glyphs, so that the text still belongs to the
        // glyphs that show it; a glyph that shows several (a ligature) is shown once.
        std::set<std::tuple<quint32, qint64, qint64>> shown;
        QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, item.text);
        for (int from = 0; from < item.text.size();) {
            const int to = graphemes.toNextBoundary();
            if (to <= from)
                break;
            QByteArray text = item.text.mid(from, to - from).toUtf8();
            for (const QGlyphRun& part : layout.glyphRuns(from, to - from)) {
                QList<quint32> indexes;
                QList<QPointF> positions;
                for (qsizetype i = 0; i < part.glyphIndexes().size(); ++i) {
                    const QPointF p = part.positions()[i];
                    if (shown
                            .emplace(part.glyphIndexes()[i], qRound64(p.x() * 64),
                                     qRound64(p.y() * 64))
                            .second) {
                        indexes.append(part.glyphIndexes()[i]);
                        positions.append(p);
                    }
                }
                if (indexes.isEmpty())
                    continue;
                QGlyphRun run = part;
                run.setGlyphIndexes(indexes);
                run.setPositions(positions);
                show(cr, run, shift, text, {});
                text.clear();
            }
            from = to;
        }
    }

    // Lines across the text as the painter draws them for the font.
    const double width = std::floor(line.naturalTextWidth());
    const double thickness = metrics.lineWidth();
    const auto across = [&](double y) {
        cairo_rectangle(cr, 0, y - thickness / 2, width, thickness);
        cairo_fill(cr);
    };
    if (font.underline())
        across(ascent + metrics.underlinePos());
    if (font.strikeOut())
        across(ascent - metrics.strikeOutPos());
    if (font.overline())
        across(0);
    cairo_restore(cr);
}

} // namespace report
