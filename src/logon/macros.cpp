#include "logon/macros.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

#include "logon/settings.h"

namespace logon {

namespace {

constexpr size_t kTailLimit = 999;

// Replaces the first occurrence of `reference` in `line`;
// returns its position, or npos when there is none.
size_t ReplaceFirst(const std::string& reference, const std::string& value, std::string& line) {
    const size_t at = line.find(reference);
    if (at == std::string::npos) {
        return at;
    }
    const size_t tailStart = at + reference.size();
    const size_t tailLength = std::min(kTailLimit, line.size() - tailStart);
    std::string result;
    result.reserve(at + value.size() + tailLength);
    result.append(line, 0, at);
    result.append(value);
    result.append(line, tailStart, tailLength);
    line = std::move(result);
    return at;
}

// Applies one macro to `line` until its reference is gone, or once when the
// value holds its own reference, with the runaway guard described in the
// header (Brent's cycle detection on the live text).
void RepeatMacro(const std::string& reference, const std::string& value, std::string& line) {
    const bool valueHoldsReference = value.find(reference) != std::string::npos;
    std::string saved;  // the live text Brent's method compares with
    size_t power = 1;
    size_t length = 0;
    bool tracking = false;
    for (size_t round = 0;; ++round) {
        const size_t at = ReplaceFirst(reference, value, line);
        if (at == std::string::npos || valueHoldsReference) {
            return;
        }
        // Plain references are consumed in a few rounds; only a long
        // repetition can be a runaway, so the guard starts late.
        if (round < 64) {
            continue;
        }
        const size_t liveStart = at + 1 >= reference.size() ? at + 1 - reference.size() : 0;
        std::string_view live(line);
        live.remove_prefix(liveStart);
        if (tracking && live == saved) {
            return;
        }
        if (!tracking || power == length) {
            saved.assign(live);
            tracking = true;
            power *= 2;
            length = 0;
        }
        ++length;
    }
}

std::string Reference(const std::string& name) { return "%" + name + "%"; }

}  // namespace

bool ExpandMacro(const std::string& name, std::string& line) {
    const std::string reference = Reference(name);
    if (ReplaceFirst(reference, MacroList->ValueOf(name), line) == std::string::npos) {
        return false;
    }
    return MacroList->ValueOf(name).find(reference) == std::string::npos;
}

void ExpandMacrosPlain(core::TStringList& list) {
    if (!MacroList) {
        return;
    }
    const int lineCount = list.Count();
    for (int l = 0; l < lineCount; ++l) {
        const int macroCount = MacroList->Count();
        for (int i = 0; i < macroCount; ++i) {
            std::string line = list.Get(l);
            const std::string name = MacroList->NameAt(i);
            RepeatMacro(Reference(name), MacroList->ValueOf(name), line);
            list.Put(l, std::move(line));
        }
    }
}

void ExpandMacros(core::TStringList& list) {
    if (!MacroList) {
        return;
    }
    // Expanding MacroList itself changes names and values as it goes; that
    // runs once at start-up over a short list, by the plain algorithm.
    if (&list == MacroList.get()) {
        ExpandMacrosPlain(list);
        return;
    }

    // MacroList stays as it is while another list is expanded: take every
    // macro's reference and value once, and index the macros by name.
    const int macroCount = MacroList->Count();
    std::vector<std::string> references(static_cast<size_t>(macroCount));
    std::vector<std::string> values(static_cast<size_t>(macroCount));
    std::unordered_map<std::string, std::vector<int>> byName;
    size_t longestName = 0;
    for (int i = 0; i < macroCount; ++i) {
        const std::string name = MacroList->NameAt(i);
        references[static_cast<size_t>(i)] = Reference(name);
        values[static_cast<size_t>(i)] = MacroList->ValueOf(name);
        byName[name].push_back(i);
        longestName = std::max(longestName, name.size());
    }

    // The first macro from index `from` on whose reference stands in `line`,
    // or macroCount. Every reference begins and ends with "%", so only the
    // texts between two percent signs can name a macro.
    constexpr size_t kMostPercents = 128;
    std::vector<size_t> percents;
    auto nextMacro = [&](const std::string& line, int from) {
        percents.clear();
        for (size_t at = line.find('%'); at != std::string::npos; at = line.find('%', at + 1)) {
            percents.push_back(at);
        }
        int best = macroCount;
        if (percents.size() < 2) {
            return best;
        }
        if (percents.size() > kMostPercents) {
            for (int i = from; i < macroCount; ++i) {
                if (line.find(references[static_cast<size_t>(i)]) != std::string::npos) {
                    return i;
                }
            }
            return best;
        }
        for (size_t a = 0; a + 1 < percents.size(); ++a) {
            for (size_t b = a + 1; b < percents.size(); ++b) {
                const size_t length = percents[b] - percents[a] - 1;
                if (length > longestName) {
                    break;
                }
                const auto it = byName.find(line.substr(percents[a] + 1, length));
                if (it == byName.end()) {
                    continue;
                }
                const auto& indices = it->second;
                const auto candidate = std::lower_bound(indices.begin(), indices.end(), from);
                if (candidate != indices.end() && *candidate < best) {
                    best = *candidate;
                }
            }
        }
        return best;
    };

    const int lineCount = list.Count();
    for (int l = 0; l < lineCount; ++l) {
        const std::string& original = list.Get(l);
        if (original.find('%') == std::string::npos) {
            continue;
        }
        std::string line = original;
        bool changed = false;
        for (int i = nextMacro(line, 0); i < macroCount; i = nextMacro(line, i + 1)) {
            RepeatMacro(references[static_cast<size_t>(i)], values[static_cast<size_t>(i)], line);
            changed = true;
        }
        if (changed) {
            list.Put(l, std::move(line));
        }
    }
}

}  // namespace logon
