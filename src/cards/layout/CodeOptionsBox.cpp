#include "CodeOptionsBox.h"

#include "cards/print/CardCode.h"
#include "data/Query.h"
#include "data/WidgetUtils.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>

namespace cards {
namespace {

using data::place;

// Any place on either card, in tenths of a millimetre; whether it fits the card of the style
// is checked when the cards are previewed or the settings saved.
QDoubleSpinBox* millimetres(QWidget* parent, const char* name, QRect geometry, double minimum)
{
    auto* spin = place<QDoubleSpinBox>(parent, name, geometry);
    spin->setDecimals(1);
    spin->setSingleStep(0.5);
    spin->setRange(minimum, 85.5);
    spin->setSuffix(QStringLiteral(" mm"));
    spin->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    return spin;
}

QLabel* label(QWidget* parent, const QString& text, QRect geometry)
{
    auto* result = new QLabel(text, parent);
    result->setGeometry(geometry);
    return result;
}

} // namespace

CodeOptionsBox::CodeOptionsBox(QWidget* parent)
    : QGroupBox(QStringLiteral("Barcode or QR Code"), parent)
{
    setObjectName(QStringLiteral("gbCode"));
    label(this, QStringLiteral("Code"), {8, 21, 40, 13});
    kindList = place<QComboBox>(this, "cbCodeKind", {52, 18, 85, 21});
    kindList->addItem(QStringLiteral("None"), int(CodeElement::Kind::None));
    kindList->addItem(QStringLiteral("Code 128"), int(CodeElement::Kind::Code128));
    kindList->addItem(QStringLiteral("QR Code"), int(CodeElement::Kind::Qr));
    label(this, QStringLiteral("Field"), {148, 21, 36, 13});
    fieldList = place<QComboBox>(this, "cbCodeField", {186, 18, 95, 21});

    label(this, QStringLiteral("Left"), {8, 47, 40, 13});
    left = millimetres(this, "seCodeLeft", {52, 44, 85, 21}, 0);
    label(this, QStringLiteral("Top"), {148, 47, 36, 13});
    top = millimetres(this, "seCodeTop", {186, 44, 95, 21}, 0);
    label(this, QStringLiteral("Width"), {8, 73, 40, 13});
    width = millimetres(this, "seCodeWidth", {52, 70, 85, 21}, 5);
    label(this, QStringLiteral("Height"), {148, 73, 36, 13});
    height = millimetres(this, "seCodeHeight", {186, 70, 95, 21}, 5);

    defaultPlace = place<QPushButton>(this, "bCodePlace", {8, 96, 85, 23});
    defaultPlace->setText(QStringLiteral("Default Place"));
    defaultPlace->setAutoDefault(false);
    label(this, QStringLiteral("from the card's top left corner"), {100, 101, 181, 13});

    connect(kindList, &QComboBox::currentIndexChanged, this, &CodeOptionsBox::kindChanged);
    for (QDoubleSpinBox* spin : {left, top, width, height})
        connect(spin, &QDoubleSpinBox::valueChanged, this, [this] { m_placed = true; });
    connect(defaultPlace, &QPushButton::clicked, this, [this] {
        m_placed = false;
        showDefaultPlace();
    });
    kindChanged();
}

void CodeOptionsBox::load(const data::Query& fields, const CodeElement& code, int style)
{
    const QSignalBlocker blocker(kindList);
    fieldList->clear();
    for (int row = 0; row < fields.rowCount(); ++row)
        fieldList->addItem(fields.rowValue(row, QStringLiteral("dname")).toString(),
                           fields.rowValue(row, QStringLiteral("fname")).toString());
    // A stored column the fields table does not list stays as it is.
    if (fieldList->findData(code.field) < 0)
        fieldList->addItem(code.field, code.field);
    fieldList->setCurrentIndex(fieldList->findData(code.field));
    kindList->setCurrentIndex(kindList->findData(int(code.kind)));
    m_style = style;
    m_placed = code.placed;
    if (m_placed)
        showPlace(code);
    kindChanged();
}

void CodeOptionsBox::setStyle(int style)
{
    m_style = style;
    if (!m_placed)
        showDefaultPlace();
}

CodeElement CodeOptionsBox::code() const
{
    CodeElement result;
    result.kind = CodeElement::Kind(kindList->currentData().toInt());
    if (fieldList->currentIndex() >= 0)
        result.field = fieldList->currentData().toString();
    result.placed = m_placed;
    if (m_placed) {
        result.x = left->value();
        result.y = top->value();
        result.width = width->value();
        result.height = height->value();
    }
    return result;
}

void CodeOptionsBox::showPlace(const CodeElement& place)
{
    const QSignalBlocker l(left), t(top), w(width), h(height);
    left->setValue(place.x);
    top->setValue(place.y);
    width->setValue(place.width);
    height->setValue(place.height);
}

void CodeOptionsBox::showDefaultPlace()
{
    const auto kind = CodeElement::Kind(kindList->currentData().toInt());
    // Kind None shows where a barcode would go.
    showPlace(defaultCodePlace(
        m_style, kind == CodeElement::Kind::None ? CodeElement::Kind::Code128 : kind));
}

void CodeOptionsBox::kindChanged()
{
    const bool any = kindList->currentData().toInt() != int(CodeElement::Kind::None);
    for (QWidget* control :
         std::initializer_list<QWidget*> {fieldList, left, top, width, height, defaultPlace})
        control->setEnabled(any);
    if (!m_placed)
        showDefaultPlace();
}

} // namespace cards
