// Text helpers with the system's 1-based positions, and ANSI case mapping
// of the letters A to Z only. Text is UTF-8; positions and lengths count
// characters (code points), as the administrator reads a line, never the
// bytes of UTF-8: a letter such as "é" or "東" is one character, as it was
// one byte of the ANSI code page.
#pragma once
#include <string>
#include <string_view>

namespace core {

// The number of characters of `text`. A stray byte that continues no
// character counts with the character before it.
size_t CharacterCount(std::string_view text);

// The first `count` characters of `text` (all of it when it has fewer).
std::string_view FirstCharacters(std::string_view text, size_t count);

// The text of length `count` from 1-based position `start`: a start below 1
// counts as 1; a start past the end or a count of 0 or less gives the empty
// text; a count running past the end is cut there.
std::string Copy(std::string_view text, long long start, long long count);

// 1-based position of the first occurrence of `needle` in `text`, 0 if none.
// An empty needle is never found.
long long Pos(std::string_view needle, std::string_view text);

// Upper and lower case of the letters a-z / A-Z only; every other byte,
// accented letters included, stays as it is.
char UpperAZ(char c);
char LowerAZ(char c);
std::string UpperAZ(std::string_view text);
std::string LowerAZ(std::string_view text);

}  // namespace core
