// How the program reads a text file's bytes, whatever wrote them: the one
// way every text file is read (the settings, the macros file, the
// full-name list, the scripts and a plain-text news file).
//   - A byte-order mark decides: UTF-8, or UTF-16 little or big endian.
//   - Without one, bytes that are valid UTF-8 and hold a non-ASCII byte are
//     UTF-8, as today's Notepad saves them.
//   - Anything else is text in the system's ANSI code page (GetACP on
//     Windows, the workstation's on the stand-in), read as it always was.
// The text comes out in UTF-8, the program's own text, whatever the file
// held: every character is kept. A broken UTF-8 sequence or a lone UTF-16
// surrogate becomes U+FFFD.
#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace core {

enum class TextEncoding { kAnsi, kUtf8, kUtf8WithMark, kUtf16Le, kUtf16Be };

// "ANSI", "UTF-8", "UTF-8 with a byte-order mark", "UTF-16 LE", "UTF-16 BE".
const char* EncodingName(TextEncoding encoding);

// What reading a file found out besides its text.
struct TextFacts {
    TextEncoding encoding = TextEncoding::kAnsi;
    // Bytes that were no whole character (a broken UTF-8 sequence, a lone
    // UTF-16 surrogate), read as U+FFFD.
    size_t replaced = 0;
    // A file read as ANSI that also holds UTF-8 sequences: two editors
    // wrote it, and its UTF-8 letters show as two or three others.
    bool mixed = false;
    // Bytes that no text holds: NUL, or a control character other than
    // tab, line feed, form feed and carriage return.
    bool controls = false;
};

struct DecodedText {
    std::string text;  // UTF-8
    TextFacts facts;
};

// Text in the ANSI code page as UTF-8 (platform::Files::Utf8FromAnsi).
using AnsiReader = std::function<std::string(std::string_view)>;

DecodedText DecodeText(std::string_view bytes, const AnsiReader& ansi);
// The same with Windows-1252 as the ANSI code page.
DecodedText DecodeText(std::string_view bytes);

}  // namespace core
