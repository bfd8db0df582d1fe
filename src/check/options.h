// The checker's command line.
#pragma once
#include <stdexcept>
#include <string>
#include <vector>

#include "check/checker.h"

namespace check {

struct Options {
    CheckRequest request;
    bool json = false;
    bool help = false;
    bool version = false;
};

// A command line the checker cannot use; its text says why.
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// tarnwick-check --user NAME --machine NAME [--group NAME] [--userlist FILE]
//   [--settings FILE] [--datetime TEXT] [--json] SHARE
// tarnwick-check --help | --version
// Values follow their option as the next argument or after "=".
Options ParseOptions(const std::vector<std::string>& args);

// The usage text that --help prints and a usage error follows.
std::string UsageText();

}  // namespace check
