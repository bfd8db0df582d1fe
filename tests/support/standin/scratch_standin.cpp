#include "support/standin/scratch_standin.h"

#include <stdlib.h>

#include <cerrno>
#include <fstream>
#include <sstream>
#include <system_error>

namespace testsupport {

namespace fs = std::filesystem;

namespace {

fs::path BaseDir() {
    std::error_code ec;
    if (fs::is_directory("/dev/shm", ec)) {
        return "/dev/shm";
    }
    return fs::temp_directory_path();
}

}  // namespace

ScratchStandin::ScratchStandin(const std::string& tag, platform::Rights rights) : rights_(rights) {
    std::string pattern = (BaseDir() / ("tarnwick-" + tag + "-XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::system_error(errno, std::generic_category(), "mkdtemp " + pattern);
    }
    dir_ = pattern;
    WriteIdentity("");
    platform_ = std::make_unique<platform::standin::StandinPlatform>(dir_);
}

void ScratchStandin::WriteIdentity(const std::string& lines) const {
    Write("identity.ini", lines + "Rights=" + platform::RightsName(rights_) + "\n");
}

ScratchStandin::~ScratchStandin() {
    installed_.reset();
    platform_.reset();
    std::error_code ec;
    fs::remove_all(dir_, ec);
}

fs::path ScratchStandin::Drive(char letter) const {
    return dir_ / "drives" / std::string(1, letter);
}

void ScratchStandin::Install() {
    installed_.reset();
    installed_.emplace(services());
}

void ScratchStandin::Restart() {
    const bool wasInstalled = installed_.has_value();
    installed_.reset();
    platform_.reset();
    platform_ = std::make_unique<platform::standin::StandinPlatform>(dir_);
    if (wasInstalled) {
        Install();
    }
}

fs::path ScratchStandin::Write(const std::string& relative, const std::string& bytes) const {
    const fs::path path = dir_ / relative;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

std::string ScratchStandin::Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

}  // namespace testsupport
