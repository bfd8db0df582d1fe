// Letter case ignored as Windows ignores it when it compares names (of
// registry keys and values, files, sections and keys of INI files, users):
// each character of the UTF-8 text is mapped to its upper case on its own
// (the simple mapping, one character to one, never "ß" to "SS"), so
// "Łukasz" and "ŁUKASZ", "Ελένη" and "ΕΛΈΝΗ" are the same name, as
// CompareStringOrdinal with bIgnoreCase compares them (Microsoft Learn).
//
// The C library folds: glibc's towupper_l under its built-in C.UTF-8 locale
// (2.35 and later), made once. Its tables follow the Unicode release of the
// library, are kept up by the distribution, and cost no new dependency.
// Where that locale cannot be made, only ASCII letters fold, with one
// warning on standard error. ASCII text, what nearly every registry lookup
// folds, takes a byte-by-byte path that never calls the library. Bytes that
// are not valid UTF-8 stay as they are.
#pragma once
#include <string>
#include <string_view>

namespace platform::standin {

// `text` with each character in upper case.
std::string FoldCase(std::string_view text);
// Whether `a` and `b` are the same text, letter case ignored.
bool SameText(std::string_view a, std::string_view b);

}  // namespace platform::standin
