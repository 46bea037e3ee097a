#pragma once

#include <QImage>
#include <QRect>
#include <QString>
#include <QStringList>

// Reading PDF files back with poppler's tools, and comparing their pictures with the painter's.
namespace pdfpictures {

// Whether pdftoppm, pdftotext, pdfimages and pdfinfo are installed.
bool haveTools();

// The program's standard output, empty when it could not run or failed.
QByteArray run(const QString& program, const QStringList& args);

// Page number page (from 1) of the PDF as pdftoppm draws it at dpi dots per inch.
QImage pageImage(const QString& pdf, int page, double dpi);

// The text of the PDF as pdftotext reads it, words separated by single spaces.
QString text(const QString& pdf);

// How far two pictures of one page differ where an eye would see it: both blurred over 3 by 3
// pixels (as an eye takes in a tenth of a millimetre), the number of pixels of either that no
// pixel of the other within one pixel of it matches within tolerance in every colour channel,
// counted only where they form patches (four of the eight neighbours unmatched too). So
// antialiased edges that fall a fraction of a pixel apart, and a picture's edge that one
// renderer rounds out to the next pixel and the other does not, are not counted; anything
// moved, missing, thicker or of another colour is. Compared where both have pixels: a page
// size rounded to whole points may add a pixel or two at the right and the bottom; pictures
// further apart in size differ in every pixel.
qsizetype visibleDifference(const QImage& a, const QImage& b, int tolerance = 64);

// The smallest rectangle holding every pixel that is not white, grown by margin pixels.
QRect inkBox(const QImage& image, int margin = 10);

} // namespace pdfpictures
