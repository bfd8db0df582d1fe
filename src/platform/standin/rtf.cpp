#include "platform/standin/rtf.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <vector>

#include "platform/standin/text.h"

namespace platform::standin {

namespace {

// Deeper groups than this share the state of the deepest one kept; their
// braces are still counted so the document's structure is followed.
constexpr size_t kMaxKeptDepth = 256;
// Longest control word kept; longer ones are read to their end and ignored.
constexpr size_t kMaxWordLength = 32;
// Parameters are clamped to this magnitude while they are read.
constexpr long long kMaxParameter = 1LL << 31;

constexpr const char* kBreak = "\r\n";

// Destinations whose content is not part of the document's text.
constexpr std::string_view kSkippedDestinations[] = {"author",
                                                     "buptim",
                                                     "colortbl",
                                                     "colorschememapping",
                                                     "comment",
                                                     "creatim",
                                                     "datastore",
                                                     "docvar",
                                                     "fldinst",
                                                     "filetbl",
                                                     "fonttbl",
                                                     "footer",
                                                     "footerf",
                                                     "footerl",
                                                     "footerr",
                                                     "footnote",
                                                     "generator",
                                                     "header",
                                                     "headerf",
                                                     "headerl",
                                                     "headerr",
                                                     "info",
                                                     "keywords",
                                                     "latentstyles",
                                                     "listoverridetable",
                                                     "listtable",
                                                     "nonshppict",
                                                     "objdata",
                                                     "object",
                                                     "operator",
                                                     "pgdsctbl",
                                                     "pict",
                                                     "printim",
                                                     "private",
                                                     "revtbl",
                                                     "revtim",
                                                     "rsidtbl",
                                                     "stylesheet",
                                                     "subject",
                                                     "tc",
                                                     "template",
                                                     "themedata",
                                                     "title",
                                                     "userprops",
                                                     "xe",
                                                     "xmlnstbl",
                                                     "bkmkstart",
                                                     "bkmkend",
                                                     "shpinst"};

struct Special {
    std::string_view word;
    const char* text;
};
constexpr Special kSpecialWords[] = {
    {"par", kBreak},       {"line", kBreak},      {"row", kBreak},    {"page", kBreak},
    {"sect", kBreak},      {"tab", "\t"},         {"cell", "\t"},     {"emdash", "\x97"},
    {"endash", "\x96"},    {"bullet", "\x95"},    {"lquote", "\x91"}, {"rquote", "\x92"},
    {"ldblquote", "\x93"}, {"rdblquote", "\x94"}, {"emspace", " "},   {"enspace", " "},
    {"qmspace", " "},      {"zwj", ""},           {"zwnj", ""},
};

// The Unicode characters of 0x80..0x9F in code page 1252; 0 where unused.
constexpr std::array<unsigned, 32> k1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

struct GroupState {
    bool skip = false;  // inside a destination that holds no text
    long long uc = 1;   // fallback characters that follow each \uN
};

class Reader {
  public:
    explicit Reader(std::string_view data) : data_(data) { stack_.push_back(GroupState{}); }

    std::string Run() {
        while (pos_ < data_.size()) {
            const char c = data_[pos_++];
            switch (c) {
                case '{':
                    OpenGroup();
                    break;
                case '}':
                    CloseGroup();
                    break;
                case '\\':
                    ControlSequence();
                    break;
                case '\r':
                case '\n':
                case '\0':
                    break;  // line breaks of the file itself carry no meaning
                default:
                    Emit(std::string_view(&c, 1));
                    break;
            }
        }
        return std::move(text_);
    }

  private:
    GroupState& State() { return stack_.back(); }

    void OpenGroup() {
        pendingFallback_ = 0;
        if (stack_.size() < kMaxKeptDepth) {
            stack_.push_back(State());
        } else {
            ++extraDepth_;
        }
    }

    void CloseGroup() {
        pendingFallback_ = 0;
        if (extraDepth_ > 0) {
            --extraDepth_;
        } else if (stack_.size() > 1) {
            stack_.pop_back();
        }
        // A surplus closing brace at the top level is ignored.
    }

    // Text that the current group shows, after any \uN fallback is used up.
    void Emit(std::string_view text) {
        if (State().skip) {
            return;
        }
        if (pendingFallback_ > 0) {
            --pendingFallback_;
            return;
        }
        text_.append(text);
    }

    // A control word or symbol standing in a \uN fallback counts as one
    // fallback character and is dropped.
    bool ConsumedAsFallback() {
        if (pendingFallback_ > 0 && !State().skip) {
            --pendingFallback_;
            return true;
        }
        return false;
    }

