#pragma once

#include <QColor>
#include <QDialog>
#include <QFont>

class QCheckBox;
class QComboBox;
class QFontComboBox;
class QLabel;

namespace app {

// The font dialog: family, style and size, the effects (underline, strike-out and, when
// asked for, the text colour) and a sample. Only the sizes of the range given are offered,
// so no size the caller cannot take can be chosen.
class FontDialog : public QDialog
{
    Q_OBJECT
public:
    FontDialog(QWidget* parent, const QFont& initial, const QColor& initialColor, int minPoints,
               int maxPoints, bool withColor);

    QFont chosenFont() const;
    QColor chosenColor() const;

private:
    void showSample();

    QFont m_initial;
    // The family list shows the installed font that stands in for the initial one; only a
    // family the user picks replaces the initial name.
    bool m_familyPicked = false;
    QFontComboBox* m_family = nullptr;
    QComboBox* m_style = nullptr;
    QComboBox* m_size = nullptr;
    QCheckBox* m_strikeOut = nullptr;
    QCheckBox* m_underline = nullptr;
    QComboBox* m_color = nullptr;
    QLabel* m_sample = nullptr;
};

} // namespace app
