// Little-endian byte building for variable values.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "session/date_time.h"

namespace kalmet::sessiongen {

class TBytes {
 public:
  TBytes& U8(uint32_t v) {
    s_ += static_cast<char>(v & 0xFF);
    return *this;
  }
  TBytes& U16(uint32_t v) { return U8(v).U8(v >> 8); }
  TBytes& U32(uint32_t v) { return U16(v).U16(v >> 16); }
  TBytes& F32(float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return U32(bits);
  }
  // Windows-1251 bytes followed by a zero byte.
  TBytes& Text(std::string_view cp1251) {
    s_ += cp1251;
    s_ += '\0';
    return *this;
  }
  TBytes& Raw(std::string_view bytes) {
    s_ += bytes;
    return *this;
  }
  TBytes& Zeros(size_t n) {
    s_.append(n, '\0');
    return *this;
  }
  // Clock bytes hour, minute, second, day, month, year within the century; bcd writes
  // each as binary-coded decimal.
  TBytes& Clock(TDateTime t, bool bcd) {
    const DateTimeParts p = DecodeDateTime(t);
    for (int v : {p.hour, p.minute, p.second, p.day, p.month, p.year % 100})
      U8(bcd ? (v / 10) * 16 + v % 10 : v);
    return *this;
  }

  size_t size() const { return s_.size(); }
  const std::string& str() const { return s_; }
  std::string take() { return std::move(s_); }

 private:
  std::string s_;
};

// The NaN the controller writes for a value it could not measure.
inline float NotMeasured() {
  const uint32_t bits = 0xFFC00000u;
  float f;
  std::memcpy(&f, &bits, sizeof f);
  return f;
}

}  // namespace kalmet::sessiongen
