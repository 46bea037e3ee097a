#pragma once

#include <cstdio>

namespace app::cli {

// Whether the stream is a terminal (the platform calls of the command line sit in
// StandardStreams.cpp alone).
bool isTerminal(std::FILE* stream);

// Turns the echo of what is typed on the terminal of stream off and on again, for a
// passphrase. Returns whether it was changed (false for no terminal).
bool setEcho(std::FILE* stream, bool on);

} // namespace app::cli
