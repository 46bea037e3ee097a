#pragma once

#include "imaging/Gauge.h"
#include "imaging/Progress.h"

#include <cstdio>

namespace app::cli {

// A progress bar on the terminal, drawn only when standard error is one.
class TerminalProgress final : public imaging::Progress
{
public:
    explicit TerminalProgress(std::FILE* out = stderr);
    ~TerminalProgress() override;

    void setMin(int value) override { m_gauge.setMin(value); }
    void setMax(int value) override { m_gauge.setMax(value); }
    void show() override;
    void hide() override;
    void step() override;

private:
    void draw();

    std::FILE* m_out;
    bool m_terminal;
    bool m_shown = false;
    int m_lastPercent = -1;
    imaging::Gauge m_gauge;
};

} // namespace app::cli
