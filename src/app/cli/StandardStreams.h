#pragma once

#include <cstdio>

namespace app::cli {

// Whether the stream is a terminal (the one platform call of the command line).
bool isTerminal(std::FILE* stream);

} // namespace app::cli
