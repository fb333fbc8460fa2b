// The journals of a protocol-version-0 controller: the event journal (variable 1014)
// into the journal collection, the stop journal (1015) into stop records that enrich the
// names of protection trips, and the work block (1016) into the collection's counters.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "journal/journal01_helpers.h"
#include "session/date_time.h"

namespace kalmet {

class SessionContext;
class TEventData;
struct TDictionaries;
struct TEvent;

// One decoded stop of the stop journal.
struct TJrnStop {
  int32_t Code = 0;  // 0x8000 + the number of the reason word's lowest set bit
  std::string Name;  // empty for a manual stop
  float Value = 0;
  TDateTime Time = 0;
};

// One entry of the built-in table of stop reasons.
struct TVocJrnStop {
  uint32_t Reason;
  const char* Name;
};

class TJournal0 {
 public:
  static constexpr int kSlots = 255;
  static constexpr size_t kEventSize = 23;
  static constexpr size_t kStopSize = 38;

  explicit TJournal0(TDictionaries& dicts) : dicts_(dicts) {}

  // Decodes the event journal into ctx.Journal, oldest record first; clears it first.
  // False after a conversion error, which is also reported to the user.
  bool ParsingEvent(SessionContext& ctx, std::span<const uint8_t> bytes);
  // Decodes the stop journal into Stops(), replacing the previous stops.
  bool ParsingStop(SessionContext& ctx, std::span<const uint8_t> bytes);
  // Work time, idle time and start count from the work block; which is not used.
  bool ParsingWork(SessionContext& ctx, int which, std::span<const uint8_t> bytes);
  // Appends the reason and value of the matching stop to the names of red events.
  void DecodeErrorMsg(SessionContext& ctx);

  // Forgets the stops of an earlier session.
  void ClearStops() { stops_.clear(); }
  const std::vector<TJrnStop>& Stops() const { return stops_; }

  // The built-in stop reasons; position 0 is the fallback.
  static std::span<const TVocJrnStop> VocJrnStop();
  // Position of the first entry whose reason equals the word, or 0.
  static int FindVocJrnStop(uint32_t reason);

 private:
  struct TParsedEvent {
    bool Valid = false;
    uint8_t Code = 0;
    uint16_t Index = 0;
    uint32_t Before = 0;
    uint32_t After = 0;
    std::array<uint8_t, 6> Clock{};
  };

  void FillEvent(std::span<const uint8_t> bytes);
  bool ParseEvent(SessionContext& ctx, const TParsedEvent& record);
  bool Formatting(TEventData& event, const TEvent& description, const TParsedEvent& record);
  bool FormattingEx(TEventData& event, const TEvent& description, const TParsedEvent& record);
  bool FormattingChangeIndex(TEventData& event, const TEvent& description,
                             const TParsedEvent& record);
  void StopStep(std::span<const uint8_t> record);

  TDictionaries& dicts_;
  TEventKeys keys_;
  std::array<TParsedEvent, kSlots> events_{};
  std::vector<TJrnStop> stops_;
};

}  // namespace kalmet
