#include "NewPassphraseDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace app {

NewPassphraseDialog::NewPassphraseDialog(QWidget* parent, const QString& title, bool offerRemember)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("NewPassphraseDialog"));
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);

    auto* form = new QFormLayout;
    auto passwordField = [this](const char* name) {
        auto* field = new QLineEdit(this);
        field->setObjectName(QString::fromLatin1(name));
        field->setEchoMode(QLineEdit::Password);
        field->setMinimumWidth(220);
        return field;
    };
    m_field = passwordField("eNewPassword");
    m_confirm = passwordField("eConfirmPassword");
    form->addRow(tr("&New password:"), m_field);
    form->addRow(tr("C&onfirm password:"), m_confirm);
    layout->addLayout(form);

    auto* hint
        = new QLabel(tr("Leave both empty to go back to the program's default password."), this);
    hint->setObjectName(QStringLiteral("lDefaultHint"));
    hint->setWordWrap(true);
    layout->addWidget(hint);

    if (offerRemember) {
        m_remember = new QCheckBox(tr("&Remember on this computer"), this);
        m_remember->setObjectName(QStringLiteral("cbRemember"));
        layout->addWidget(m_remember);
    }

    m_problem = new QLabel(this);
    m_problem->setObjectName(QStringLiteral("lProblem"));
    m_problem->setStyleSheet(QStringLiteral("color: #b00000"));
    m_problem->hide();
    layout->addWidget(m_problem);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &NewPassphraseDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // What was wrong goes once either field is typed in again.
    for (QLineEdit* field : {m_field, m_confirm})
        connect(field, &QLineEdit::textEdited, m_problem, &QWidget::hide);
    m_field->setFocus();
}

QString NewPassphraseDialog::passphrase() const
{
    return m_field->text();
}

bool NewPassphraseDialog::remember() const
{
    return m_remember && m_remember->isChecked() && !passphrase().isEmpty();
}

QString NewPassphraseDialog::problem() const
{
    return m_problem->isHidden() ? QString() : m_problem->text();
}

void NewPassphraseDialog::accept()
{
    if (m_field->text() != m_confirm->text()) {
        m_problem->setText(tr("The two passwords do not match."));
        m_problem->show();
        m_confirm->setFocus();
        m_confirm->selectAll();
        return;
    }
    QDialog::accept();
}

} // namespace app
