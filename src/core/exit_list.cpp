#include "core/exit_list.h"

#include <vector>

namespace core {

namespace {
std::vector<std::function<void()>>& Routines() {
    static std::vector<std::function<void()>> routines;
    return routines;
}
}  // namespace

void AddExitProc(std::function<void()> routine) { Routines().push_back(std::move(routine)); }

void RunExitProcs() {
    auto& routines = Routines();
    while (!routines.empty()) {
        auto routine = std::move(routines.back());
        routines.pop_back();
        routine();
    }
}

}  // namespace core
