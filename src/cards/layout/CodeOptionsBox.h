#pragma once

#include "cards/CardOptions.h"

#include <QGroupBox>

class QComboBox;
class QDoubleSpinBox;
class QPushButton;

namespace data {
class Query;
}

namespace cards {

// The layout dialog's controls of the card's code element: its kind, the member column it
// encodes (any the fields table lists) and its place and size in millimetres. Until the user
// changes the place, the box shows the default place of the style and kind, and follows them.
class CodeOptionsBox : public QGroupBox
{
    Q_OBJECT
public:
    explicit CodeOptionsBox(QWidget* parent);

    // Shows the stored element on a card of the style, the fields rows as the field list.
    void load(const data::Query& fields, const CodeElement& code, int style);
    // The style the default place follows.
    void setStyle(int style);
    CodeElement code() const;

    QComboBox* kindList = nullptr;
    QComboBox* fieldList = nullptr;
    QDoubleSpinBox* left = nullptr;
    QDoubleSpinBox* top = nullptr;
    QDoubleSpinBox* width = nullptr;
    QDoubleSpinBox* height = nullptr;
    QPushButton* defaultPlace = nullptr; // "Default Place"

private:
    void showPlace(const CodeElement& place);
    void showDefaultPlace();
    void kindChanged();

    int m_style = 0;
    bool m_placed = false;
};

} // namespace cards
