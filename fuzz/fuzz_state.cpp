#include "fuzz_state.h"

#include <unistd.h>

#include <fstream>

#include "platform/platform.h"

namespace fuzzing {

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

FreshState::FreshState(const std::string& tag) {
    dir_ = BaseDir() / ("tarnwick-fuzz-" + tag + "-" + std::to_string(::getpid()));
    std::error_code ec;
    fs::remove_all(dir_, ec);
    fs::create_directories(dir_);
    platform_ = std::make_unique<platform::standin::StandinPlatform>(dir_);
    installed_.emplace(platform_->services());
}

FreshState::~FreshState() {
    installed_.reset();
    platform_.reset();
    std::error_code ec;
    fs::remove_all(dir_, ec);
}

fs::path FreshState::Write(const std::string& relative, const std::string& bytes) const {
    const fs::path path = dir_ / relative;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

TwoParts SplitInput(const uint8_t* data, size_t size) {
    const std::string all(reinterpret_cast<const char*>(data), size);
    const auto cut = all.find('\xFF');
    if (cut == std::string::npos) {
        return {all, std::string()};
    }
    return {all.substr(0, cut), all.substr(cut + 1)};
}

std::string Confined(std::string text) {
    for (char& c : text) {
        if (c == '/') {
            c = '\\';
        }
    }
    for (auto at = text.find(".."); at != std::string::npos; at = text.find("..", at)) {
        text[at + 1] = '_';
    }
    return text;
}

}  // namespace fuzzing
