// The mask language of the dictionaries: "%" [index ":"] ["-"] [width] ["." precision]
// conversion, with "%%" for a percent sign. Conversions d u x (upper-case hexadecimal)
// f e g n (regional decimal and thousands separators) and s. A directive whose argument
// is missing or of the wrong kind raises ConvertError, as do widths and precisions beyond
// kMaxFormatWidth (a mask that would build a huge text is treated as invalid).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "session/date_time.h"

namespace kalmet {

inline constexpr int kMaxFormatWidth = 4096;

// One argument: a 32-bit integer, a 64-bit integer, a floating-point number or a text.
class TFormatArg {
 public:
  enum class Kind { kInteger, kInt64, kFloat, kText };

  TFormatArg(int32_t v) : kind_(Kind::kInteger), int_(v) {}
  TFormatArg(int64_t v) : kind_(Kind::kInt64), int_(v) {}
  TFormatArg(double v) : kind_(Kind::kFloat), float_(v) {}
  TFormatArg(std::string_view v) : kind_(Kind::kText), text_(v) {}
  TFormatArg(const char* v) : kind_(Kind::kText), text_(v) {}
  TFormatArg(const std::string& v) : kind_(Kind::kText), text_(v) {}

  Kind kind() const { return kind_; }
  int64_t integer() const { return int_; }
  double floating() const { return float_; }
  std::string_view text() const { return text_; }

 private:
  Kind kind_;
  int64_t int_ = 0;
  double float_ = 0;
  std::string_view text_;
};

// Applies the mask to the arguments; throws ConvertError on a failing directive.
std::string FormatMask(std::string_view mask, std::span<const TFormatArg> args);
std::string FormatMask(std::string_view mask, std::initializer_list<TFormatArg> args);

}  // namespace kalmet
