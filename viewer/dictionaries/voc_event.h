// Event descriptions (name, colour, stop value, extra values) and the event vocabulary of
// protocol versions 0 and 1. The description types also serve the controller vocabulary.
#pragma once

#include <cstdint>
#include <functional>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "dictionaries/dictionary_file.h"
#include "dictionaries/keyed_index.h"
#include "session/host.h"

namespace kalmet {

class TKsuVocFormat;

// One extra value of an event.
struct TExEvent {
  int32_t Num = 0;
  int32_t Size = 0;
  std::string Type;
  std::string Cast;
  std::string Name;
  std::string Ed;
  std::string VFormat;

  // The list key, "%5.5u" of the number.
  std::string Key() const;
};

// One event description.
struct TEvent {
  uint32_t Code = 0;
  uint32_t Color = kDefaultEventColor;
  int32_t Stop = 0;
  std::string Name;
  bool Except = false;
  int32_t Counter = 0;
  // The ExData children in document order (duplicates kept).
  std::vector<TExEvent> ExEvents;

  int ExCount() const { return static_cast<int>(ExEvents.size()); }
  // Extra value by position in document order; null outside 0..ExCount()-1.
  const TExEvent* ExEvent(int i) const {
    return i >= 0 && i < ExCount() ? &ExEvents[static_cast<size_t>(i)] : nullptr;
  }
};

// Event descriptions keyed by the decimal text of the code, in key-text order.
class TEventVocabulary {
 public:
  TEventVocabulary() = default;
  TEventVocabulary(const TEventVocabulary&) = delete;
  TEventVocabulary& operator=(const TEventVocabulary&) = delete;

  TEvent* SeekEvent(std::string_view key) const;
  TEvent* SeekEvent(uint32_t code) const;
  // Description by position in key-text order ("10" before "9").
  TEvent* At(int i) const { return events_.At(i); }
  int Count() const { return count_; }
  void ResetCounters();

 protected:
  // Reads the Event children of parent (named exactly, or in any letter case); stop gives
  // each description's stop value from its element and code.
  void LoadEvents(pugi::xml_node parent, bool anyCase, bool trimTexts, std::string_view prefix,
                  const TKsuVocFormat* ksuFormats,
                  const std::function<int32_t(pugi::xml_node, uint32_t)>& stop);
  void Reset();

  TKeyedIndex<TEvent> events_;
  int count_ = 0;
};

// The event vocabulary of protocol versions 0 and 1 ("VocEvent.xml").
class TVocEvent : public TEventVocabulary {
 public:
  // Loads the file; false when the program cannot go on. ksuFormats (may be null) is the
  // controller format list that extra values of codes above A000 are checked against.
  bool Create(const std::string& path, const THost& host, const TKsuVocFormat* ksuFormats);
};

// Reads the ExData children of an event element into event.ExEvents.
void SetExEvent(pugi::xml_node node, TEvent& event, const TKsuVocFormat* ksuFormats);

}  // namespace kalmet
