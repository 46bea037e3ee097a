#include "DialogAnswers.h"

#include "data/Error.h"

#include <QApplication>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace app {

void DialogAnswers::message(data::MessageIcon icon, const QString& title, const QString& text)
{
    QMessageBox box(icon == data::MessageIcon::Error             ? QMessageBox::Critical
                        : icon == data::MessageIcon::Information ? QMessageBox::Information
                                                                 : QMessageBox::NoIcon,
                    title, text, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

bool DialogAnswers::confirm(const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Ok | QMessageBox::Cancel,
                    QApplication::activeWindow());
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Ok;
}

std::optional<QString> DialogAnswers::inputText(QWidget* parent, const QString& title,
                                                const QString& prompt, const QString& initial)
{
    bool ok = false;
    const QString text
        = QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, initial, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

std::optional<QString> DialogAnswers::openFileName(QWidget* parent, const QString& filter)
{
    const QString name = QFileDialog::getOpenFileName(parent, {}, {}, filter);
    if (name.isEmpty())
        return std::nullopt;
    return name;
}

std::optional<QString> DialogAnswers::saveFileName(QWidget* parent, const QString& filter,
                                                   const QString& fileName)
{
    // The question whether to replace a file is the program's own.
    const QString name = QFileDialog::getSaveFileName(parent, {}, fileName, filter, nullptr,
                                                      QFileDialog::DontConfirmOverwrite);
    if (name.isEmpty())
        return std::nullopt;
    return name;
}

std::optional<QFont> DialogAnswers::chooseFont(QWidget* parent, const QFont& initial, int minPoints,
                                               int maxPoints)
{
    for (;;) {
        bool ok = false;
        const QFont font = QFontDialog::getFont(
            &ok, initial, parent, {}, QFontDialog::ScalableFonts | QFontDialog::NonScalableFonts);
        if (!ok)
            return std::nullopt;
        const int points = qRound(font.pointSizeF());
        if (points >= minPoints && points <= maxPoints)
            return font;
        QMessageBox::warning(
            parent, QStringLiteral("Font"),
            QObject::tr("Size must be between %1 and %2.").arg(minPoints).arg(maxPoints));
    }
}

void DialogAnswers::preview(QWidget* parent, const Render& render)
{
    Q_UNUSED(parent);
    Q_UNUSED(render);
    throw data::Error(QStringLiteral("The print preview is not available"));
}

} // namespace app
