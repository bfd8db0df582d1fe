// The stand-in workstation's state directory and the small helpers every
// stand-in service uses to keep its files there.
#pragma once
#include <filesystem>
#include <string>

namespace platform::standin {

// $XDG_STATE_HOME/tarnwick, or ~/.local/state/tarnwick.
std::filesystem::path DefaultStateDir();

// Writes `contents` to `target` through a temporary file in the same folder
// and a rename, so a reader sees either the old file or the new one whole.
// Returns 0 or a Win32 error code.
uint32_t ReplaceFileAtomically(const std::filesystem::path& target, const std::string& contents);

// Reads a whole host file; false when it cannot be read or is not a
// regular file (a directory, a FIFO, a device).
bool ReadHostFile(const std::filesystem::path& path, std::string* contents);

// The Win32 error code closest to the current errno.
uint32_t ErrnoToWin32(int error);

}  // namespace platform::standin
