// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <cstdio>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

// Whether a standard stream is a terminal (a progress bar and a prompt make sense there).
inline bool IsTerminal(std::FILE* stream) {
#ifdef _WIN32
    return _isatty(_fileno(stream)) != 0;
#else
    return isatty(fileno(stream)) != 0;
#endif
}
