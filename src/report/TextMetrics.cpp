#include "TextMetrics.h"

#include <QFontMetricsF>
#include <mutex>

namespace report {
namespace {

// Faces tried for characters the chosen face lacks, Chinese above all.
const QStringList cjkFallbacks
    = {QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
       QStringLiteral("AR PL UMing CN")};

void installSubstitutions()
{
    static std::once_flag once;
    std::call_once(once, [] {
        // Same advance widths as the faces the designs name.
        QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
        QFont::insertSubstitution(QStringLiteral("Times New Roman"),
                                  QStringLiteral("Liberation Serif"));
        QFont::insertSubstitution(QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"));
    });
}

} // namespace

TextMetrics::TextMetrics()
    : m_device(1, 1, QImage::Format_RGB32)
{
    installSubstitutions();
    const int dotsPerMetre = qRound(measuringDpi / 0.0254);
    m_device.setDotsPerMeterX(dotsPerMetre);
    m_device.setDotsPerMeterY(dotsPerMetre);
}

TextMetrics::~TextMetrics() = default;

QFont TextMetrics::printFont(const QFont& font)
{
    installSubstitutions();
    QFont result = font;
    result.setHintingPreference(QFont::PreferNoHinting);
    // A face that is not installed is skipped for the next one in the list before any
    // substitution applies, so the substitutes go right behind it.
    QStringList families = {font.family()};
    families += QFont::substitutes(font.family());
    for (const QString& fallback : cjkFallbacks) {
        if (!families.contains(fallback))
            families.append(fallback);
    }
    result.setFamilies(families);
    return result;
}

const QFontMetricsF& TextMetrics::metrics(const QFont& font) const
{
    const QString key = font.key();
    auto it = m_cache.find(key);
    if (it == m_cache.end())
        it = m_cache.insert(key, std::make_shared<QFontMetricsF>(printFont(font), &m_device));
    return **it;
}

Length TextMetrics::width(const QFont& font, const QString& line) const
{
    return Length::device(metrics(font).horizontalAdvance(line), measuringDpi);
}

Length TextMetrics::lineHeight(const QFont& font) const
{
    return Length::device(metrics(font).height(), measuringDpi);
}

Length TextMetrics::ascent(const QFont& font) const
{
    return Length::device(metrics(font).ascent(), measuringDpi);
}

} // namespace report
