#include "DialogAnswers.h"

#include "DatabaseDialog.h"
#include "FontDialog.h"
#include "NewPassphraseDialog.h"
#include "PassphraseDialog.h"
#include "cards/print/PrintPreviewWindow.h"
#include "data/WidgetUtils.h"

#include <QApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QInputDialog>
#include <QLayout>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QStyle>
#include <algorithm>

namespace app {
namespace {

// A message box in the middle of the screen, wherever the window that asks stands.
class ScreenCentredBox : public QMessageBox
{
public:
    ScreenCentredBox(Icon icon, const QString& title, const QString& text, StandardButtons buttons)
        : QMessageBox(icon, title, text, buttons, QApplication::activeWindow())
    { }

protected:
    void showEvent(QShowEvent* event) override
    {
        // Wide enough that the title bar shows the whole title: the box takes the width of
        // its widest row.
        if (auto* grid = qobject_cast<QGridLayout*>(layout()); grid && !m_widened) {
            const QMargins margins = grid->contentsMargins();
            grid->addItem(
                new QSpacerItem(DialogAnswers::titleRoom(*this) - margins.left() - margins.right(),
                                0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                grid->rowCount(), 0, 1, grid->columnCount());
            m_widened = true;
        }
        QMessageBox::showEvent(event); // lays the box out at its final size
        data::centreOnScreen(this);
    }

private:
    bool m_widened = false;
};

// Every question and message the user is shown can be logged, for support and for the
// tests that drive the program on a real display: QT_LOGGING_RULES="melbrin.answers.info=true".
Q_LOGGING_CATEGORY(answersLog, "melbrin.answers", QtWarningMsg)

void logShown(const char* kind, const QString& title, const QString& text)
{
    QString line = text;
    line.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    qCInfo(answersLog).noquote() << kind << "|" << title << "|" << line;
}

// A name typed without an extension takes the one of the file type chosen (the first
// "*.ext" of its entry), or fallback for a type without one ("All Files (*)").
void useSuffixOfChosenType(QFileDialog& dialog, const QString& fallback = {})
{
    const auto useSuffixOf = [&dialog, fallback](const QString& nameFilter) {
        const QString suffix = data::nameFilterSuffix(nameFilter);
        dialog.setDefaultSuffix(suffix.isEmpty() ? fallback : suffix);
    };
    useSuffixOf(dialog.selectedNameFilter());
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, useSuffixOf);
}

} // namespace

void DialogAnswers::message(data::MessageIcon icon, const QString& title, const QString& text)
{
    ScreenCentredBox box(icon == data::MessageIcon::Error             ? QMessageBox::Critical
                             : icon == data::MessageIcon::Information ? QMessageBox::Information
                                                                      : QMessageBox::NoIcon,
                         title, text, QMessageBox::Ok);
    logShown(icon == data::MessageIcon::Error             ? "error"
                 : icon == data::MessageIcon::Information ? "information"
                                                          : "message",
             title, text);
    box.exec();
}

void DialogAnswers::failure(const QString& title, const QString& text, const QString& reason)
{
    ScreenCentredBox box(QMessageBox::Critical, title, text, QMessageBox::Ok);
    box.setInformativeText(reason);
    logShown("error", title, text + QLatin1Char(' ') + reason);
    box.exec();
}

bool DialogAnswers::confirm(const QString& title, const QString& text)
{
    ScreenCentredBox box(QMessageBox::Question, title, text, QMessageBox::Ok | QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Cancel);
    logShown("question", title, text);
    return box.exec() == QMessageBox::Ok;
}

int DialogAnswers::titleRoom(const QWidget& window)
{
    // Title bars mostly show their text in bold, beside the window's icon and its three
    // buttons, each about as wide as the bar is high.
    QFont font = window.font();
    font.setBold(true);
    const int bar
        = std::max(window.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window),
                   QFontMetrics(font).height() + 8);
    return QFontMetrics(font).horizontalAdvance(window.windowTitle()) + 5 * bar;
}

