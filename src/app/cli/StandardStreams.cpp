#include "StandardStreams.h"

#ifdef _WIN32
#    include <io.h>
#    include <windows.h>
#else
#    include <termios.h>
#    include <unistd.h>
#endif

namespace app::cli {

bool isTerminal(std::FILE* stream)
{
#ifdef _WIN32
    return _isatty(_fileno(stream)) != 0;
#else
    return isatty(fileno(stream)) != 0;
#endif
}

bool setEcho(std::FILE* stream, bool on)
{
#ifdef _WIN32
    const HANDLE console = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode = 0;
    if (!GetConsoleMode(console, &mode))
        return false;
    mode = on ? (mode | ENABLE_ECHO_INPUT) : (mode & ~DWORD(ENABLE_ECHO_INPUT));
    return SetConsoleMode(console, mode) != 0;
#else
    termios settings {};
    if (tcgetattr(fileno(stream), &settings) != 0)
        return false;
    if (on)
        settings.c_lflag |= ECHO;
    else
        settings.c_lflag &= ~tcflag_t(ECHO);
    return tcsetattr(fileno(stream), TCSAFLUSH, &settings) == 0;
#endif
}

} // namespace app::cli
