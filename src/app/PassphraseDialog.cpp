#include "PassphraseDialog.h"

#include "data/WidgetUtils.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace app {

PassphraseDialog::PassphraseDialog(QWidget* parent, const QString& title, const QString& prompt,
                                   bool offerRemember)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("PassphraseDialog"));
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    // The prompt names a file: its characters are shown as they are.
    auto* text = new QLabel(prompt, this);
    text->setObjectName(QStringLiteral("lPrompt"));
    text->setTextFormat(Qt::PlainText);
    text->setWordWrap(true);
    layout->addWidget(text);

    auto* form = new QFormLayout;
    m_field = new QLineEdit(this);
    m_field->setObjectName(QStringLiteral("ePassword"));
    m_field->setEchoMode(QLineEdit::Password);
    m_field->setMinimumWidth(260);
    form->addRow(tr("&Password:"), m_field);
    layout->addLayout(form);

    if (offerRemember) {
        m_remember = new QCheckBox(tr("&Remember on this computer"), this);
        m_remember->setObjectName(QStringLiteral("cbRemember"));
        layout->addWidget(m_remember);
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    m_field->setFocus();
}

QString PassphraseDialog::passphrase() const
{
    return m_field->text();
}

bool PassphraseDialog::remember() const
{
    return m_remember && m_remember->isChecked();
}

void PassphraseDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!parentWidget() || !parentWidget()->isVisible())
        data::centreOnScreen(this);
}

} // namespace app
