// A fresh stand-in workstation for each fuzz input, in a directory of its
// own under the system's temporary folder (a RAM disk where /dev/shm
// exists), removed again when the input is done.
#pragma once
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "platform/standin/standin_platform.h"

namespace fuzzing {

class FreshState {
  public:
    // `tag` names the fuzz target, so parallel targets never share a folder.
    explicit FreshState(const std::string& tag);
    ~FreshState();
    FreshState(const FreshState&) = delete;
    FreshState& operator=(const FreshState&) = delete;

    const std::filesystem::path& dir() const { return dir_; }
    platform::standin::StandinPlatform& platform() { return *platform_; }
    // Writes `bytes` to a host file below the state directory.
    std::filesystem::path Write(const std::string& relative, const std::string& bytes) const;

  private:
    std::filesystem::path dir_;
    std::unique_ptr<platform::standin::StandinPlatform> platform_;
    std::optional<platform::ScopedServices> installed_;
};

// Cuts fuzz data in two at the first byte 0xFF: most inputs that matter
// are text, so the separator never gets in their way.
struct TwoParts {
    std::string first, second;
};
TwoParts SplitInput(const uint8_t* data, size_t size);

// The stand-in maps host paths ("/...") and relative paths, which may climb
// with "..", onto the real file system. So that fuzzing never reads or
// writes outside its own state directory (nor reads /dev/zero forever),
// "/" is read as "\" and every ".." is defused; the rest stays as it came.
std::string Confined(std::string text);

}  // namespace fuzzing
