// Builds alarm journal images the way the controller writes them: a fresh image with
// both headers, then alarm records appended one after another around the ring, older
// records being overwritten as the ring fills.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "marnel/codec/journal_image.h"

namespace kalmet::marnel {

// Texts in these structures are UTF-8; they are written as Windows-1251.
struct AlarmParameter {
  std::string name;
  std::string value;
};

struct AlarmGroup {
  std::string name;
  std::vector<AlarmParameter> parameters;
};

struct Alarm {
  std::string name;
  std::string time;  // as the controller shows it, e.g. "12.03.2024 10:15:00"
  std::vector<std::variant<AlarmParameter, AlarmGroup>> context;
};

// The record data of an alarm: <A N="name" T="time"> with a <P N="..">value</P> per
// parameter and a <G N=".."> holding the P elements of each group (<A .../> without
// context). Control characters in
// the texts become blanks, since record data may not hold them.
std::string AlarmData(const Alarm& alarm);

class JournalWriter {
 public:
  // A fresh image of size bytes (at least kMinImageSize, else std::invalid_argument);
  // the first record gets first_number (1 to 0xFFFFFFFE).
  explicit JournalWriter(int32_t size = 16384, uint32_t first_number = 1);

  // Appends a record and returns its number, or 0 when the data does not fit in the ring
  // or holds a byte below 0x20 (nothing is written then).
  uint32_t Append(const Alarm& alarm);
  uint32_t AppendData(std::string_view data);

  const std::vector<uint8_t>& image() const { return image_; }
  std::vector<uint8_t>& image() { return image_; }
  int32_t write_position() const { return position_; }
  uint32_t next_number() const { return number_; }

 private:
  std::vector<uint8_t> image_;
  int32_t position_;
  uint32_t number_;
};

}  // namespace kalmet::marnel