    void ControlSequence() {
        if (pos_ >= data_.size()) {
            return;
        }
        const char c = data_[pos_];
        if (IsLetter(c)) {
            ControlWord();
            return;
        }
        ++pos_;
        if (c == '\'') {
            HexByte();
            return;
        }
        if (c == '*') {
            State().skip = true;  // an optional destination this reader does not know
            return;
        }
        if (ConsumedAsFallback()) {
            return;
        }
        switch (c) {
            case '\\':
            case '{':
            case '}':
                Emit(std::string_view(&c, 1));
                break;
            case '~':
                Emit("\xA0");
                break;
            case '_':
                Emit("-");
                break;
            case '\r':
            case '\n':
                Emit(kBreak);  // a backslash before a line end is \par
                break;
            default:
                break;  // \- optional hyphen, \| \: and unknown symbols
        }
    }

    void HexByte() {
        const auto value = pos_ + 1 < data_.size() ? ParseHex(data_.substr(pos_, 2)) : std::nullopt;
        if (!value) {
            return;  // a malformed \' is dropped
        }
        pos_ += 2;
        const char byte = static_cast<char>(*value);
        Emit(std::string_view(&byte, 1));
    }

    void ControlWord() {
        const size_t start = pos_;
        while (pos_ < data_.size() && IsLetter(data_[pos_])) {
            ++pos_;
        }
        const std::string_view word =
            data_.substr(start, std::min(pos_ - start, kMaxWordLength + 1));
        bool hasParameter = false;
        bool negative = false;
        long long parameter = 0;
        if (pos_ < data_.size() && data_[pos_] == '-' && pos_ + 1 < data_.size() &&
            IsDigit(data_[pos_ + 1])) {
            negative = true;
            ++pos_;
        }
        while (pos_ < data_.size() && IsDigit(data_[pos_])) {
            hasParameter = true;
            parameter = std::min(parameter * 10 + (data_[pos_] - '0'), kMaxParameter);
            ++pos_;
        }
        if (negative) {
            parameter = -parameter;
        }
        if (pos_ < data_.size() && data_[pos_] == ' ') {
            ++pos_;  // the delimiting blank belongs to the word
        }
        if (word.size() > kMaxWordLength) {
            return;
        }
        Act(word, hasParameter, parameter);
    }

    void Act(std::string_view word, bool hasParameter, long long parameter) {
        if (word == "bin") {
            // Binary data of the given length follows; it is never text.
            const long long length = hasParameter ? std::max(parameter, 0LL) : 0;
            const size_t left = data_.size() - pos_;
            pos_ += static_cast<size_t>(std::min<long long>(length, static_cast<long long>(left)));
            return;
        }
        if (word == "uc") {
            State().uc = hasParameter ? std::clamp(parameter, 0LL, kMaxParameter) : 1;
            return;
        }
        if (std::find(std::begin(kSkippedDestinations), std::end(kSkippedDestinations), word) !=
            std::end(kSkippedDestinations)) {
            State().skip = true;
            return;
        }
        if (ConsumedAsFallback()) {
            return;
        }
        if (word == "u" && hasParameter) {
            const long long code = parameter < 0 ? parameter + 65536 : parameter;
            const char byte =
                code >= 0 && code <= 0x10FFFF ? UnicodeTo1252(static_cast<unsigned>(code)) : '?';
            Emit(std::string_view(&byte, 1));
            if (!State().skip) {
                pendingFallback_ = State().uc;
            }
            return;
        }
        for (const auto& special : kSpecialWords) {
            if (special.word == word) {
                Emit(special.text);
                return;
            }
        }
        // Every other control word only formats.
    }

    std::string_view data_;
    size_t pos_ = 0;
    std::vector<GroupState> stack_;
    size_t extraDepth_ = 0;
    long long pendingFallback_ = 0;
    std::string text_;
};

}  // namespace

bool LooksLikeRtf(std::string_view data) {
    return data.substr(0, 5) == "{\\rtf";
}

std::string RtfToText(std::string_view data) {
    return Reader(data).Run();
}

unsigned UnicodeOf1252(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F) {
        return k1252High[byte - 0x80];
    }
    return byte;
}

char UnicodeTo1252(unsigned codePoint) {
    if (codePoint == 0) {
        return '?';
    }
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
        return static_cast<char>(codePoint);
    }
    for (size_t i = 0; i < k1252High.size(); ++i) {
        if (k1252High[i] == codePoint) {
            return static_cast<char>(0x80 + i);
        }
    }
    return '?';
}

}  // namespace platform::standin
