// What running a program to its end is on every platform: its output
// through files, read back once it has ended.
#include "support/program.h"

#include <fstream>
#include <random>
#include <sstream>

namespace testsupport {

namespace fs = std::filesystem;

std::string FileText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

ProgramResult RunProgram(ProgramStart start, std::chrono::milliseconds limit) {
    // Output that goes to no named file goes to a file of this run's own.
    std::vector<fs::path> ownFiles;
    const auto own = [&](const char* what) {
        std::random_device random;
        const fs::path path = fs::temp_directory_path() /
                              ("tarnwick-program-" + std::to_string(random()) + "-" + what);
        ownFiles.push_back(path);
        return path;
    };
    if (start.output.empty()) {
        start.output = own("out");
    }
    if (start.errors.empty()) {
        start.errors = own("err");
    }
    ProgramResult result;
    {
        Program program(start);
        result.startError = program.startError();
        if (result.startError.empty()) {
            if (const auto code = program.Wait(limit)) {
                result.ended = true;
                result.exitCode = *code;
                result.signal = program.signal();
            } else {
                program.Kill();
            }
        }
    }
    result.out = FileText(start.output);
    result.err = FileText(start.errors);
    for (const fs::path& path : ownFiles) {
        std::error_code ec;
        fs::remove(path, ec);
    }
    return result;
}

}  // namespace testsupport
