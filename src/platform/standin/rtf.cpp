#include "platform/standin/rtf.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <iterator>
#include <optional>
#include <unordered_map>
#include <utility>
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
// Fonts kept from the font table; text in a font past them reads in the
// document's code page.
constexpr size_t kMaxFonts = 1024;
// Letters of a font's name kept: enough to tell the Symbol font.
constexpr size_t kMaxFontName = 16;
// Longest \ucN substitute looked across for the second half of a pair.
constexpr long long kMaxPairSubstitute = 16;

constexpr int kCodePage1252 = 1252;
constexpr int kCodePageSymbol = 42;   // Windows' CP_SYMBOL
constexpr int kCodePageUtf16 = 1200;  // the UTF-16 units of \uN, little-endian
constexpr int kMaxCodePage = 65535;

constexpr const char* kBreak = "\r\n";
constexpr const char* kReplacement = "\uFFFD";

// Destinations whose content is not part of the document's text.
constexpr std::string_view kSkippedDestinations[] = {
    "author",    "buptim",       "colortbl",     "colorschememapping",
    "comment",   "creatim",      "datastore",    "docvar",
    "fldinst",   "filetbl",      "footer",       "footerf",
    "footerl",   "footerr",      "footnote",     "generator",
    "header",    "headerf",      "headerl",      "headerr",
    "info",      "keywords",     "latentstyles", "listoverridetable",
    "listtable", "nonesttables", "nonshppict",   "objdata",
    "object",    "operator",     "pgdsctbl",     "pict",
    "printim",   "private",      "revtbl",       "revtim",
    "rsidtbl",   "stylesheet",   "subject",      "tc",
    "template",  "themedata",    "title",        "userprops",
    "xe",        "xmlnstbl",     "bkmkstart",    "bkmkend",
    "shpinst"};

struct Special {
    std::string_view word;
    const char* text;
};
constexpr Special kSpecialWords[] = {
    {"par", kBreak},      {"line", kBreak},     {"row", kBreak},         {"nestrow", kBreak},
    {"page", kBreak},     {"sect", kBreak},     {"tab", "\t"},           {"cell", "\t"},
    {"nestcell", "\t"},   {"emdash", "\u2014"}, {"endash", "\u2013"},    {"bullet", "\u2022"},
    {"lquote", "\u2018"}, {"rquote", "\u2019"}, {"ldblquote", "\u201C"}, {"rdblquote", "\u201D"},
    {"emspace", " "},     {"enspace", " "},     {"qmspace", " "},        {"zwj", ""},
    {"zwnj", ""},
};

// The code page each character set of \fcharsetN stands for, as Windows
// maps it; 0 (ANSI), 1 (default) and the rest take the document's.
struct CharsetCodePage {
    long long charset;
    int codePage;
};
constexpr CharsetCodePage kCharsetCodePages[] = {
    {0, kCodePage1252}, {2, kCodePageSymbol}, {77, 10000}, {128, 932},  {129, 949},
    {130, 1361},        {134, 936},           {136, 950},  {161, 1253}, {162, 1254},
    {163, 1258},        {177, 1255},          {178, 1256}, {186, 1257}, {204, 1251},
    {222, 874},         {238, 1250},          {254, 437},  {255, 850}};

// The document's code page named by \ansi, \mac, \pc and \pca, until
// \ansicpgN names one.
struct CharacterSetWord {
    std::string_view word;
    int codePage;
};
constexpr CharacterSetWord kCharacterSetWords[] = {
    {"ansi", kCodePage1252}, {"mac", 10000}, {"pc", 437}, {"pca", 850}};

// Code pages iconv knows by another name than "CP<number>".
struct IconvName {
    int codePage;
    const char* name;
};
constexpr IconvName kIconvNames[] = {{kCodePageUtf16, "UTF-16LE"},
                                     {10000, "MACINTOSH"},
                                     {10029, "MAC-CENTRALEUROPE"},
                                     {20866, "KOI8-R"},
                                     {21866, "KOI8-U"},
                                     {20932, "EUC-JP"},
                                     {28591, "ISO-8859-1"},
                                     {28592, "ISO-8859-2"},
                                     {28605, "ISO-8859-15"},
                                     {51949, "EUC-KR"},
                                     {54936, "GB18030"},
                                     {65001, "UTF-8"}};

