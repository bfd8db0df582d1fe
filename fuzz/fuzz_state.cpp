#include "fuzz_state.h"

namespace fuzzing {

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
