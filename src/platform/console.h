// The program's text written to standard output and standard error: the
// checker's report, the usage text, --help and --version, a start-up
// failure. A console shows characters, whatever code page it is set to, so
// on Windows text bound for a console goes there as UTF-16; anywhere else
// (a pipe, a file, and every stream on Linux) it is written as its bytes,
// which is what the reports' readers (JSON, CSV, HTML) expect.
#pragma once
#include <cstdio>
#include <string_view>

#include "platform/errors.h"

namespace platform {

// Writes `text`, the program's text, to the C stream `stream` after what
// the stream already holds, and flushes it. 0, or the error code of a write
// that failed.
Win32Error WriteText(std::FILE* stream, std::string_view text);

inline Win32Error WriteOut(std::string_view text) {
    return WriteText(stdout, text);
}

inline Win32Error WriteErr(std::string_view text) {
    return WriteText(stderr, text);
}

}  // namespace platform
