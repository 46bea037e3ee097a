#pragma once

#include "report/Length.h"

#include <QFont>
#include <QHash>
#include <QImage>
#include <QString>
#include <memory>

class QFontMetricsF;

namespace report {

// Text measures without hinting, taken at a resolution so high that the rounding of glyph
// advances to whole pixels does not show, so that the preview and the printer lay text out
// alike. The painter draws text at the same resolution. Needs a GUI application.
class TextMetrics
{
public:
    static constexpr int measuringDpi = 19200;

    TextMetrics();
    ~TextMetrics();
    TextMetrics(const TextMetrics&) = delete;
    TextMetrics& operator=(const TextMetrics&) = delete;

    Length width(const QFont& font, const QString& line) const;
    // The height of one line of text: ascent plus descent.
    Length lineHeight(const QFont& font) const;
    // From the top of a line to its baseline.
    Length ascent(const QFont& font) const;

    // The font as it is measured and drawn: no hinting, Arial served by a metric-compatible
    // face, and a CJK face behind it for Chinese text.
    static QFont printFont(const QFont& font);

private:
    const QFontMetricsF& metrics(const QFont& font) const;

    QImage m_device;
    mutable QHash<QString, std::shared_ptr<QFontMetricsF>> m_cache;
};

} // namespace report
