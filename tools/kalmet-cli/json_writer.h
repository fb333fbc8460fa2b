// Minimal JSON text helpers for the CLI's line-per-object output.
#pragma once

#include <string>
#include <string_view>

namespace kalmet::cli {

// A JSON string literal (with quotes) of UTF-8 text.
std::string JsonString(std::string_view text);
// A number, or null when it is NaN or infinite; the shortest text that reads back the same.
std::string JsonNumber(float value);

}  // namespace kalmet::cli
