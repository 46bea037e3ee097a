#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace app {

// Asks for a new password of the open database, typed twice; both left empty stand for the
// program's default password. OK with two different texts keeps the dialog open and says
// so in it.
class NewPassphraseDialog : public QDialog
{
    Q_OBJECT
public:
    NewPassphraseDialog(QWidget* parent, const QString& title, bool offerRemember);

    QString passphrase() const;
    bool remember() const;

    QLineEdit* field() const { return m_field; }
    QLineEdit* confirmField() const { return m_confirm; }
    // Null when the box is not offered.
    QCheckBox* rememberBox() const { return m_remember; }
    // Empty while nothing is wrong.
    QString problem() const;

    void accept() override;

private:
    QLineEdit* m_field = nullptr;
    QLineEdit* m_confirm = nullptr;
    QCheckBox* m_remember = nullptr;
    QLabel* m_problem = nullptr;
};

} // namespace app
