// Pieces shared by the journal decoders of protocol versions 0 and 1 and the trace
// journal: bounded little-endian reads, the time-stamp key, and the before/after values
// of a parameter-change event.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>

#include "journal/event_data.h"
#include "journal/journal_collection.h"
#include "session/date_time.h"

namespace kalmet {

struct TDictIndex;
struct TEvent;
struct TExEvent;
class TVocFormat;

// One millisecond as a TDateTime fraction.
inline constexpr TDateTime kOneMillisecond = 1.0 / 86400000.0;

// Raised by the bounded reads when a field lies past the end of a variable's bytes; the
// message is the platform's range error text that the log lines carry.
class RangeError : public std::out_of_range {
 public:
  RangeError() : std::out_of_range("Range check error") {}
};

// Little-endian number of n (at most 4) bytes at pos; RangeError past the end.
uint32_t ReadLE(std::span<const uint8_t> bytes, size_t pos, size_t n);

inline uint32_t RawWord(const std::array<uint8_t, 4>& raw) {
  return static_cast<uint32_t>(raw[0]) | static_cast<uint32_t>(raw[1]) << 8 |
         static_cast<uint32_t>(raw[2]) << 16 | static_cast<uint32_t>(raw[3]) << 24;
}

inline std::array<uint8_t, 4> RawBytes(uint32_t word) {
  return {static_cast<uint8_t>(word), static_cast<uint8_t>(word >> 8),
          static_cast<uint8_t>(word >> 16), static_cast<uint8_t>(word >> 24)};
}

// The key of an event stamped t: the first of t + 1 ms, t + 2 ms, ... whose
// "yyyy.mm.dd hh:nn:ss.zzz" text the journal does not hold yet. It remembers, per stamp,
// where the last search ended, so that many events of one second cost one search each
// instead of one per earlier event (the journal only grows between two Reset calls;
// a journal emptied behind its back is noticed and searched from the start).
class TEventKeys {
 public:
  std::string Free(const TJournalCollection& journal, TDateTime t);
  void Reset() { next_.clear(); }

 private:
  std::unordered_map<uint64_t, int> next_;
};

// A new journal event with all values 0, stamped t + 1 ms, under key, with the
// description's colour and stop value; a stop value of 1 counts in the description.
std::unique_ptr<TEventData> NewJournalEvent(uint32_t code, TDateTime t, std::string key,
                                            TEvent& description);

// Adds an extra value taken from bytes (its size; Raw keeps the low four of a wider one),
// formatted by the format vocabulary, under the extra value's number.
void AddEventValue(TEventData& event, const TExEvent& ex, std::span<const uint8_t> bytes,
                   const TVocFormat* formats);

// The "FORMAT_S" format or the IgnoreEvent3 flag: a change shown without values.
bool ChangeWithoutValues(const TDictIndex& variable);

// Adds the value before (which 1) or after (which 2) of a parameter-change event: named
// and numbered by the description's extra value at position which, or "???????" and
// number which with the value as "0x%x" when the description has no such extra value.
// An exception logs prefix + "Обработка Befor. Exception: " (or "After") + message.
void AddChangeValue(TEventData& event, const TEvent& description, int which, int32_t index,
                    uint32_t value, const TDictIndex& variable, const TVocFormat* formats,
                    const std::string& prefix);

}  // namespace kalmet