// The characters of the Symbol font at 0x20..0x7E and 0xA0..0xFF; the bytes
// between are unused.
constexpr std::u16string_view kSymbolLow =
    u" !\u2200#\u2203%&\u220B()\u2217+,\u2212./0123456789:;<=>?\u2245"
    u"\u0391\u0392\u03A7\u0394\u0395\u03A6\u0393\u0397\u0399\u03D1\u039A\u039B\u039C\u039D"
    u"\u039F\u03A0\u0398\u03A1\u03A3\u03A4\u03A5\u03C2\u03A9\u039E\u03A8\u0396[\u2234]\u22A5_"
    u"\u203E\u03B1\u03B2\u03C7\u03B4\u03B5\u03C6\u03B3\u03B7\u03B9\u03D5\u03BA\u03BB\u03BC"
    u"\u03BD\u03BF\u03C0\u03B8\u03C1\u03C3\u03C4\u03C5\u03D6\u03C9\u03BE\u03C8\u03B6{|}\u223C";
constexpr std::u16string_view kSymbolHigh =
    u"\u20AC\u03D2\u2032\u2264\u2044\u221E\u0192\u2663\u2666\u2665\u2660\u2194\u2190\u2191"
    u"\u2192\u2193\u00B0\u00B1\u2033\u2265\u00D7\u221D\u2202\u2022\u00F7\u2260\u2261\u2248"
    u"\u2026\u23D0\u23AF\u21B5\u2135\u2111\u211C\u2118\u2297\u2295\u2205\u2229\u222A\u2283"
    u"\u2287\u2284\u2282\u2286\u2208\u2209\u2220\u2207\u00AE\u00A9\u2122\u220F\u221A\u22C5"
    u"\u00AC\u2227\u2228\u21D4\u21D0\u21D1\u21D2\u21D3\u25CA\u2329\u00AE\u00A9\u2122\u2211"
    u"\u239B\u239C\u239D\u23A1\u23A2\u23A3\u23A7\u23A8\u23A9\u23AA\uFFFD\u232A\u222B\u2320"
    u"\u23AE\u2321\u239E\u239F\u23A0\u23A4\u23A5\u23A6\u23AB\u23AC\u23AD\uFFFD";
static_assert(kSymbolLow.size() == 0x7F - 0x20 && kSymbolHigh.size() == 0x100 - 0xA0);

// Characters a \uN cannot show: control characters but tab and the line
// ends, surrogate halves, a symbol font's private characters (its
// substitute names the byte) and noncharacters.
struct Range {
    long long first;
    long long last;
};
constexpr Range kNotShown[] = {{0x00, 0x08},     {0x0B, 0x0C},     {0x0E, 0x1F},    {0x7F, 0x9F},
                               {0xD800, 0xDFFF}, {0xF000, 0xF0FF}, {0xFFFE, 0xFFFF}};
constexpr long long kLastCodePoint = 0x10FFFF;

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool Showable(long long code) {
    return code >= 0 && code <= kLastCodePoint &&
           std::none_of(std::begin(kNotShown), std::end(kNotShown),
                        [code](const Range& r) { return code >= r.first && code <= r.last; });
}

int CodePageOfCharset(long long charset) {
    for (const auto& entry : kCharsetCodePages) {
        if (entry.charset == charset) {
            return entry.codePage;
        }
    }
    return 0;
}

// A code page number as given, 0 (none) for one out of range.
int CodePageParameter(bool hasParameter, long long parameter) {
    return hasParameter && parameter > 0 && parameter <= kMaxCodePage ? static_cast<int>(parameter)
                                                                      : 0;
}

std::string IconvNameOf(int codePage) {
    for (const auto& entry : kIconvNames) {
        if (entry.codePage == codePage) {
            return entry.name;
        }
    }
    return "CP" + std::to_string(codePage);
}

