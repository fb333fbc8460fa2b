// Windows-1251 <-> UTF-8. Every text inside the program is UTF-8; the controller's
// files, the dictionaries and the libraries' answers are Windows-1251.
#pragma once

#include <string>
#include <string_view>

namespace kalmet {

// Decodes Windows-1251 bytes to UTF-8. Every byte maps to a code point (0x98, which the
// code page leaves unassigned, maps to U+0098), so decoding never fails.
std::string Cp1251ToUtf8(std::string_view bytes);

// Encodes UTF-8 text to Windows-1251. Code points without a Windows-1251 byte and
// malformed UTF-8 sequences become '?'.
std::string Utf8ToCp1251(std::string_view text);

// True when the bytes hold nothing above 0x7F (then both encodings are the same).
bool IsAscii(std::string_view bytes);

}  // namespace kalmet