std::optional<QString> DialogAnswers::inputText(QWidget* parent, const QString& title,
                                                const QString& prompt, const QString& initial)
{
    logShown("input", title, prompt);
    QInputDialog dialog(parent);
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(initial);
    dialog.setInputMode(QInputDialog::TextInput);
    // Wide enough that the title bar shows the whole title. The box sizes itself to its
    // contents, so the room is given to the text field.
    if (auto* edit = dialog.findChild<QLineEdit*>()) {
        const QMargins margins = dialog.layout() ? dialog.layout()->contentsMargins() : QMargins();
        edit->setMinimumWidth(titleRoom(dialog) - margins.left() - margins.right());
    }
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

std::optional<QString> DialogAnswers::inputPassword(QWidget* parent, const QString& title,
                                                    const QString& prompt)
{
    // What is typed is never logged.
    logShown("password", title, prompt);
    QInputDialog dialog(parent);
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setTextEchoMode(QLineEdit::Password);
    if (auto* edit = dialog.findChild<QLineEdit*>()) {
        const QMargins margins = dialog.layout() ? dialog.layout()->contentsMargins() : QMargins();
        edit->setMinimumWidth(titleRoom(dialog) - margins.left() - margins.right());
    }
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

std::optional<data::Answers::Passphrase> DialogAnswers::askPassphrase(QWidget* parent,
                                                                      const QString& title,
                                                                      const QString& prompt,
                                                                      bool offerRemember)
{
    // What is typed is never logged.
    logShown("passphrase", title, prompt);
    PassphraseDialog dialog(parent, title, prompt, offerRemember);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return Passphrase {dialog.passphrase(), dialog.remember()};
}

std::optional<data::Answers::Passphrase>
DialogAnswers::newPassphrase(QWidget* parent, const QString& title, bool offerRemember)
{
    logShown("new passphrase", title, {});
    NewPassphraseDialog dialog(parent, title, offerRemember);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return Passphrase {dialog.passphrase(), dialog.remember()};
}

std::optional<QString> DialogAnswers::chooseDatabase(QWidget* parent, const QString& title,
                                                     const QString& prompt, const QString& current)
{
    logShown("database", title, prompt);
    DatabaseDialog dialog(parent, title, prompt, current);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.database();
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

std::optional<QString> DialogAnswers::chooseFolder(QWidget* parent, const QString& title)
{
    logShown("folder", title, {});
    const QString folder = QFileDialog::getExistingDirectory(parent, title);
    if (folder.isEmpty())
        return std::nullopt;
    return folder;
}

std::optional<data::Answers::OpenedFile>
DialogAnswers::openFileOfKind(QWidget* parent, const QString& filter, const QString& title,
                              const QString& fileName, const QString& defaultSuffix)
{
    logShown("open", title, filter);
    QFileDialog dialog(parent, title, {}, filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    useSuffixOfChosenType(dialog, defaultSuffix);
    if (!fileName.isEmpty())
        dialog.selectFile(fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return OpenedFile {dialog.selectedFiles().constFirst(), dialog.selectedNameFilter()};
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
    useSuffixOfChosenType(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<QFont> DialogAnswers::chooseFont(QWidget* parent, const QFont& initial, int minPoints,
                                               int maxPoints)
{
    FontDialog dialog(parent, initial, Qt::black, minPoints, maxPoints, false);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.chosenFont();
}

std::optional<data::Answers::FontChoice>
DialogAnswers::chooseFontAndColor(QWidget* parent, const QFont& initial, const QColor& initialColor,
                                  int minPoints, int maxPoints)
{
    // One dialog for the font and its colour: cancelling it keeps both as they were.
    FontDialog dialog(parent, initial, initialColor, minPoints, maxPoints, true);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return FontChoice {dialog.chosenFont(), dialog.chosenColor()};
}

void DialogAnswers::preview(QWidget* parent, const Render& render)
{
    cards::showPrintPreview(parent, render);
}

void DialogAnswers::previewWithStatus(QWidget* parent, const Render& render, const Status& status)
{
    cards::showPrintPreview(parent, render, status);
}

} // namespace app
