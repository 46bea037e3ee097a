#pragma once

#include "data/Answers.h"

#include <QStringList>
#include <cstdio>

namespace app::cli {

// Answers for a run without a window: messages go to standard error as one line each,
// confirmations take the --yes flag (or are refused with a message), the file dialogs
// answer with the path given on the command line and the print preview writes a PDF.
class TerminalAnswers final : public data::Answers
{
public:
    explicit TerminalAnswers(std::FILE* err = stderr)
        : m_err(err)
    { }

    bool yes = false;
    QString fileName; // what the open and save dialogs answer
    QString pdfPath; // where the print preview writes
    bool markPrinted = false; // a PDF written counts as the cards printed

    bool errorShown() const { return m_errorShown; }
    int previews() const { return m_previews; }
    // Texts of the messages and notices shown, in order.
    const QStringList& messages() const { return m_messages; }

    void message(data::MessageIcon icon, const QString& title, const QString& text) override;
    void failure(const QString& title, const QString& text, const QString& reason) override;
    bool confirm(const QString& title, const QString& text) override;
    std::optional<QString> inputText(QWidget*, const QString& title, const QString& prompt,
                                     const QString& initial) override;
    std::optional<QString> openFileName(QWidget*, const QString& filter) override;
    std::optional<QString> saveFileName(QWidget*, const QString& filter,
                                        const QString& name) override;
    // The folder given on the command line, as the file dialogs answer.
    std::optional<QString> chooseFolder(QWidget*, const QString& title) override;
    std::optional<QFont> chooseFont(QWidget*, const QFont& initial, int minPoints,
                                    int maxPoints) override;
    void preview(QWidget*, const Render& render) override;
    void previewWithStatus(QWidget* parent, const Render& render, const Status& status) override;

private:
    void say(const QString& text);

    std::FILE* m_err;
    bool m_errorShown = false;
    int m_previews = 0;
    QStringList m_messages;
};

} // namespace app::cli
