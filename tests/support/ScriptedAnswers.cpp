#include "ScriptedAnswers.h"

#include "data/Error.h"

template<typename T> T ScriptedAnswers::take(const QString& question)
{
    m_questions << question;
    if (m_replies.empty() || !std::holds_alternative<T>(m_replies.front()))
        throw data::Error(QStringLiteral("unscripted question: %1").arg(question));
    T reply = std::get<T>(m_replies.front());
    m_replies.pop_front();
    return reply;
}

QStringList ScriptedAnswers::texts() const
{
    QStringList result;
    for (const auto& s : m_shown)
        result << s.text;
    return result;
}

void ScriptedAnswers::message(data::MessageIcon icon, const QString& title, const QString& text)
{
    m_shown.push_back({icon, title, text, {}});
}

void ScriptedAnswers::failure(const QString& title, const QString& text, const QString& reason)
{
    m_shown.push_back({data::MessageIcon::Error, title, text, reason});
}

bool ScriptedAnswers::confirm(const QString& title, const QString& text)
{
    Q_UNUSED(title);
    return take<bool>(text);
}

std::optional<QString> ScriptedAnswers::inputText(QWidget*, const QString& title,
                                                  const QString& prompt, const QString& initial)
{
    Q_UNUSED(initial);
    return take<std::optional<QString>>(title + QStringLiteral(": ") + prompt);
}

std::optional<QString> ScriptedAnswers::inputPassword(QWidget*, const QString& title,
                                                      const QString& prompt)
{
    return take<Password>(QStringLiteral("password ") + title + QStringLiteral(": ") + prompt).text;
}

std::optional<data::Answers::Passphrase> ScriptedAnswers::askPassphrase(QWidget*,
                                                                        const QString& title,
                                                                        const QString& prompt,
                                                                        bool offerRemember)
{
    lastOfferRemember = offerRemember;
    return take<AskedPassphrase>(QStringLiteral("passphrase ") + title + QStringLiteral(": ")
                                 + prompt)
        .answer;
}

std::optional<data::Answers::Passphrase>
ScriptedAnswers::newPassphrase(QWidget*, const QString& title, bool offerRemember)
{
    lastOfferRemember = offerRemember;
    return take<NewPassphrase>(QStringLiteral("new passphrase ") + title).answer;
}

std::optional<QString> ScriptedAnswers::openFileName(QWidget*, const QString& filter)
{
    lastFilter = filter;
    return take<std::optional<QString>>(QStringLiteral("open ") + filter);
}

std::optional<QString> ScriptedAnswers::openFileName(QWidget* parent, const QString& filter,
                                                     const QString& title, const QString& fileName,
                                                     const QString& defaultSuffix)
{
    lastTitle = title;
    lastFileName = fileName;
    lastDefaultSuffix = defaultSuffix;
    return openFileName(parent, filter);
}

std::optional<QString> ScriptedAnswers::chooseFolder(QWidget*, const QString& title)
{
    lastTitle = title;
    return take<std::optional<QString>>(QStringLiteral("folder ") + title);
}

std::optional<data::Answers::OpenedFile>
ScriptedAnswers::openFileOfKind(QWidget* parent, const QString& filter, const QString& title,
                                const QString& fileName, const QString& defaultSuffix)
{
    if (m_replies.empty() || !std::holds_alternative<FileOfKind>(m_replies.front()))
        return Answers::openFileOfKind(parent, filter, title, fileName, defaultSuffix);
    lastTitle = title;
    lastFileName = fileName;
    lastDefaultSuffix = defaultSuffix;
    lastFilter = filter;
    const auto reply = take<FileOfKind>(QStringLiteral("open ") + filter);
    if (!reply.path)
        return std::nullopt;
    return OpenedFile {*reply.path, reply.nameFilter};
}

std::optional<QString> ScriptedAnswers::saveFileName(QWidget*, const QString& filter,
                                                     const QString& fileName)
{
    lastFilter = filter;
    lastFileName = fileName;
    return take<std::optional<QString>>(QStringLiteral("save ") + filter);
}

std::optional<data::Answers::FontChoice> ScriptedAnswers::takeFont(int minPoints, int maxPoints)
{
    lastMinPoints = minPoints;
    lastMaxPoints = maxPoints;
    const QColor color = m_fontColors.empty() ? QColor() : m_fontColors.front();
    const auto font = take<std::optional<QFont>>(QStringLiteral("font"));
    if (!m_fontColors.empty())
        m_fontColors.pop_front();
    if (!font)
        return std::nullopt;
    return FontChoice {*font, color};
}

std::optional<QFont> ScriptedAnswers::chooseFont(QWidget*, const QFont&, int minPoints,
                                                 int maxPoints)
{
    const auto chosen = takeFont(minPoints, maxPoints);
    return chosen ? std::optional<QFont>(chosen->font) : std::nullopt;
}

std::optional<data::Answers::FontChoice>
ScriptedAnswers::chooseFontAndColor(QWidget*, const QFont&, const QColor& initialColor,
                                    int minPoints, int maxPoints)
{
    auto chosen = takeFont(minPoints, maxPoints);
    if (chosen && !chosen->color.isValid())
        chosen->color = initialColor;
    return chosen;
}

void ScriptedAnswers::preview(QWidget*, const Render& render)
{
    ++previews;
    m_questions << QStringLiteral("Print Preview");
    if (onPreview)
        onPreview(render);
}

void ScriptedAnswers::previewWithStatus(QWidget* parent, const Render& render, const Status& status)
{
    preview(parent, render);
    lastStatus = status ? status() : QString();
}