// A UTF-16 code unit, little-endian, as bytes.
void AppendUnit(std::string& units, unsigned unit) {
    units += static_cast<char>(unit & 0xFF);
    units += static_cast<char>(unit >> 8);
}

// A code point as UTF-16 units, a pair past U+FFFF.
std::string Utf16Of(long long code) {
    std::string units;
    if (code < 0x10000) {
        AppendUnit(units, static_cast<unsigned>(code));
    } else {
        const auto rest = static_cast<unsigned>(code - 0x10000);
        AppendUnit(units, 0xD800 + (rest >> 10));
        AppendUnit(units, 0xDC00 + (rest & 0x3FF));
    }
    return units;
}

// Bytes in the Symbol font as UTF-16 units.
std::string SymbolAsUtf16(std::string_view bytes) {
    std::string units;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        char16_t unit = u'\uFFFD';
        if (byte < 0x20) {
            unit = byte;
        } else if (byte < 0x7F) {
            unit = kSymbolLow[byte - 0x20];
        } else if (byte >= 0xA0) {
            unit = kSymbolHigh[byte - 0xA0];
        }
        AppendUnit(units, unit);
    }
    return units;
}

bool IsAscii(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// UTF-8 text with every C1 control character (U+0080..U+009F) shown as
// U+FFFD: some terminals act on them.
void AppendWithoutC1(std::string& out, std::string_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
        const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        if (text[i] == '\xC2' && next >= 0x80 && next <= 0x9F) {
            out += kReplacement;
            ++i;
        } else {
            out += text[i];
        }
    }
}

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

// Appends `bytes` read by `cd` to `out` as UTF-8. A byte the code page
// lacks, or a character cut short at the end, shows U+FFFD; without a
// converter at all only ASCII is read.
void Decode(iconv_t cd, std::string& bytes, std::string& out) {
    std::string decoded;
    if (cd == kNoConverter) {
        for (const char c : bytes) {
            decoded += static_cast<unsigned char>(c) < 0x80 ? std::string(1, c) : kReplacement;
        }
    } else {
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        char* in = bytes.data();
        size_t inLeft = bytes.size();
        char buffer[256];
        while (inLeft > 0) {
            char* outAt = buffer;
            size_t outLeft = sizeof buffer;
            const size_t result = iconv(cd, &in, &inLeft, &outAt, &outLeft);
            decoded.append(buffer, static_cast<size_t>(outAt - buffer));
            if (result == static_cast<size_t>(-1) && errno != E2BIG) {
                decoded += kReplacement;  // EILSEQ, or EINVAL at the end
                ++in;
                --inLeft;
                iconv(cd, nullptr, nullptr, nullptr, nullptr);
            }
        }
    }
    AppendWithoutC1(out, decoded);
}

// The converters to UTF-8 that one reading opens, one per code page,
// closed when it ends.
class Converters {
  public:
    Converters() = default;
    Converters(const Converters&) = delete;
    Converters& operator=(const Converters&) = delete;
    ~Converters() {
        for (const auto& entry : open_) {
            if (entry.second != kNoConverter) {
                iconv_close(entry.second);
            }
        }
    }

    // The converter from `codePage`; code page 1252's for one iconv does
    // not know, kNoConverter when it knows neither.
    iconv_t For(int codePage) {
        iconv_t cd = Open(codePage);
        return cd != kNoConverter ? cd : Open(kCodePage1252);
    }

  private:
    iconv_t Open(int codePage) {
        for (const auto& entry : open_) {
            if (entry.first == codePage) {
                return entry.second;
            }
        }
        const iconv_t cd = iconv_open("UTF-8", IconvNameOf(codePage).c_str());
        open_.emplace_back(codePage, cd);
        return cd;
    }

    std::vector<std::pair<int, iconv_t>> open_;
};

enum class Destination : unsigned char {
    Text,     // the document's text
    Fonts,    // the font table
    Skipped,  // a destination that holds no text
};

