#pragma once

#include "ScriptedAnswers.h"
#include "imaging/Progress.h"

// A progress that remembers what the loop told it, and how many messages had been shown when
// it was hidden.
class RecordingProgress final : public imaging::Progress
{
public:
    explicit RecordingProgress(const ScriptedAnswers* answers = nullptr)
        : m_answers(answers)
    { }

    void setMin(int value) override { min = value; }
    void setMax(int value) override { max = value; }
    void show() override { shown = true; }
    void hide() override
    {
        shown = false;
        hidden = true;
        if (m_answers)
            messagesWhenHidden = int(m_answers->shown().size());
    }
    void step() override { ++steps; }
    void processEvents() override { ++eventRuns; }

    int min = -1;
    int max = -1;
    bool shown = false;
    bool hidden = false;
    int messagesWhenHidden = -1;
    int steps = 0;
    int eventRuns = 0;

private:
    const ScriptedAnswers* m_answers;
};
