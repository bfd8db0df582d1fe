// Conversion of text to numbers, as script commands write them.
#pragma once
#include <cstdint>
#include <string>

namespace core {

// The integer of `text`: leading spaces are passed over, then either "$"
// and hexadecimal digits (a 32-bit pattern up to $FFFFFFFF, taken as it
// stands), or an optional sign and decimal digits from -2147483648 to
// 2147483647; nothing may follow. Anything else raises EConvertError
// "'<text>' is not a valid integer value".
int32_t StrToInt(const std::string& text);

}  // namespace core
