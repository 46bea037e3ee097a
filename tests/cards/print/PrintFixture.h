#pragma once

#include "TempDatabase.h"
#include "cards/CardOptions.h"
#include "data/Tdsrc.h"
#include "report/Page.h"
#include "report/TextMetrics.h"

#include <ostream>
#include <vector>

inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << text.toStdString();
}

namespace printfixture {

using report::mm;

// A JPEG blob of a picture of the given size and colour.
QByteArray photoBlob(int width, int height, QColor colour = Qt::darkCyan);

// Shared measures for every test.
const report::TextMetrics& metrics();

// The texts on a page, in drawing order.
QStringList texts(const report::Page& page);
const report::TextItem* findText(const report::Page& page, const QString& text);

// The page painted on white paper of its size at dpi dots per inch.
QImage paintedPage(const report::Page& page, double dpi,
                   QImage::Format format = QImage::Format_RGB32);

// A starter database, connected through a data module, with the layout's fields query open.
class PrintDatabase
{
public:
    PrintDatabase();

    // Adds a member and returns its seq.
    qint64 add(int gid, const QString& name, const QString& cname = {},
               const QByteArray& photo = {});
    // Runs the all-staff statement on QList (opens it) and lays the cards out.
    std::vector<report::Page> cards(const cards::CardOptions& options);
    // The options as the starter database stores them: slots 1..6 use fields 1, 2, 3, 4, 5
    // and 7, slot 7 is not used; style 1; no custom options.
    static cards::CardOptions starterOptions();

    TempDatabase db;
    data::Tdsrc dsrc;
    data::Query fields;
};

} // namespace printfixture