struct GroupState {
    Destination destination = Destination::Text;
    long long uc = 1;     // substitute units that follow each \uN
    long long font = -1;  // \fN in force; -1 for the default font
    bool hidden = false;  // \v
};

struct Font {
    int charsetCodePage = 0;  // from \fcharsetN; 0 for the document's
    int codePage = 0;         // \cpgN, which comes first; 0 when not given
    bool symbol = false;      // named Symbol
    bool named = false;       // its name has ended (at ';')
    std::string name;         // the first letters of its name
};

// A control word as the data writes it.
struct Word {
    std::string_view name;  // up to one letter past kMaxWordLength
    bool hasParameter = false;
    long long parameter = 0;
    size_t end = 0;  // where the data goes on after it
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
                    Character(c);
                    break;
            }
        }
        Flush();
        return std::move(text_);
    }

  private:
    GroupState& State() { return stack_.back(); }

    // A character never spans a group's start or end.
    void OpenGroup() {
        Flush();
        pendingFallback_ = 0;
        if (stack_.size() < kMaxKeptDepth) {
            stack_.push_back(State());
        } else {
            ++extraDepth_;
        }
    }

    void CloseGroup() {
        Flush();
        pendingFallback_ = 0;
        codePage_ = 0;
        if (extraDepth_ > 0) {
            --extraDepth_;
        } else if (stack_.size() > 1) {
            stack_.pop_back();
        }
        // A surplus closing brace at the top level is ignored.
    }

    // Whether the next unit of text shows: it is part of the document's
    // text, no \uN substitute uses it up, and it is not hidden.
    bool Shows() {
        if (State().destination != Destination::Text) {
            return false;
        }
        if (pendingFallback_ > 0) {
            --pendingFallback_;
            return false;
        }
        return !State().hidden;
    }

    // A control word or symbol standing in a \uN substitute counts as one
    // unit of it and is dropped.
    bool ConsumedAsFallback() {
        if (pendingFallback_ > 0 && State().destination == Destination::Text) {
            --pendingFallback_;
            return true;
        }
        return false;
    }

    // A byte of text, read in the code page in force.
    void Character(char c) {
        if (State().destination == Destination::Fonts) {
            FontNameCharacter(c);
        } else if (Shows()) {
            Append(CodePage(), std::string_view(&c, 1));
        }
    }

    // Text already in UTF-8.
    void Emit(std::string_view text) {
        if (Shows()) {
            Flush();
            text_.append(text);
        }
    }

    // Bytes wait until the code page changes, other text follows or a group
    // starts or ends, so a double-byte character is read whole.
    void Append(int codePage, std::string_view bytes) {
        if (codePage != pendingCodePage_) {
            Flush();
            pendingCodePage_ = codePage;
        }
        pending_.append(bytes);
    }

    void Flush() {
        if (pending_.empty()) {
            return;
        }
        int codePage = pendingCodePage_;
        if (codePage == kCodePageSymbol) {
            pending_ = SymbolAsUtf16(pending_);
            codePage = kCodePageUtf16;
        }
        if (codePage != kCodePageUtf16 && IsAscii(pending_)) {
            text_.append(pending_);
        } else {
            Decode(converters_.For(codePage), pending_, text_);
        }
        pending_.clear();
    }

    int CodePage() {
        if (codePage_ == 0) {
            const long long number = State().font >= 0 ? State().font : defaultFont_;
            const auto font = fonts_.find(number);
            if (font != fonts_.end()) {
                const Font& f = font->second;
                codePage_ = f.codePage ? f.codePage
                            : f.symbol ? kCodePageSymbol
                                       : f.charsetCodePage;
            }
            if (codePage_ == 0) {
                codePage_ = documentCodePage_ ? documentCodePage_ : characterSetCodePage_;
            }
        }
        return codePage_;
    }

    void FontNameCharacter(char c) {
        if (!defining_ || defining_->named) {
            return;
        }
        if (c == ';') {
            defining_->named = true;
            defining_->symbol = Trim(defining_->name) == "Symbol";
        } else if (defining_->name.size() < kMaxFontName) {
            defining_->name += c;
        }
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
            // An optional destination this reader does not know is skipped;
            // a nested table's properties are read for the \nestrow in them.
            if (!(pos_ < data_.size() && data_[pos_] == '\\' &&
                  ReadWord(pos_ + 1).name == "nesttableprops")) {
                State().destination = Destination::Skipped;
            }
            return;
        }
        if (ConsumedAsFallback()) {
            return;
        }
        switch (c) {
            case '\\':
            case '{':
            case '}':
                Character(c);
                break;
            case '~':
                Emit("\u00A0");
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
        Character(static_cast<char>(*value));
    }

    // The control word whose letters start at `start`, with its parameter
    // and the blank that ends it.
    Word ReadWord(size_t start) const {
        Word word;
        size_t at = start;
        while (at < data_.size() && IsLetter(data_[at])) {
            ++at;
        }
        word.name = data_.substr(start, std::min(at - start, kMaxWordLength + 1));
        bool negative = false;
        if (at + 1 < data_.size() && data_[at] == '-' && IsDigit(data_[at + 1])) {
            negative = true;
            ++at;
        }
        while (at < data_.size() && IsDigit(data_[at])) {
            word.hasParameter = true;
            word.parameter = std::min(word.parameter * 10 + (data_[at] - '0'), kMaxParameter);
            ++at;
        }
        if (negative) {
            word.parameter = -word.parameter;
        }
        if (at < data_.size() && data_[at] == ' ') {
            ++at;  // the delimiting blank belongs to the word
        }
        word.end = at;
        return word;
    }

    void ControlWord() {
        const size_t at = pos_ - 1;
        const Word word = ReadWord(pos_);
        pos_ = word.end;
        codePage_ = 0;  // any word may change the font or the code page
        if (word.name.size() <= kMaxWordLength) {
            Act(word, at);
        }
    }

    void Act(const Word& w, size_t at) {
        const std::string_view word = w.name;
        if (word == "bin") {
            // Binary data of the given length follows; it is never text.
            const long long length = w.hasParameter ? std::max(w.parameter, 0LL) : 0;
            const size_t left = data_.size() - pos_;
            pos_ += static_cast<size_t>(std::min<long long>(length, static_cast<long long>(left)));
            return;
        }
        if (word == "uc") {
            State().uc = w.hasParameter ? std::clamp(w.parameter, 0LL, kMaxParameter) : 1;
            return;
        }
        if (State().destination == Destination::Fonts) {
            FontWord(w);
            return;
        }
        if (std::find(std::begin(kSkippedDestinations), std::end(kSkippedDestinations), word) !=
            std::end(kSkippedDestinations)) {
            State().destination = Destination::Skipped;
            return;
        }
        if (word == "fonttbl") {
            if (State().destination == Destination::Text) {
                State().destination = Destination::Fonts;
            }
            return;
        }
        if (ConsumedAsFallback()) {
            return;
        }
        if (word == "u") {
            if (w.hasParameter) {
                UnicodeCharacter(w.parameter, at);
            }
            return;
        }
        if (CharacterFormat(w)) {
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

    // The words that choose the font, the code page and hidden text.
    bool CharacterFormat(const Word& w) {
        const std::string_view word = w.name;
        if (word == "f") {
            State().font = w.hasParameter ? w.parameter : State().font;
        } else if (word == "deff") {
            defaultFont_ = w.parameter;
        } else if (word == "plain") {
            State().font = -1;
            State().hidden = false;
        } else if (word == "v") {
            State().hidden = !w.hasParameter || w.parameter != 0;
        } else if (word == "ansicpg") {
            documentCodePage_ = CodePageParameter(w.hasParameter, w.parameter);
        } else {
            for (const auto& set : kCharacterSetWords) {
                if (set.word == word) {
                    characterSetCodePage_ = set.codePage;
                    return true;
                }
            }
            return false;
        }
        return true;
    }

    // A word of the font table: \fN starts a font, \fcharsetN and \cpgN
    // give its code page.
    void FontWord(const Word& w) {
        if (w.name == "f") {
            defining_ = nullptr;
            if (w.hasParameter && (fonts_.size() < kMaxFonts || fonts_.count(w.parameter))) {
                defining_ = &fonts_[w.parameter];
                *defining_ = Font{};
            }
        } else if (defining_ && w.name == "fcharset") {
            defining_->charsetCodePage = CodePageOfCharset(w.parameter);
        } else if (defining_ && w.name == "cpg") {
            defining_->codePage = CodePageParameter(w.hasParameter, w.parameter);
        }
    }

    // \uN: a UTF-16 unit, shown unless it cannot be, when its substitute is
    // read instead. A high surrogate is shown with the low one that follows
    // its substitute, and that one then shows nothing more.
    void UnicodeCharacter(long long parameter, size_t at) {
        if (State().destination != Destination::Text) {
            return;
        }
        const long long substitute = State().uc;
        if (at == pairedLowAt_) {
            pendingFallback_ = substitute;
            return;
        }
        const long long code = parameter < 0 ? parameter + 0x10000 : parameter;
        std::string units;
        if (code >= 0xD800 && code <= 0xDBFF) {
            const auto low = LowSurrogateAhead(substitute);
            if (!low) {
                return;
            }
            units = Utf16Of(code) + Utf16Of(*low);
        } else if (Showable(code)) {
            units = Utf16Of(code);
        } else {
            return;
        }
        if (!State().hidden) {
            Append(kCodePageUtf16, units);
        }
        pendingFallback_ = substitute;
    }

    // The low surrogate of a \uN that follows the `units` of substitute
    // after the current one, remembering where it stands; nothing when
    // another thing follows.
    std::optional<long long> LowSurrogateAhead(long long units) {
        if (units > kMaxPairSubstitute) {
            return std::nullopt;
        }
        size_t at = pos_;
        for (long long unit = 0;; ++unit) {
            while (at < data_.size() && (data_[at] == '\r' || data_[at] == '\n')) {
                ++at;
            }
            if (at >= data_.size() || data_[at] == '{' || data_[at] == '}') {
                return std::nullopt;
            }
            if (unit == units) {
                break;
            }
            at = UnitEnd(at);
        }
        if (data_[at] != '\\') {
            return std::nullopt;
        }
        const Word word = ReadWord(at + 1);
        const long long code = word.parameter < 0 ? word.parameter + 0x10000 : word.parameter;
        if (word.name != "u" || !word.hasParameter || code < 0xDC00 || code > 0xDFFF) {
            return std::nullopt;
        }
        pairedLowAt_ = at;
        return code;
    }

    // Where the unit of text starting at `at` ends: a character, \'hh, a
    // control symbol or a control word.
    size_t UnitEnd(size_t at) const {
        if (data_[at] != '\\' || at + 1 >= data_.size()) {
            return at + 1;
        }
        if (IsLetter(data_[at + 1])) {
            return ReadWord(at + 1).end;
        }
        return std::min(at + (data_[at + 1] == '\'' ? 4 : 2), data_.size());
    }

    std::string_view data_;
    size_t pos_ = 0;
    std::vector<GroupState> stack_;
    size_t extraDepth_ = 0;
    long long pendingFallback_ = 0;
    size_t pairedLowAt_ = std::string_view::npos;  // a \uN already shown with its pair

    std::unordered_map<long long, Font> fonts_;
    Font* defining_ = nullptr;  // the font the font table is describing
    long long defaultFont_ = 0;
    int documentCodePage_ = 0;  // \ansicpgN
    int characterSetCodePage_ = kCodePage1252;
    int codePage_ = 0;  // the code page in force; 0 until worked out again

    std::string pending_;  // bytes not yet read
    int pendingCodePage_ = 0;
    Converters converters_;
    std::string text_;
};

}  // namespace

std::string RtfToText(std::string_view data) {
    return Reader(data).Run();
}

}  // namespace platform::standin
