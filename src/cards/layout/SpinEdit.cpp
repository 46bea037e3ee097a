#include "SpinEdit.h"

#include <QRegularExpression>
#include <algorithm>

namespace cards {
namespace {

// A sign and up to nine digits: every such text is a number that fits an int.
const QRegularExpression& wholeNumber()
{
    static const QRegularExpression re(QStringLiteral("^\\s*[-+]?\\d{0,9}\\s*$"));
    return re;
}

} // namespace

SpinEdit::SpinEdit(QWidget* parent)
    : QSpinBox(parent)
{
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
}

QValidator::State SpinEdit::validate(QString& input, int& pos) const
{
    Q_UNUSED(pos);
    return wholeNumber().match(input).hasMatch() ? QValidator::Acceptable : QValidator::Invalid;
}

int SpinEdit::valueFromText(const QString& text) const
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return std::clamp(ok ? value : 0, minimum(), maximum());
}

} // namespace cards
