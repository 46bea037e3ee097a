#pragma once

#include "data/Answers.h"

#include <QStringList>
#include <deque>
#include <variant>

// Answers given from a script: each question takes the next scripted reply, and every
// message shown is recorded. A question with no reply left fails the test by throwing.
class ScriptedAnswers final : public data::Answers
{
public:
    struct Shown
    {
        data::MessageIcon icon;
        QString title;
        QString text;
        QString reason; // the engine's reason given with an error, if any
    };
    // A file chosen in the open dialog together with the kind chosen in its filter.
    struct FileOfKind
    {
        std::optional<QString> path;
        QString nameFilter;
    };
    // What is typed into the password box; only that box takes it.
    struct Password
    {
        std::optional<QString> text;
    };
    // The passphrase of a database file; nullopt cancels. Only askPassphrase takes it.
    struct AskedPassphrase
    {
        std::optional<Passphrase> answer;
    };
    // A new passphrase, typed the same twice; nullopt cancels. Only newPassphrase takes it.
    struct NewPassphrase
    {
        std::optional<Passphrase> answer;
    };
    using Reply = std::variant<bool, std::optional<QString>, std::optional<QFont>, FileOfKind,
                               Password, AskedPassphrase, NewPassphrase>;

    ScriptedAnswers() { data::setAnswers(this); }
    ~ScriptedAnswers() override { data::setAnswers(nullptr); }

    void confirmWith(bool ok) { m_replies.emplace_back(ok); }
    void enter(std::optional<QString> text) { m_replies.emplace_back(std::move(text)); }
    void enterPassword(std::optional<QString> text)
    {
        m_replies.emplace_back(Password {std::move(text)});
    }
    // nullopt cancels the question.
    void givePassphrase(std::optional<QString> passphrase, bool remember = false)
    {
        m_replies.emplace_back(AskedPassphrase {passphraseReply(std::move(passphrase), remember)});
    }
    void giveNewPassphrase(std::optional<QString> passphrase, bool remember = false)
    {
        m_replies.emplace_back(NewPassphrase {passphraseReply(std::move(passphrase), remember)});
    }
    void chooseFile(std::optional<QString> path) { m_replies.emplace_back(std::move(path)); }
    // Only a dialog that tells the kind takes this reply.
    void chooseFile(std::optional<QString> path, QString nameFilter)
    {
        m_replies.emplace_back(FileOfKind {std::move(path), std::move(nameFilter)});
    }
    // An invalid colour keeps the initial one.
    void pickFont(std::optional<QFont> font, QColor color = {})
    {
        m_replies.emplace_back(std::move(font));
        m_fontColors.push_back(color);
    }

    const std::vector<Shown>& shown() const { return m_shown; }
    QStringList texts() const;
    QStringList questions() const { return m_questions; }
    bool allAnswered() const { return m_replies.empty(); }
    void clear()
    {
        m_shown.clear();
        m_questions.clear();
        m_replies.clear();
        m_fontColors.clear();
    }

    void message(data::MessageIcon icon, const QString& title, const QString& text) override;
    void failure(const QString& title, const QString& text, const QString& reason) override;
    bool confirm(const QString& title, const QString& text) override;
    std::optional<QString> inputText(QWidget*, const QString& title, const QString& prompt,
                                     const QString& initial) override;
    // Recorded among the questions as "password TITLE: PROMPT".
    std::optional<QString> inputPassword(QWidget*, const QString& title,
                                         const QString& prompt) override;
    // Recorded as "passphrase TITLE: PROMPT" and "new passphrase TITLE"; whether the
    // remember box was offered is kept in lastOfferRemember.
    std::optional<Passphrase> askPassphrase(QWidget*, const QString& title, const QString& prompt,
                                            bool offerRemember) override;
    std::optional<Passphrase> newPassphrase(QWidget*, const QString& title,
                                            bool offerRemember) override;
    std::optional<QString> openFileName(QWidget*, const QString& filter) override;
    std::optional<QString> openFileName(QWidget*, const QString& filter, const QString& title,
                                        const QString& fileName,
                                        const QString& defaultSuffix) override;
    // Takes a file of a kind, or a plain file that tells no kind.
    std::optional<OpenedFile> openFileOfKind(QWidget* parent, const QString& filter,
                                             const QString& title, const QString& fileName,
                                             const QString& defaultSuffix) override;
    std::optional<QString> saveFileName(QWidget*, const QString& filter,
                                        const QString& fileName) override;
    // Takes a reply given with chooseFile.
    std::optional<QString> chooseFolder(QWidget*, const QString& title) override;
    std::optional<QFont> chooseFont(QWidget*, const QFont& initial, int minPoints,
                                    int maxPoints) override;
    // Records the preview; onPreview, when set, is called with the render function (to
    // print the pages into a PDF or an image while the "window" is open).
    void preview(QWidget*, const Render& render) override;
    // As preview; then keeps what the status says in lastStatus.
    void previewWithStatus(QWidget* parent, const Render& render, const Status& status) override;
    std::optional<FontChoice> chooseFontAndColor(QWidget* parent, const QFont& initial,
                                                 const QColor& initialColor, int minPoints,
                                                 int maxPoints) override;
    std::function<void(const Render&)> onPreview;
    int previews = 0;

    // What the last file or font dialog was opened with.
    QString lastFilter;
    QString lastTitle;
    QString lastDefaultSuffix;
    QString lastFileName;
    QString lastStatus;
    int lastMinPoints = 0;
    int lastMaxPoints = 0;
    bool lastOfferRemember = false;

private:
    static std::optional<Passphrase> passphraseReply(std::optional<QString> passphrase,
                                                     bool remember)
    {
        if (!passphrase)
            return std::nullopt;
        return Passphrase {std::move(*passphrase), remember};
    }
    template<typename T> T take(const QString& question);
    std::optional<FontChoice> takeFont(int minPoints, int maxPoints);

    std::deque<Reply> m_replies;
    std::deque<QColor> m_fontColors;
    std::vector<Shown> m_shown;
    QStringList m_questions;
};
