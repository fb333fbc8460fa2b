// The event journal of a protocol-version-1 controller (variable 10370): a ring of 1000
// slots of 20 bytes behind a 16-bit head, decoded oldest first into the journal
// collection; and the three journal counters (variables 9995, 9996, 9991).
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "journal/journal01_helpers.h"

namespace kalmet {

class SessionContext;
class TEventData;
struct TDictionaries;
struct TEvent;

class TJournal1 {
 public:
  static constexpr int kSlots = 1000;
  static constexpr size_t kSlotSize = 20;
  using TSlot = std::array<uint8_t, kSlotSize>;

  explicit TJournal1(TDictionaries& dicts) : dicts_(dicts) {}

  // Decodes the whole ring into ctx.Journal, which it clears first (the work counters
  // already read for this session are kept). False after an exception, which is also
  // reported to the user.
  bool ParsingEvent(SessionContext& ctx, std::span<const uint8_t> bytes);
  // which 0 sets WorkTime, 1 IdleTime, 2 StartCount from the first four bytes; other
  // values change nothing.
  bool ParsingWork(SessionContext& ctx, int which, std::span<const uint8_t> bytes);
  // Decodes one slot (its clock bytes are converted in place) and adds it to the journal.
  bool ParseEvent(SessionContext& ctx, TSlot& record);

 private:
  bool Formatting(TEventData& event, const TEvent& description, const TSlot& record);
  bool FormattingEx(TEventData& event, const TEvent& description, const TSlot& record);
  bool FormattingChangeIndex(TEventData& event, const TEvent& description, const TSlot& record);

  TDictionaries& dicts_;
  TEventKeys keys_;
  std::array<TSlot, kSlots> slots_{};
};

}  // namespace kalmet
