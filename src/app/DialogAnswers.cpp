#include "DialogAnswers.h"

#include "cards/print/PrintPreviewWindow.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QRegularExpression>

namespace app {

namespace {

// Every question and message the user is shown can be logged, for support and for the
// tests that drive the program on a real display: QT_LOGGING_RULES="melbrin.answers.info=true".
Q_LOGGING_CATEGORY(answersLog, "melbrin.answers", QtWarningMsg)

void logShown(const char* kind, const QString& title, const QString& text)
{
    QString line = text;
    line.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    qCInfo(answersLog).noquote() << kind << "|" << title << "|" << line;
}

} // namespace

void DialogAnswers::message(data::MessageIcon icon, const QString& title, const QString& text)
{
    QMessageBox box(icon == data::MessageIcon::Error             ? QMessageBox::Critical
                        : icon == data::MessageIcon::Information ? QMessageBox::Information
                                                                 : QMessageBox::NoIcon,
                    title, text, QMessageBox::Ok, QApplication::activeWindow());
    logShown(icon == data::MessageIcon::Error             ? "error"
                 : icon == data::MessageIcon::Information ? "information"
                                                          : "message",
             title, text);
    box.exec();
}

void DialogAnswers::failure(const QString& title, const QString& text, const QString& reason)
{
    QMessageBox box(QMessageBox::Critical, title, text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setInformativeText(reason);
    logShown("error", title, text + QLatin1Char(' ') + reason);
    box.exec();
}

bool DialogAnswers::confirm(const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Ok | QMessageBox::Cancel,
                    QApplication::activeWindow());
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Cancel);
    logShown("question", title, text);
    return box.exec() == QMessageBox::Ok;
}

std::optional<QString> DialogAnswers::inputText(QWidget* parent, const QString& title,
                                                const QString& prompt, const QString& initial)
{
    logShown("input", title, prompt);
    bool ok = false;
    const QString text
        = QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, initial, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

std::optional<QString> DialogAnswers::openFileName(QWidget* parent, const QString& filter)
{
    logShown("open", {}, filter);
    const QString name = QFileDialog::getOpenFileName(parent, {}, {}, filter);
    if (name.isEmpty())
        return std::nullopt;
    return name;
}

std::optional<QString> DialogAnswers::openFileName(QWidget* parent, const QString& filter,
                                                   const QString& title, const QString& fileName,
                                                   const QString& defaultSuffix)
{
    logShown("open", title, filter);
    QFileDialog dialog(parent, title, {}, filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(defaultSuffix);
    if (!fileName.isEmpty())
        dialog.selectFile(fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> DialogAnswers::saveFileName(QWidget* parent, const QString& filter,
                                                   const QString& fileName)
{
    QFileDialog dialog(parent, {}, {}, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    logShown("save", {}, filter);
    // The question whether to replace a file is the program's own.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!fileName.isEmpty())
        dialog.selectFile(fileName);
    // A name typed without an extension takes the one of the file type chosen.
    const auto useSuffixOf = [&dialog](const QString& nameFilter) {
        static const QRegularExpression extension(QStringLiteral(R"(\(\*\.([^\s)*?]+))"));
        dialog.setDefaultSuffix(extension.match(nameFilter).captured(1));
    };
    useSuffixOf(dialog.selectedNameFilter());
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, useSuffixOf);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
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

std::optional<data::Answers::FontChoice>
DialogAnswers::chooseFontAndColor(QWidget* parent, const QFont& initial, const QColor& initialColor,
                                  int minPoints, int maxPoints)
{
    const std::optional<QFont> font = chooseFont(parent, initial, minPoints, maxPoints);
    if (!font)
        return std::nullopt;
    // The font dialog has no colour of its own: the colour follows, with the basic colours
    // offered first.
    const QColor color = QColorDialog::getColor(initialColor, parent, QObject::tr("Font Colour"));
    return FontChoice {*font, color.isValid() ? color : initialColor};
}

void DialogAnswers::preview(QWidget* parent, const Render& render)
{
    cards::showPrintPreview(parent, render);
}

} // namespace app
