// Case folding of Windows-1252 text, as the Windows user locale compares
// names: ASCII letters, the accented letters of 0xC0-0xDE / 0xE0-0xFE
// (except the multiplication and division signs) and the four letter pairs
// of 0x8A/0x9A, 0x8C/0x9C, 0x8E/0x9E, 0x9F/0xFF.
#pragma once
#include <string>
#include <string_view>

namespace platform::standin {

unsigned char FoldCase1252(unsigned char c);
std::string FoldCase1252(std::string_view text);
bool SameText1252(std::string_view a, std::string_view b);

}  // namespace platform::standin
