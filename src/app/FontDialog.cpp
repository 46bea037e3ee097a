#include "FontDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontComboBox>
#include <QFontInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace app {
namespace {

struct NamedColor
{
    const char* name;
    QRgb rgb;
};

// The sixteen basic colours that font dialogs offer.
constexpr NamedColor basicColors[] = {
    {"Black", 0x000000},  {"Maroon", 0x800000},  {"Green", 0x008000}, {"Olive", 0x808000},
    {"Navy", 0x000080},   {"Purple", 0x800080},  {"Teal", 0x008080},  {"Grey", 0x808080},
    {"Silver", 0xC0C0C0}, {"Red", 0xFF0000},     {"Lime", 0x00FF00},  {"Yellow", 0xFFFF00},
    {"Blue", 0x0000FF},   {"Fuchsia", 0xFF00FF}, {"Aqua", 0x00FFFF},  {"White", 0xFFFFFF},
};

QPixmap swatch(const QColor& color)
{
    QPixmap pixmap(16, 12);
    pixmap.fill(color);
    return pixmap;
}

enum Style { Regular, Italic, Bold, BoldItalic };

} // namespace

FontDialog::FontDialog(QWidget* parent, const QFont& initial, const QColor& initialColor,
                       int minPoints, int maxPoints, bool withColor)
    : QDialog(parent)
    , m_initial(initial)
{
    setObjectName(QStringLiteral("FontDialog"));
    setWindowTitle(tr("Font"));

    m_family = new QFontComboBox(this);
    m_family->setObjectName(QStringLiteral("cbFamily"));
    m_family->setEditable(false);
    m_family->setCurrentFont(initial);

    m_style = new QComboBox(this);
    m_style->setObjectName(QStringLiteral("cbStyle"));
    m_style->addItems({tr("Regular"), tr("Italic"), tr("Bold"), tr("Bold Italic")});
    m_style->setCurrentIndex((initial.bold() ? Bold : Regular) + (initial.italic() ? Italic : 0));

    m_size = new QComboBox(this);
    m_size->setObjectName(QStringLiteral("cbSize"));
    for (int points = minPoints; points <= maxPoints; ++points)
        m_size->addItem(QString::number(points), points);
    const double shown
        = initial.pointSizeF() > 0 ? initial.pointSizeF() : QFontInfo(initial).pointSizeF();
    m_size->setCurrentIndex(std::clamp(int(std::lround(shown)), minPoints, maxPoints) - minPoints);

    auto* effects = new QGroupBox(tr("Effects"), this);
    m_strikeOut = new QCheckBox(tr("Stri&keout"), effects);
    m_strikeOut->setObjectName(QStringLiteral("cbStrikeOut"));
    m_strikeOut->setChecked(initial.strikeOut());
    m_underline = new QCheckBox(tr("&Underline"), effects);
    m_underline->setObjectName(QStringLiteral("cbUnderline"));
    m_underline->setChecked(initial.underline());
    auto* effectsLayout = new QVBoxLayout(effects);
    effectsLayout->addWidget(m_strikeOut);
    effectsLayout->addWidget(m_underline);
    m_color = new QComboBox(effects);
    m_color->setObjectName(QStringLiteral("cbColour"));
    for (const NamedColor& c : basicColors)
        m_color->addItem(swatch(QColor(c.rgb)), tr(c.name), QColor(c.rgb));
    const QColor start = initialColor.isValid() ? initialColor : QColor(Qt::black);
    int at = m_color->findData(start);
    if (at < 0) {
        m_color->addItem(swatch(start), tr("Custom"), start);
        at = m_color->count() - 1;
    }
    m_color->setCurrentIndex(at);
    if (withColor) {
        auto* colorLabel = new QLabel(tr("&Colour:"), effects);
        colorLabel->setBuddy(m_color);
        effectsLayout->addWidget(colorLabel);
        effectsLayout->addWidget(m_color);
    } else {
        m_color->hide();
    }

    auto* sampleBox = new QGroupBox(tr("Sample"), this);
    m_sample = new QLabel(QStringLiteral("AaBbYyZz"), sampleBox);
    m_sample->setObjectName(QStringLiteral("lbSample"));
    m_sample->setAlignment(Qt::AlignCenter);
    m_sample->setMinimumSize(160, 60);
    auto* sampleLayout = new QVBoxLayout(sampleBox);
    sampleLayout->addWidget(m_sample);

    auto* form = new QFormLayout;
    form->addRow(tr("&Font:"), m_family);
    form->addRow(tr("Font st&yle:"), m_style);
    form->addRow(tr("&Size:"), m_size);
    auto* lower = new QHBoxLayout;
    lower->addWidget(effects);
    lower->addWidget(sampleBox, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(lower);
    layout->addWidget(buttons);

    connect(m_family, &QFontComboBox::currentFontChanged, this, [this] {
        m_familyPicked = true;
        showSample();
    });
    for (QComboBox* box : {m_style, m_size, m_color})
        connect(box, &QComboBox::currentIndexChanged, this, &FontDialog::showSample);
    for (QCheckBox* box : {m_strikeOut, m_underline})
        connect(box, &QCheckBox::toggled, this, &FontDialog::showSample);
    showSample();
}

QFont FontDialog::chosenFont() const
{
    QFont font = m_initial;
    if (m_familyPicked)
        font.setFamilies({m_family->currentFont().family()});
    font.setPointSize(m_size->currentData().toInt());
    const int style = m_style->currentIndex();
    font.setBold(style == Bold || style == BoldItalic);
    font.setItalic(style == Italic || style == BoldItalic);
    font.setStrikeOut(m_strikeOut->isChecked());
    font.setUnderline(m_underline->isChecked());
    return font;
}

QColor FontDialog::chosenColor() const
{
    return m_color->currentData().value<QColor>();
}

void FontDialog::showSample()
{
    m_sample->setFont(chosenFont());
    QPalette palette = m_sample->palette();
    palette.setColor(QPalette::WindowText, chosenColor());
    m_sample->setPalette(palette);
}

} // namespace app
