// Small image builders and text helpers shared by the Marnel tests.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "marnel/codec/cp1251.h"
#include "marnel/codec/journal_image.h"
#include "marnel/codec/journal_writer.h"

namespace kalmet::marnel::fixtures {

inline JournalImage View(std::vector<uint8_t>& image) {
  return JournalImage(image.data(), static_cast<int32_t>(image.size()));
}

// Record data of an alarm named "A<number>" at time "T<number>".
inline std::string NumberedAlarm(uint32_t number) {
  return AlarmData({"A" + std::to_string(number), "T" + std::to_string(number), {}});
}

// A fresh image whose ring holds the given record numbers back to back from its start.
inline std::vector<uint8_t> RingImage(const std::vector<uint32_t>& numbers, int32_t size = 16384) {
  JournalWriter writer(size);
  std::vector<uint8_t> image = writer.image();
  JournalImage view = View(image);
  int32_t p = view.ring_start();
  for (uint32_t n : numbers) p = view.Write(p, n, NumberedAlarm(n));
  return image;
}

// The listing line of NumberedAlarm(number).
inline std::string NumberedLine(uint32_t number) {
  return "A" + std::to_string(number) + "=T" + std::to_string(number);
}

// Splits a text at CR LF; an empty text has no lines.
inline std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> lines;
  if (text.empty()) return lines;
  size_t start = 0;
  for (;;) {
    const size_t at = text.find("\r\n", start);
    lines.emplace_back(text.substr(start, at == std::string_view::npos ? at : at - start));
    if (at == std::string_view::npos) return lines;
    start = at + 2;
  }
}

// Lines of a Windows-1251 text, decoded to UTF-8.
inline std::vector<std::string> Utf8Lines(const char* text) {
  return Lines(Cp1251ToUtf8(text));
}

}  // namespace kalmet::marnel::fixtures
