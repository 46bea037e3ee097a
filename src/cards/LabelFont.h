#pragma once

#include <QFlags>
#include <QString>
#include <QtGlobal>

namespace cards {

// The font of a stored label, as the label stream describes it.
struct LabelFont
{
    enum class Style { Bold = 1, Italic = 2, Underline = 4, StrikeOut = 8 };
    Q_DECLARE_FLAGS(Styles, Style)
    enum class Pitch { Default, Variable, Fixed };

    QString name = QStringLiteral("Arial");
    // Negative: character height in pixels at 96 per inch without internal leading.
    // Positive: cell height in pixels.
    qint32 height = -13;
    Styles style;
    // 00BBGGRR, or a system colour FF0000nn, or one of the two special values.
    qint32 color = 0;
    qint32 charset = 1;
    Pitch pitch = Pitch::Default;

    bool operator==(const LabelFont&) const = default;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(LabelFont::Styles)

} // namespace cards
