#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;

namespace app {

// Asks for the password of a database file: the prompt (which file, and why the last try
// failed), one field that shows dots, and "Remember on this computer" where the computer
// has a secret store to remember in.
class PassphraseDialog : public QDialog
{
    Q_OBJECT
public:
    PassphraseDialog(QWidget* parent, const QString& title, const QString& prompt,
                     bool offerRemember);

    QString passphrase() const;
    bool remember() const;

    QLineEdit* field() const { return m_field; }
    // Null when the box is not offered.
    QCheckBox* rememberBox() const { return m_remember; }

protected:
    // Asked before the main window shows, the dialog stands in the middle of the screen.
    void showEvent(QShowEvent* event) override;

private:
    QLineEdit* m_field = nullptr;
    QCheckBox* m_remember = nullptr;
};

} // namespace app
