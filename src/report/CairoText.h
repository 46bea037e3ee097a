#pragma once

#include "report/PageItem.h"

#include <QHash>
#include <QImage>

class QGlyphRun;
class QRawFont;
typedef struct _cairo cairo_t;
typedef struct _cairo_font_face cairo_font_face_t;
typedef struct FT_LibraryRec_* FT_Library;
typedef struct FT_FaceRec_* FT_Face;

namespace report {

// Draws text items with cairo exactly where PagePainter's painter draws them: Qt lays the text
// out with the same font at the measuring resolution, and its glyphs are shown at Qt's
// positions from the very font files Qt used, with the text behind them so that the PDF's text
// can be searched and copied.
class CairoText
{
public:
    CairoText();
    ~CairoText();
    CairoText(const CairoText&) = delete;
    CairoText& operator=(const CairoText&) = delete;

    // The context's user space is micrometres from the page's top left corner. Pixel sizes of
    // fonts are pixels at deviceDpi, as on the painter's device.
    void draw(cairo_t* cr, const TextItem& item, double deviceDpi);

private:
    struct Face
    {
        cairo_font_face_t* face = nullptr; // null when no font file matches
        cairo_font_face_t* emboldened = nullptr;
        FT_Face file = nullptr; // the same font file, for its advances
        bool italic = false;
        bool bold = false;
        bool fixedWidth = false;
        int weightClass = 400;
    };

    // Shows one run of glyphs, its baseline moved down by shift; text and clusters as
    // cairo_show_text_glyphs takes them, or none.
    void show(cairo_t* cr, const QGlyphRun& run, double shift, const QByteArray& text,
              const std::vector<int>& clusterBytes);
    const Face& face(const QRawFont& font);
    Face match(const QRawFont& font) const;

    QImage m_device;
    FT_Library m_library = nullptr;
    // The distance, in ems, by which the PDF's text position falls behind cairo's in the text
    // being shown (see show).
    double m_lag = 0;
    QHash<QByteArray, Face> m_faces;
};

} // namespace report
