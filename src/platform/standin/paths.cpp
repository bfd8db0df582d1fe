#include "platform/standin/paths.h"

#include <cctype>
#include <vector>

#include "platform/standin/case_fold.h"

namespace platform::standin {

namespace {

std::vector<std::string> SplitComponents(const std::string& text) {
    std::vector<std::string> parts;
    std::string current;
    for (char c : text) {
        if (c == '\\' || c == '/') {
            if (!current.empty()) {
                parts.push_back(current);
            }
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty()) {
        parts.push_back(current);
    }
    return parts;
}

// The entry of `dir` whose name equals `name` ignoring case; `name` itself
// when there is none (or when it exists exactly as given).
std::string MatchEntry(const std::filesystem::path& dir, const std::string& name) {
    std::error_code ec;
    if (std::filesystem::exists(dir / name, ec)) {
        return name;
    }
    for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string entry = it->path().filename().string();
        if (SameText1252(entry, name)) {
            return entry;
        }
    }
    return name;
}

}  // namespace

std::filesystem::path JoinIgnoringCase(const std::filesystem::path& base,
                                       const std::string& relative) {
    std::filesystem::path result = base;
    size_t depth = 0;
    for (const std::string& part : SplitComponents(relative)) {
        if (part == ".") {
            continue;
        }
        if (part == "..") {
            if (depth > 0) {
                result = result.parent_path();
                --depth;
            }
            continue;
        }
        result /= MatchEntry(result, part);
        ++depth;
    }
    return result;
}

PathResolver::PathResolver(std::filesystem::path stateDir, const ConnectionStore& connections)
    : stateDir_(std::move(stateDir)), connections_(connections) {}

std::optional<std::filesystem::path> PathResolver::Resolve(const std::string& path) const {
    if (path.empty()) {
        return std::nullopt;
    }
    if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
        const auto parts = SplitComponents(path.substr(2));
        if (parts.size() < 2) {
            return std::nullopt;
        }
        const auto network = stateDir_ / "network";
        return JoinIgnoringCase(network, path.substr(2));
    }
    if (path[0] == '/') {
        return std::filesystem::path(path);
    }
    const unsigned char first = static_cast<unsigned char>(path[0]);
    if (path.size() >= 2 && path[1] == ':' && std::isalpha(first)) {
        const std::string drive(1, static_cast<char>(std::tolower(first)));
        const std::string rest = path.substr(2);
        if (const auto connection = connections_.Find(path.substr(0, 2));
            connection && connection->type == 1) {
            const auto share = Resolve(connection->remoteName);
            if (!share) {
                return std::nullopt;
            }
            return JoinIgnoringCase(*share, rest);
        }
        const auto root = stateDir_ / "drives" / drive;
        std::error_code ec;
        if (!std::filesystem::is_directory(root, ec)) {
            return std::nullopt;
        }
        return JoinIgnoringCase(root, rest);
    }
    // Relative to the current directory; ".." may climb above it, as on Windows.
    std::error_code ec;
    return JoinIgnoringCase("/", std::filesystem::current_path(ec).string() + "/" + path);
}

}  // namespace platform::standin
