#include "TerminalProgress.h"

#include "StandardStreams.h"

#include <string>

namespace app::cli {

TerminalProgress::TerminalProgress(std::FILE* out)
    : m_out(out)
    , m_terminal(isTerminal(out))
{ }

TerminalProgress::~TerminalProgress()
{
    hide();
}

void TerminalProgress::show()
{
    m_shown = true;
    m_lastPercent = -1;
    draw();
}

void TerminalProgress::hide()
{
    if (m_shown && m_terminal) {
        std::fputs("\r\033[K", m_out);
        std::fflush(m_out);
    }
    m_shown = false;
}

void TerminalProgress::step()
{
    m_gauge.step();
    draw();
}

void TerminalProgress::draw()
{
    if (!m_shown || !m_terminal)
        return;
    const int percent = m_gauge.percent();
    if (percent == m_lastPercent)
        return;
    m_lastPercent = percent;
    constexpr int width = 40;
    const int filled = percent * width / 100;
    const std::string bar
        = std::string(size_t(filled), '#') + std::string(size_t(width - filled), '.');
    std::fprintf(m_out, "\r[%s] %3d%%", bar.c_str(), percent);
    std::fflush(m_out);
}

} // namespace app::cli
