#pragma once

#include "data/Answers.h"

namespace app {

// Answers asked of the person at the screen, through Qt's dialogs.
class DialogAnswers final : public data::Answers
{
public:
    void message(data::MessageIcon icon, const QString& title, const QString& text) override;
    // The fixed text, with the reason beneath it.
    void failure(const QString& title, const QString& text, const QString& reason) override;
    bool confirm(const QString& title, const QString& text) override;
    std::optional<QString> inputText(QWidget* parent, const QString& title, const QString& prompt,
                                     const QString& initial) override;
    std::optional<QString> inputPassword(QWidget* parent, const QString& title,
                                         const QString& prompt) override;
    // The dialogs of PassphraseDialog and NewPassphraseDialog.
    std::optional<Passphrase> askPassphrase(QWidget* parent, const QString& title,
                                            const QString& prompt, bool offerRemember) override;
    std::optional<Passphrase> newPassphrase(QWidget* parent, const QString& title,
                                            bool offerRemember) override;
    // A box with the database's field, a "Browse..." button for a file, OK and Cancel.
    std::optional<QString> chooseDatabase(QWidget* parent, const QString& title,
                                          const QString& prompt, const QString& current) override;
    std::optional<QString> openFileName(QWidget* parent, const QString& filter) override;
    std::optional<QString> openFileName(QWidget* parent, const QString& filter,
                                        const QString& title, const QString& fileName,
                                        const QString& defaultSuffix) override;
    std::optional<OpenedFile> openFileOfKind(QWidget* parent, const QString& filter,
                                             const QString& title, const QString& fileName,
                                             const QString& defaultSuffix) override;
    std::optional<QString> saveFileName(QWidget* parent, const QString& filter,
                                        const QString& fileName) override;
    std::optional<QString> chooseFolder(QWidget* parent, const QString& title) override;
    std::optional<QFont> chooseFont(QWidget* parent, const QFont& initial, int minPoints,
                                    int maxPoints) override;
    std::optional<FontChoice> chooseFontAndColor(QWidget* parent, const QFont& initial,
                                                 const QColor& initialColor, int minPoints,
                                                 int maxPoints) override;
    void preview(QWidget* parent, const Render& render) override;
    void previewWithStatus(QWidget* parent, const Render& render, const Status& status) override;

    // The width a window needs for its title bar to show the whole title.
    static int titleRoom(const QWidget& window);
};

} // namespace app
