#pragma once

#include "data/Answers.h"

// Answers for benchmarks and other runs nobody watches: messages are dropped, every
// confirmation gets the same reply and every dialog is cancelled.
class QuietAnswers final : public data::Answers
{
public:
    explicit QuietAnswers(bool confirmations = false)
        : m_confirmations(confirmations)
    {
        data::setAnswers(this);
    }
    ~QuietAnswers() override { data::setAnswers(nullptr); }

    void message(data::MessageIcon, const QString&, const QString&) override { }
    bool confirm(const QString&, const QString&) override { return m_confirmations; }
    std::optional<QString> inputText(QWidget*, const QString&, const QString&,
                                     const QString&) override
    {
        return std::nullopt;
    }
    std::optional<QString> openFileName(QWidget*, const QString&) override { return std::nullopt; }
    std::optional<QString> saveFileName(QWidget*, const QString&, const QString&) override
    {
        return std::nullopt;
    }
    std::optional<QFont> chooseFont(QWidget*, const QFont&, int, int) override
    {
        return std::nullopt;
    }
    void preview(QWidget*, const Render&) override { }

private:
    bool m_confirmations;
};
