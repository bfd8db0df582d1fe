#include "check/macro_check.h"

#include <algorithm>

namespace check {

namespace {

std::string Reference(const std::string& name) {
    return "%" + name + "%";
}

bool IsPlainName(const std::string& name) {
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
               c == '_';
    });
}

// The first line whose name is exactly `name`; -1 when there is none.
int ExactIndex(const core::TStringList& macros, const std::string& name) {
    for (int i = 0; i < macros.Count(); ++i) {
        if (macros.NameAt(i) == name) {
            return i;
        }
    }
    return -1;
}

// A macro after `index` whose value holds the reference: one that brings it
// into a line too late for it to be expanded. Empty when there is none.
std::string LaterCarrier(platform::System& locale, const core::TStringList& macros, int index,
                         const std::string& reference) {
    for (int j = index + 1; j < macros.Count(); ++j) {
        const std::string name = macros.NameAt(j);
        if (!name.empty() && macros.ValueOf(name, locale).find(reference) != std::string::npos) {
            return name;
        }
    }
    return {};
}

// The flag of a reference left in the line, or nothing when the text
// between the percent signs is no reference.
bool Classify(platform::System& locale, const std::string& name, const core::TStringList& macros,
              Finding* finding) {
    const std::string reference = Reference(name);
    const int exact = ExactIndex(macros, name);
    if (exact >= 0) {
        if (macros.ValueOf(name, locale).find(reference) != std::string::npos) {
            *finding =
                Flag(kind::kSelfReference, "the value of " + reference + " refers to " + reference +
                                               " itself: it is substituted once and " + reference +
                                               " stays in the line");
            return true;
        }
        const std::string carrier = LaterCarrier(locale, macros, exact, reference);
        *finding = Flag(kind::kMacroOrder,
                        reference + " stays unexpanded: it came in with the value of " +
                            (carrier.empty() ? std::string("a macro") : "%" + carrier + "%") +
                            ", which comes after " + name +
                            " in the macro list, and expansion does not go back to earlier "
                            "macros");
        return true;
    }
    const int anyCase = macros.IndexOfName(name, locale);
    if (anyCase >= 0) {
        *finding = Flag(kind::kUndefinedMacro,
                        reference + " is no macro: names are matched in their exact letter case, " +
                            Reference(macros.NameAt(anyCase)) + " is defined");
        return true;
    }
    if (IsPlainName(name)) {
        *finding =
            Flag(kind::kUndefinedMacro, reference + " is no macro: it stays in the line as it is");
        return true;
    }
    return false;
}

}  // namespace

std::vector<Finding> LeftReferences(platform::System& locale, const std::string& expanded,
                                    const core::TStringList& macros) {
    std::vector<size_t> percents;
    for (size_t at = expanded.find('%'); at != std::string::npos; at = expanded.find('%', at + 1)) {
        percents.push_back(at);
    }
    std::vector<Finding> flags;
    std::vector<std::string> seen;
    size_t i = 0;
    while (i + 1 < percents.size()) {
        const std::string name =
            expanded.substr(percents[i] + 1, percents[i + 1] - percents[i] - 1);
        Finding finding;
        if (name.empty() || !Classify(locale, name, macros, &finding)) {
            ++i;  // the closing sign may open a reference of its own
            continue;
        }
        if (std::find(seen.begin(), seen.end(), name) == seen.end()) {
            seen.push_back(name);
            flags.push_back(std::move(finding));
        }
        i += 2;
    }
    return flags;
}

std::vector<Finding> ShadowedMacros(platform::System& locale, const core::TStringList& macros,
                                    int firstFileLine, const std::string& fileName) {
    std::vector<Finding> flags;
    for (int i = firstFileLine; i < macros.Count(); ++i) {
        const std::string name = macros.NameAt(i);
        if (name.empty()) {
            continue;
        }
        const int first = macros.IndexOfName(name, locale);
        if (first < 0 || first >= i) {
            continue;
        }
        const std::string where = "line " + std::to_string(i - firstFileLine + 1) + " of " +
                                  fileName + " (" + name + "=)";
        const std::string earlier =
            first < firstFileLine
                ? "the built-in macro " + macros.NameAt(first) + " has the same name"
                : "line " + std::to_string(first - firstFileLine + 1) + " defines " +
                      macros.NameAt(first) + " already";
        flags.push_back(Flag(kind::kShadowedMacro, where + " is never used: " + earlier +
                                                       ", and every lookup takes the first"));
    }
    return flags;
}

}  // namespace check
