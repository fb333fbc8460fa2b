// Text helpers with the rules of the controller software's original platform:
// integer parsing that accepts "$" and "0x" hexadecimal, case-insensitive key order.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kalmet {

// Parses a 32-bit signed integer: optional leading blanks, a sign, decimal digits, or
// hexadecimal digits after "$", "0x" or "x"; nothing may follow. Hexadecimal values up
// to FFFFFFFF wrap to negative numbers; anything larger, or out of the signed range in
// decimal, fails.
std::optional<int32_t> ParseInt(std::string_view text);
int32_t StrToIntDef(std::string_view text, int32_t fallback);

std::string_view Trim(std::string_view text);
std::string UpperAscii(std::string_view text);
std::string LowerAscii(std::string_view text);

// Case-insensitive comparison (ASCII letters fold; other bytes compare as unsigned).
int CompareText(std::string_view a, std::string_view b);
bool SameText(std::string_view a, std::string_view b);
bool ContainsText(std::string_view haystack, std::string_view needle);

// printf into a std::string.
std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

}  // namespace kalmet
