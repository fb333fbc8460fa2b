// Windows-1251 <-> UTF-8 at byte level. The journal's texts are Windows-1251; the XML
// parser and the writer's callers work in UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace kalmet::marnel {

// Decodes Windows-1251 bytes to UTF-8. Every byte maps to a code point (the unassigned
// 0x98 to U+0098), so decoding never fails and round-trips.
std::string Cp1251ToUtf8(std::string_view bytes);

// Encodes UTF-8 text to Windows-1251. Code points without a Windows-1251 byte and
// malformed UTF-8 sequences become '?'.
std::string Utf8ToCp1251(std::string_view text);

}  // namespace kalmet::marnel
