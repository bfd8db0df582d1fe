// The program's entry: the arguments first (the Linux build answers --help
// and --version), then everything happens in the application.
#include "app/application.h"
#include "platform/arguments.h"

int main(int argc, char** argv) {
    if (const auto exitCode =
            platform::HandleProgramArguments(platform::ProgramArguments(argc, argv))) {
        return *exitCode;
    }
    return app::ProgramMain();
}
