#include "Answers.h"

#include "Error.h"

#include <QRegularExpression>

namespace data {
namespace {

class Unanswered final : public Answers
{
    [[noreturn]] static void refuse(const QString& text)
    {
        throw Error(QStringLiteral("No one to answer: %1").arg(text));
    }

public:
    void message(MessageIcon, const QString&, const QString& text) override { refuse(text); }
    bool confirm(const QString&, const QString& text) override { refuse(text); }
    std::optional<QString> inputText(QWidget*, const QString&, const QString& prompt,
                                     const QString&) override
    {
        refuse(prompt);
    }
    std::optional<QString> openFileName(QWidget*, const QString& filter) override
    {
        refuse(filter);
    }
    std::optional<QString> saveFileName(QWidget*, const QString& filter, const QString&) override
    {
        refuse(filter);
    }
    std::optional<QFont> chooseFont(QWidget*, const QFont&, int, int) override
    {
        refuse(QStringLiteral("font"));
    }
    void preview(QWidget*, const Render&) override { refuse(QStringLiteral("preview")); }
};

Unanswered unanswered;
Answers* current = &unanswered;

} // namespace

std::optional<QString> Answers::chooseFolder(QWidget*, const QString& title)
{
    throw Error(QStringLiteral("No one to answer: %1").arg(title));
}

std::optional<QString> Answers::inputPassword(QWidget*, const QString& title, const QString&)
{
    throw Error(QStringLiteral("No one to answer: %1").arg(title));
}

std::optional<Answers::Passphrase> Answers::askPassphrase(QWidget*, const QString& title,
                                                          const QString&, bool)
{
    throw Error(QStringLiteral("No one to answer: %1").arg(title));
}

std::optional<Answers::Passphrase> Answers::newPassphrase(QWidget*, const QString& title, bool)
{
    throw Error(QStringLiteral("No one to answer: %1").arg(title));
}

Answers& answers()
{
    return *current;
}

void setAnswers(Answers* answers)
{
    current = answers ? answers : &unanswered;
}

void showError(const QString& text, const QString& reason)
{
    if (reason.isEmpty())
        answers().message(MessageIcon::Error, QStringLiteral("Error"), text);
    else
        answers().failure(QStringLiteral("Error"), text, reason);
}

void showInformation(const QString& text)
{
    answers().message(MessageIcon::Information, QStringLiteral("Information"), text);
}

void showNotice(const QString& text)
{
    answers().message(MessageIcon::None, QStringLiteral("Melbrin"), text);
}

bool confirmBox(const QString& text)
{
    return answers().confirm(QStringLiteral("Confirm"), text);
}

QString nameFilterSuffix(const QString& nameFilter)
{
    static const QRegularExpression extension(QStringLiteral(R"(\(\*\.([^\s)*?]+))"));
    return extension.match(nameFilter).captured(1);
}

} // namespace data
