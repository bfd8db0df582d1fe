// A small RTF reader for the stand-in's news box: it keeps the text of a
// document and drops its formatting. Safe against any input: it walks the
// data once without recursion, nesting is tracked on a heap stack of bounded
// depth, and every read is checked against the end of the data.
#pragma once
#include <string>
#include <string_view>

namespace platform::standin {

// The text of an RTF document as UTF-8: paragraph and line breaks (\par,
// \line, \row, \nestrow, \page, \sect) become CR LF, \tab, \cell and
// \nestcell a tab, the escaped { } \ and the special characters (\~,
// \emdash, \bullet, quotes ...) their characters.
//
// Bytes, written as they are or as \'hh, are read in the code page of the
// font in force: its \cpgN, else its \fcharsetN as Windows maps it (0 is
// ANSI, 1252; 1, the default, takes the document's code page), else the
// document's \ansicpgN, else that
// of \ansi, \mac, \pc or \pca (1252, 10000, 437, 850). A double-byte code
// page reads a lead and a trail byte together. The Symbol font (\fcharset2,
// or a font named Symbol) shows its symbols; a byte a code page lacks
// shows U+FFFD, and so do C1 control characters, so no text can steer a
// terminal.
//
// \uN is the UTF-16 unit N (a pair of them one character) and stands in
// front of its \ucN substitute, which is skipped; where the character cannot
// be shown (a surrogate without its partner, a control character, a
// noncharacter, a symbol font's private character U+F000..U+F0FF, or a value
// past U+10FFFF) the substitute is read instead.
//
// Hidden text (\v) is dropped, and so are destinations that hold no text
// (\fonttbl, \colortbl, \stylesheet, \info, \pict, headers, footers, any
// group starting with \* ...) and the data of \binN.
std::string RtfToText(std::string_view data);

}  // namespace platform::standin
