#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <functional>
#include <optional>

class QPagedPaintDevice;
class QWidget;

namespace data {

enum class MessageIcon { None, Error, Information };

// The one door to every modal question the program asks: message boxes, the input box,
// file and font dialogs and the print preview. The desktop program answers through real
// dialogs; tests and the command line install their own answers.
class Answers
{
public:
    virtual ~Answers() = default;

    // A modal box with an OK button.
    virtual void message(MessageIcon icon, const QString& title, const QString& text) = 0;
    // An error box whose fixed text leaves out why the work failed; the reason is the
    // engine's or the file system's own message, shown with it.
    virtual void failure(const QString& title, const QString& text, const QString& reason)
    {
        Q_UNUSED(reason);
        message(MessageIcon::Error, title, text);
    }
    // A confirmation box with OK (default) and Cancel; true only for OK.
    virtual bool confirm(const QString& title, const QString& text) = 0;
    // The input box; nullopt when cancelled.
    virtual std::optional<QString> inputText(QWidget* parent, const QString& title,
                                             const QString& prompt, const QString& initial)
        = 0;
    // The input box that shows dots for what is typed (a password); nullopt when cancelled.
    // By default no one answers: it throws, as every question does where no answers were
    // installed.
    virtual std::optional<QString> inputPassword(QWidget* parent, const QString& title,
                                                 const QString& prompt);
    // The passphrase of a database file: password-mode input, with a "Remember on this
    // computer" check box when offerRemember; nullopt when cancelled. By default no one
    // answers: it throws.
    struct Passphrase
    {
        QString passphrase;
        bool remember = false;
    };
    virtual std::optional<Passphrase> askPassphrase(QWidget* parent, const QString& title,
                                                    const QString& prompt, bool offerRemember);
    // A new passphrase for the open database, typed twice (the two must match); an empty one
    // stands for the program's default key. nullopt when cancelled. By default no one
    // answers: it throws.
    virtual std::optional<Passphrase> newPassphrase(QWidget* parent, const QString& title,
                                                    bool offerRemember);
    // The database to open: a file path (with a way to browse for the file) or a server
    // address, current filled in; nullopt when cancelled. By default the input box.
    virtual std::optional<QString> chooseDatabase(QWidget* parent, const QString& title,
                                                  const QString& prompt, const QString& current)
    {
        return inputText(parent, title, prompt, current);
    }
    // File dialogs; nullopt when cancelled. filter uses Qt's "Name (*.a *.b);;..." form.
    virtual std::optional<QString> openFileName(QWidget* parent, const QString& filter) = 0;
    // The open dialog with its own title, a suggested file name and the extension added to
    // a name typed without one; by default as openFileName.
    virtual std::optional<QString> openFileName(QWidget* parent, const QString& filter,
                                                const QString& title, const QString& fileName,
                                                const QString& defaultSuffix)
    {
        Q_UNUSED(title);
        Q_UNUSED(fileName);
        Q_UNUSED(defaultSuffix);
        return openFileName(parent, filter);
    }
    // What the open dialog gave: the file, and the filter entry ("Name (*.a *.b)") that was
    // chosen when the file was, empty when that cannot be told.
    struct OpenedFile
    {
        QString path;
        QString nameFilter;
    };
    // The open dialog as above, also telling which kind of file was chosen; a name typed
    // without extension gets the one of that kind. By default as the dialog above, which
    // tells no kind.
    virtual std::optional<OpenedFile> openFileOfKind(QWidget* parent, const QString& filter,
                                                     const QString& title, const QString& fileName,
                                                     const QString& defaultSuffix)
    {
        const std::optional<QString> path
            = openFileName(parent, filter, title, fileName, defaultSuffix);
        if (!path)
            return std::nullopt;
        return OpenedFile {*path, {}};
    }
    virtual std::optional<QString> saveFileName(QWidget* parent, const QString& filter,
                                                const QString& fileName)
        = 0;
    // The folder dialog with its title; nullopt when cancelled. By default no one answers:
    // it throws, as every question does where no answers were installed.
    virtual std::optional<QString> chooseFolder(QWidget* parent, const QString& title);
    // The font dialog limited to sizes minPoints..maxPoints; nullopt when cancelled.
    virtual std::optional<QFont> chooseFont(QWidget* parent, const QFont& initial, int minPoints,
                                            int maxPoints)
        = 0;
    // What the font dialog gives back: the font with its effects, and the text colour.
    struct FontChoice
    {
        QFont font;
        QColor color;
    };
    // The font dialog with effects (underline, strike-out and colour), sizes limited to
    // minPoints..maxPoints; nullopt when cancelled. By default the font dialog alone, keeping
    // the initial colour.
    virtual std::optional<FontChoice> chooseFontAndColor(QWidget* parent, const QFont& initial,
                                                         const QColor& initialColor, int minPoints,
                                                         int maxPoints)
    {
        const std::optional<QFont> font = chooseFont(parent, initial, minPoints, maxPoints);
        if (!font)
            return std::nullopt;
        return FontChoice {*font, initialColor};
    }
    // The print preview window titled "Print Preview": render draws every page of the report
    // onto the device it is given (the preview, a printer, a PDF). Modal; the call
    // returns only when the window has been closed.
    using Render = std::function<void(QPagedPaintDevice* device)>;
    virtual void preview(QWidget* parent, const Render& render) = 0;
    // The preview whose status bar says, after each drawing of the pages, what status returns
    // (nothing when it is empty); on the command line it goes to standard error. By default
    // the preview alone.
    using Status = std::function<QString()>;
    virtual void previewWithStatus(QWidget* parent, const Render& render, const Status& status)
    {
        Q_UNUSED(status);
        preview(parent, render);
    }
};

Answers& answers();
// Installs the answers used from now on; nullptr restores the default (which throws on any
// question, so that nothing ever blocks where no answers were installed).
void setAnswers(Answers* answers);

// The boxes the program shows, spelled once.
// The extension a file dialog's type stands for: the first "*.ext" of an entry such as
// "CSV Files (*.csv *.txt)", without its dot; empty for "All Files (*)".
QString nameFilterSuffix(const QString& nameFilter);

void showError(const QString& text, const QString& reason = {});
void showInformation(const QString& text);
void showNotice(const QString& text);
bool confirmBox(const QString& text);

} // namespace data
