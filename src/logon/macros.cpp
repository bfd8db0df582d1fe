#include "logon/macros.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

#include "core/strings.h"
#include "logon/settings.h"
#include "platform/platform.h"
#include "platform/system.h"

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
    const size_t tailLength =
        core::FirstCharacters(std::string_view(line).substr(tailStart), kTailLimit).size();
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

std::string Reference(const std::string& name) {
    return "%" + name + "%";
}

// The macros of MacroList by their exact names, to find the next macro whose
// reference stands in a line, and their values, looked up only for macros
// that are used. Update keeps it right while MacroList itself is expanded.
class MacroIndex {
  public:
    MacroIndex(const core::TStringList& macros, platform::System& locale)
        : macros_(macros), locale_(locale) {
        const int count = macros_.Count();
        names_.resize(static_cast<size_t>(count));
        named_.resize(static_cast<size_t>(count));
        references_.resize(static_cast<size_t>(count));
        sources_.assign(static_cast<size_t>(count), kUnknown);
        for (int i = 0; i < count; ++i) {
            Index(i);
        }
    }

    int Count() const { return static_cast<int>(names_.size()); }
    const std::string& ReferenceOf(int i) const { return references_[static_cast<size_t>(i)]; }

    // ValueOf(NameAt(i)): the text after the first "=" of the first line
    // whose name equals macro i's ignoring case; empty when there is none.
    std::string Value(int i) {
        int& source = sources_[static_cast<size_t>(i)];
        if (source == kUnknown) {
            source = kNone;
            const std::string& name = names_[static_cast<size_t>(i)];
            for (int j = 0; j < Count(); ++j) {
                if (named_[static_cast<size_t>(j)] &&
                    locale_.SameTextIgnoreCase(names_[static_cast<size_t>(j)], name)) {
                    source = j;
                    break;
                }
            }
        }
        if (source == kNone) {
            return {};
        }
        const std::string& line = macros_.Get(source);
        return line.substr(line.find('=') + 1);
    }

    // Line i of the macros has changed. A new name can change which line
    // any name finds, so every lookup is made again.
    void Update(int i) {
        const std::string& line = macros_.Get(i);
        const auto eq = line.find('=');
        const std::string name = eq == std::string::npos ? std::string() : line.substr(0, eq);
        if (name == names_[static_cast<size_t>(i)] &&
            named_[static_cast<size_t>(i)] == (eq != std::string::npos)) {
            return;
        }
        auto& old = byName_[names_[static_cast<size_t>(i)]];
        old.erase(std::lower_bound(old.begin(), old.end(), i));
        Index(i);
        std::fill(sources_.begin(), sources_.end(), kUnknown);
    }

    // The first macro from index `from` on whose reference stands in `line`,
    // or Count(). Every reference begins and ends with "%", so only the
    // texts between two percent signs can name a macro.
    int Next(const std::string& line, int from) {
        const int count = Count();
        percents_.clear();
        for (size_t at = line.find('%'); at != std::string::npos; at = line.find('%', at + 1)) {
            percents_.push_back(at);
        }
        int best = count;
        if (percents_.size() < 2) {
            return best;
        }
        if (percents_.size() > kMostPercents) {
            for (int i = from; i < count; ++i) {
                if (line.find(references_[static_cast<size_t>(i)]) != std::string::npos) {
                    return i;
                }
            }
            return best;
        }
        for (size_t a = 0; a + 1 < percents_.size(); ++a) {
            for (size_t b = a + 1; b < percents_.size(); ++b) {
                const size_t length = percents_[b] - percents_[a] - 1;
                if (length > longestName_) {
                    break;
                }
                const auto it = byName_.find(line.substr(percents_[a] + 1, length));
                if (it == byName_.end()) {
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
    }

  private:
    static constexpr int kUnknown = -2;  // not looked up yet
    static constexpr int kNone = -1;     // no line has the name
    // Lines with more percent signs are searched macro by macro instead.
    static constexpr size_t kMostPercents = 128;

    void Index(int i) {
        const std::string& line = macros_.Get(i);
        const auto eq = line.find('=');
        std::string name = eq == std::string::npos ? std::string() : line.substr(0, eq);
        auto& indices = byName_[name];
        indices.insert(std::lower_bound(indices.begin(), indices.end(), i), i);
        longestName_ = std::max(longestName_, name.size());
        references_[static_cast<size_t>(i)] = Reference(name);
        named_[static_cast<size_t>(i)] = eq != std::string::npos;
        names_[static_cast<size_t>(i)] = std::move(name);
    }

    const core::TStringList& macros_;
    platform::System& locale_;
    std::vector<std::string> names_;       // NameAt(i)
    std::vector<bool> named_;              // line i has an "=" (ValueOf skips lines without)
    std::vector<std::string> references_;  // "%" + NameAt(i) + "%"
    std::vector<int> sources_;             // the line ValueOf(NameAt(i)) reads
    std::unordered_map<std::string, std::vector<int>> byName_;  // exact name -> sorted indices
    size_t longestName_ = 0;  // never shrinks: it only bounds the search
    std::vector<size_t> percents_;
};

}  // namespace

bool ExpandMacro(LogonContext& context, const std::string& name, std::string& line) {
    const std::string reference = Reference(name);
    const std::string value = context.MacroList->ValueOf(name, context.services.system());
    if (ReplaceFirst(reference, value, line) == std::string::npos) {
        return false;
    }
    return value.find(reference) == std::string::npos;
}

void ExpandMacrosPlain(LogonContext& context, core::TStringList& list) {
    const std::unique_ptr<core::TStringList>& macros = context.MacroList;
    if (!macros) {
        return;
    }
    platform::System& locale = context.services.system();
    const int lineCount = list.Count();
    for (int l = 0; l < lineCount; ++l) {
        const int macroCount = macros->Count();
        for (int i = 0; i < macroCount; ++i) {
            std::string line = list.Get(l);
            const std::string name = macros->NameAt(i);
            RepeatMacro(Reference(name), macros->ValueOf(name, locale), line);
            list.Put(l, std::move(line));
        }
    }
}

void ExpandMacros(LogonContext& context, core::TStringList& list) {
    const std::unique_ptr<core::TStringList>& macros = context.MacroList;
    if (!macros) {
        return;
    }
    // Expanding MacroList itself changes its names and values as it goes:
    // every change of a line is put back at once and the index follows it,
    // so each lookup sees the list as the plain algorithm would.
    const bool self = &list == macros.get();
    MacroIndex index(*macros, context.services.system());
    const int macroCount = index.Count();
    const int lineCount = list.Count();
    for (int l = 0; l < lineCount; ++l) {
        const std::string& original = list.Get(l);
        if (original.find('%') == std::string::npos) {
            continue;
        }
        std::string line = original;
        bool changed = false;
        for (int i = index.Next(line, 0); i < macroCount; i = index.Next(line, i + 1)) {
            const std::string value = index.Value(i);
            RepeatMacro(index.ReferenceOf(i), value, line);
            if (self) {
                list.Put(l, line);
                index.Update(l);
            } else {
                changed = true;
            }
        }
        if (changed) {
            list.Put(l, std::move(line));
        }
    }
}

}  // namespace logon
