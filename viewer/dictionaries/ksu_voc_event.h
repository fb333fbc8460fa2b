// The controller event vocabulary of protocol version 2 ("KSUEvents.xml"): its format
// list, its event groups and its events.
#pragma once

#include <cstdint>
#include <memory>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "dictionaries/keyed_index.h"
#include "dictionaries/voc_event.h"
#include "dictionaries/voc_format.h"
#include "session/host.h"

namespace kalmet {

class TEventData;

// A controller format; Kind is its category: 1 FormatEventValue, 2 text rendered by the
// decoder, 3 FormatCombo, 4 FormatBitMask.
using TKsuFormat = TFormat;

class TKsuVocFormat {
 public:
  // Reads the Format children of the Formats section.
  void Load(pugi::xml_node formats);

  TKsuFormat* GetFormat(std::string_view name) const;
  int Count() const { return count_; }
  TKsuFormat* At(int i) const { return formats_.At(i); }

  std::string FormatEventValue(const TKsuFormat& format, uint32_t value) const;
  std::string FormatCombo(const TKsuFormat& format, uint32_t n, int64_t code) const;
  // Adds one extra value per list item to the event ("Да" for a set bit, "Нет" otherwise)
  // under "%5.5u" of the item's number; returns the empty text.
  std::string FormatBitMask(const TKsuFormat& format, uint32_t value, TEventData& event,
                            int64_t code) const;

 private:
  TKeyedIndex<TKsuFormat> formats_;
  int count_ = 0;
};

// An event group: its number, name and codes in ascending order.
struct TKsuGroup {
  int32_t Number = 0;
  std::string Name;
  std::vector<uint32_t> Codes;

  int CodeCount() const { return static_cast<int>(Codes.size()); }
  // The code key "%10.10u" of code i.
  std::string CodeKey(int i) const;
  bool Holds(uint32_t code) const;
};

class TKsuVocGroups {
 public:
  // A Range wider than this is refused as an error (codes are 16-bit).
  static constexpr int64_t kMaxRangeCodes = 65536;

  // Reads the EventGroup children of the EventGroups section.
  void Load(pugi::xml_node groups);

  TKsuGroup* Group(int32_t number) const;
  int Count() const { return count_; }
  TKsuGroup* At(int i) const { return groups_.At(i); }

  bool SeekInGroup(int32_t group, uint32_t code) const;
  bool InGroup3(uint32_t code) const { return SeekInGroup(3, code); }
  bool InGroup5(uint32_t code) const { return SeekInGroup(5, code); }
  bool InGroup7(uint32_t code) const { return SeekInGroup(7, code); }
  bool InGroup13(uint32_t code) const { return SeekInGroup(13, code); }
  bool InGroup14(uint32_t code) const { return SeekInGroup(14, code); }

  // The key of a group number or code: "%10.10u".
  static std::string GroupKey(int64_t number);

 private:
  bool SetGroupList(pugi::xml_node group, int32_t id, std::vector<uint32_t>& codes) const;
  bool SetRange(const std::string& text, int32_t id, std::vector<uint32_t>& codes) const;

  TKeyedIndex<TKsuGroup> groups_;
  int count_ = 0;
};

class TKsuVocEvent : public TEventVocabulary {
 public:
  // Loads the file: the format list and the groups go to formats and groups (created
  // here, as far as loading got), the events to this vocabulary. False when the program
  // cannot go on.
  bool Create(const std::string& path, const THost& host, std::unique_ptr<TKsuVocFormat>& formats,
              std::unique_ptr<TKsuVocGroups>& groups);
};

}  // namespace kalmet
