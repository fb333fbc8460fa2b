// Helpers shared by the trelbo tests: a settable clock, records, and reading a
// whole journal through any set of read functions.
#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <vector>

#include "trelbo/cell.h"
#include "trelbo/image_builder.h"
#include "trelbo/journal.h"

namespace kalmet::trelbo::testing {

class FakeClock : public Clock {
 public:
  uint64_t tickMs() override { return ms; }
  uint32_t calendarSeconds() override { return seconds; }
  uint64_t ms = 1'000'000;
  uint32_t seconds = 1'700'000'000;
};

struct Record {
  Label label;
  uint16_t code = 0;
  std::vector<uint8_t> data;
  friend bool operator==(const Record&, const Record&) = default;
  friend std::ostream& operator<<(std::ostream& os, const Record& r) {
    return os << "{label " << r.label.low << "/" << r.label.high << ", code " << r.code << ", "
              << r.data.size() << " bytes}";
  }
};

// Deterministic data bytes of a record.
inline std::vector<uint8_t> dataOf(size_t length, uint32_t seed) {
  std::vector<uint8_t> data(length);
  for (size_t i = 0; i < length; ++i) data[i] = uint8_t(seed * 31 + i * 7 + 1);
  return data;
}

inline Record makeRecord(uint32_t low, size_t length, uint16_t code = 0x0100) {
  return Record{{low, 1'600'000'000 + low}, uint16_t(code + low % 7), dataOf(length, low)};
}

inline uint32_t append(ImageBuilder& image, const Record& r, bool advance = true) {
  return image.append(r.label, r.code, r.data, advance);
}

using ReadFn = std::function<int32_t(uint32_t*, uint16_t*, uint8_t*, uint16_t*)>;

// Reads records with `first` then `next` until one fails; the failing call's
// result and length are left in *lastResult / *lastLength.
inline std::vector<Record> readAll(const ReadFn& first, const ReadFn& next,
                                   int32_t* lastResult = nullptr, uint16_t* lastLength = nullptr) {
  std::vector<Record> out;
  std::vector<uint8_t> buffer(kMaxRecordLength);
  for (bool isFirst = true;; isFirst = false) {
    uint32_t label[2] = {};
    uint16_t code = 0;
    uint16_t length = uint16_t(buffer.size());
    const int32_t result = (isFirst ? first : next)(label, &code, buffer.data(), &length);
    if (result != 0) {
      if (lastResult) *lastResult = result;
      if (lastLength) *lastLength = length;
      return out;
    }
    out.push_back({{label[0], label[1]}, code, {buffer.begin(), buffer.begin() + length}});
    // No ring holds more records than the largest image has cells.
    if (out.size() > (255u * 65535u) / kCellSize) return out;
  }
}

inline std::vector<Record> readAll(Journal& journal, int32_t* lastResult = nullptr,
                                   uint16_t* lastLength = nullptr) {
  return readAll([&](uint32_t* l, uint16_t* c, uint8_t* b,
                     uint16_t* n) { return journal.readFirst(l, c, b, n); },
                 [&](uint32_t* l, uint16_t* c, uint8_t* b, uint16_t* n) {
                   return journal.readNext(l, c, b, n);
                 },
                 lastResult, lastLength);
}

// Creates the journal from one block holding `bytes`.
inline int32_t createFrom(Journal& journal, std::vector<uint8_t>& bytes, int16_t* error = nullptr) {
  uint8_t* blocks[1] = {bytes.data()};
  uint16_t lengths[1] = {uint16_t(bytes.size())};
  return journal.create(blocks, lengths, 1, error);
}

// Reverses a list of records written oldest first into reading order.
inline std::vector<Record> newestFirst(std::vector<Record> records) {
  return {records.rbegin(), records.rend()};
}

}  // namespace kalmet::trelbo::testing
