// The format vocabulary: named formats (simple masks, lists, computed values, bit masks)
// that turn variables' raw values and events' extra values into text.
#pragma once

#include <cstdint>
#include <optional>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "dictionaries/keyed_index.h"
#include "session/host.h"

namespace kalmet {

class TDictionary;

// One format. For the format vocabulary Kind is 0 simple, 1 list, 2 computed, 3 bit mask;
// for the controller format list (TKsuFormat) it is the category 1 to 4.
struct TFormat {
  uint8_t Kind = 0;
  std::string Name;
  std::string Mask;
  // Present for the kinds that carry a list; items numbered from 0.
  std::optional<std::vector<std::string>> List;

  bool HasItems() const { return List && !List->empty(); }
};

// A raw value: a 32-bit word, or a text (T_STRING variables, FORMAT_DMY).
struct TRawValue {
  uint32_t Word = 0;
  bool IsText = false;
  std::string Text;

  TRawValue() = default;
  TRawValue(uint32_t word) : Word(word) {}
  static TRawValue OfText(std::string text) {
    TRawValue v;
    v.IsText = true;
    v.Text = std::move(text);
    return v;
  }
};

// Renderers shared by the format vocabulary and the controller format list; prefix is
// the owner's log prefix, e.g. "[TVocFormat.FormatCombo] ".
std::string RenderEventValue(const TFormat& format, uint32_t value, std::string_view prefix);
std::string RenderCombo(const TFormat& format, uint32_t n, int64_t code, std::string_view prefix);
// The set bits' items joined by "; ".
std::string RenderBitMask(const TFormat& format, uint64_t v, int64_t code, std::string_view prefix);
// Whether bit i of v counts as set (bits from 32 on never do).
inline bool BitSet(uint64_t v, size_t i) {
  return i < 32 && ((v >> i) & 1u) != 0;
}
// Logs the missing list of a list or bit-mask format.
void LogNoList(const TFormat& format, int64_t code, std::string_view prefix);

// Reads the format elements named elementName (exactly, or in any letter case) among
// parent's children into formats; kindAttr names the kind attribute, and the kinds
// listKindA and listKindB carry a list. Log lines go under prefix.
void LoadFormatElements(pugi::xml_node parent, std::string_view elementName, bool anyCase,
                        const char* kindAttr, uint8_t listKindA, uint8_t listKindB,
                        std::string_view prefix, TKeyedIndex<TFormat>& formats);

class TVocFormat {
 public:
  TVocFormat() = default;
  TVocFormat(const TVocFormat&) = delete;
  TVocFormat& operator=(const TVocFormat&) = delete;

  // Loads "VocFormat.xml"; false when the program cannot go on.
  bool Create(const std::string& path, const THost& host);
  // The variable dictionary FormattingIndex reads; null means "not defined".
  void SetDictionary(const TDictionary* dictionary) { dictionary_ = dictionary; }

  TFormat* GetFormat(std::string_view name) const;
  int Count() const { return count_; }
  TFormat* At(int i) const { return formats_.At(i); }

  // Renders a variable's raw value through its dictionary entry. Formatting errors of
  // numeric simple types and of FORMAT_ADR reach the caller as ConvertError.
  std::string FormattingIndex(int32_t index, const TRawValue& value) const;
  // Renders an event's extra value; typeName matters only for containing "FP".
  std::string FormattingEvent(std::string_view formatName, std::string_view typeName,
                              uint32_t value, int64_t code) const;

  std::string FormatIndexValue(const TFormat& format, std::string_view typeName,
                               const TRawValue& value, int32_t index) const;
  std::string FormatEventValue(const TFormat& format, uint32_t value) const;
  std::string FormatCalc(const TFormat& format, const TRawValue& value) const;
  std::string FormatCombo(const TFormat& format, uint32_t n, int64_t code) const;
  std::string FormatBitMask(const TFormat& format, uint64_t v, int64_t code) const;

 private:
  TKeyedIndex<TFormat> formats_;
  int count_ = 0;
  const TDictionary* dictionary_ = nullptr;
};

}  // namespace kalmet
