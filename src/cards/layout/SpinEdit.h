#pragma once

#include <QSpinBox>

namespace cards {

// A spin edit of whole numbers: a value outside its range is pulled to the nearer limit,
// when set and when the field is left, and a field left empty (or holding only a sign)
// counts as 0. Only digits, with an optional sign, can be typed.
class SpinEdit : public QSpinBox
{
    Q_OBJECT
public:
    explicit SpinEdit(QWidget* parent = nullptr);

protected:
    QValidator::State validate(QString& input, int& pos) const override;
    int valueFromText(const QString& text) const override;
};

} // namespace cards
