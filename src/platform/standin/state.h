// The stand-in workstation's state directory and the small helpers every
// stand-in service uses to keep its files there.
#pragma once
#include <filesystem>
#include <string>

#include "platform/standin/unique_fd.h"

namespace platform::standin {

// $XDG_STATE_HOME/tarnwick, or ~/.local/state/tarnwick.
std::filesystem::path DefaultStateDir();

// How ReplaceFileAtomically makes the new file.
struct Replacement {
    // The new file's permission bits (less the umask).
    unsigned mode = 0644;
    // When given: the new file is locked (flock, exclusive) before it takes
    // the target's name, and handed over here open for reading and writing,
    // so no other process can use it before the caller lets go.
    UniqueFd* locked = nullptr;
};

// Writes `contents` to `target` through a temporary file in the same folder
// and a rename, so a reader sees either the old file or the new one whole.
// The temporary file is flushed to disk before the rename and the folder
// after it, so a power loss too leaves the old file or the new one, never
// an empty one. Returns 0 or a Win32 error code.
uint32_t ReplaceFileAtomically(const std::filesystem::path& target, const std::string& contents,
                               const Replacement& how = {});

// Gives the file `from` the name `to` unless that name is taken: of two
// processes that try at once only one moves the file, and a file that has
// the name already stays. False when nothing was moved.
bool RenameWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to);

// Writes all of `contents` at the descriptor's current offset, going on
// after short writes; false with errno set when that failed.
bool WriteAll(int fd, const std::string& contents);

// Reads a whole host file; false when it cannot be read or is not a
// regular file (a directory, a FIFO, a device).
bool ReadHostFile(const std::filesystem::path& path, std::string* contents);

// The Win32 error code closest to the current errno.
uint32_t ErrnoToWin32(int error);

}  // namespace platform::standin
