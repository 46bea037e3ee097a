#include "FontLabel.h"

#include "cards/LabelFontMapping.h"

namespace cards {
namespace {

Qt::Alignment alignmentOf(const LabelProperties& properties)
{
    Qt::Alignment result;
    switch (properties.alignment) {
    case LabelProperties::Alignment::LeftJustify:
        result = Qt::AlignLeft;
        break;
    case LabelProperties::Alignment::RightJustify:
        result = Qt::AlignRight;
        break;
    case LabelProperties::Alignment::Center:
        result = Qt::AlignHCenter;
        break;
    }
    switch (properties.layout) {
    case LabelProperties::Layout::Top:
        return result | Qt::AlignTop;
    case LabelProperties::Layout::Center:
        return result | Qt::AlignVCenter;
    case LabelProperties::Layout::Bottom:
        return result | Qt::AlignBottom;
    }
    return result;
}

} // namespace

FontLabel::FontLabel(QWidget* parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setProperties(m_properties);
}

void FontLabel::setProperties(const LabelProperties& properties)
{
    // The name a stream carries does not rename the label.
    const QString name = m_properties.name;
    m_properties = properties;
    m_properties.name = name;
    setText(properties.caption);
    setAlignment(alignmentOf(properties));
    QPalette palette;
    if (properties.parentFont) {
        setFont(QFont());
    } else {
        setFont(LabelFontMapping::toQFont(properties.font));
        palette.setColor(QPalette::WindowText, LabelFontMapping::toQColor(properties.font.color));
    }
    setPalette(palette);
    setGeometry(properties.left, properties.top, properties.width, properties.height);
    if (properties.autoSize)
        adjustSize();
}

QColor FontLabel::color() const
{
    // The stored colour, not the palette's: a label on the parent's font prints in the
    // parent's window text colour, which is black whatever the desktop's theme shows.
    if (m_properties.parentFont)
        return QColor(0, 0, 0);
    return LabelFontMapping::toQColor(m_properties.font.color);
}

} // namespace cards
