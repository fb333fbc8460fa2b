// The journal decoder of protocol version 2: turns the records the journal library
// delivers into graph samples (slGraph), journal events (the collection) and trace
// events (slTrasser), using the controller event vocabulary.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <unordered_map>

#include "journal/event_data.h"

namespace kalmet {

class SessionContext;
struct TDictionaries;
struct TEvent;

// Samples of slGraph by key, so that a long journal finds the sample of a record
// without searching the list. Valid while the list only grows through it.
class TGraphIndex {
 public:
  // Indexes the samples already in the list (the first entry of each key).
  explicit TGraphIndex(const TOwnedList<TEventData>& graph);
  TEventData* Find(const std::string& key) const;
  void Add(const std::string& key, TEventData* sample) { map_.emplace(key, sample); }

 private:
  std::unordered_map<std::string, TEventData*> map_;
};

class TJournal2 {
 public:
  using TBytes = std::span<const uint8_t>;

  explicit TJournal2(TDictionaries& dicts) : dicts_(dicts) {}

  // The graph channel (1..27) a graph code sets; 0 for codes that set none.
  static int GraphChannel(uint32_t code);
  // DateTime of a record time: seconds since 1970-01-01 00:00:00, no zone shift.
  static double RecordTime(uint32_t time);

  // An event record: into the collection (group 13) and/or slTrasser (group 14).
  // False when the code is not described.
  bool ParsingEvent(SessionContext& ctx, uint32_t number, uint32_t time, uint16_t code,
                    TBytes data);
  // A graph record: sets one channel of the sample under the record's key in slGraph,
  // creating the sample (all channels +infinity) when needed. index (optional) must
  // cover ctx.slGraph.
  bool ParsingGraph(SessionContext& ctx, uint32_t number, uint32_t time, uint16_t code, TBytes data,
                    TGraphIndex* index = nullptr);

  // Names the event and decodes its extra values.
  bool Formatting(TEventData& event, const TEvent& description, TBytes data) const;
  bool FormattingEx(TEventData& event, const TEvent& description, TBytes data) const;
  bool FormattingChangeIndex(TEventData& event, const TEvent& description, TBytes data) const;
  // A text value: 16-bit length, then the characters (at most size of them), cut at the
  // first zero; empty when the data ends too early.
  static std::string FormattingString(int32_t size, size_t position, TBytes data);

 private:
  TDictionaries& dicts_;
};

}  // namespace kalmet
