// A fresh stand-in workstation for each fuzz input, and what the targets
// make of their input.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "support/standin/scratch_standin.h"

namespace fuzzing {

// The workstation installed as the platform, in a directory of its own
// under the system's temporary folder (a RAM disk where /dev/shm exists),
// removed again when the input is done. `tag` names the fuzz target.
class FreshState : public testsupport::ScratchStandin {
  public:
    explicit FreshState(const std::string& tag) : ScratchStandin("fuzz-" + tag) { Install(); }
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
