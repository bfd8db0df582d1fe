// The exit list: release routines that modules register when they
// initialise, run last-registered first, each once, when the program ends
// for whatever reason.
#pragma once
#include <functional>

namespace core {

void AddExitProc(std::function<void()> routine);

// Runs every routine registered so far, the last one first, and forgets
// them, so a second call runs nothing twice.
void RunExitProcs();

}  // namespace core
