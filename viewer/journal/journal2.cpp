#include "journal/journal2.h"

#include <bit>
#include <cmath>
#include <limits>

#include "dictionaries/dictionaries.h"
#include "session/conversions.h"
#include "session/delphi_text.h"
#include "session/file_log.h"
#include "session/session_context.h"

namespace kalmet {
namespace {

constexpr double kUnixEpochDays = 25569.0;  // 1970-01-01 as TDateTime

// n bytes (at most 8) at position, low byte first; the caller checked the bounds.
uint64_t ReadLe(TJournal2::TBytes data, size_t position, size_t n) {
  uint64_t v = 0;
  for (size_t i = 0; i < n && i < 8; ++i) v |= uint64_t(data[position + i]) << (8 * i);
  return v;
}

std::array<uint8_t, 4> RawOf(uint64_t v) {
  return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
}

// Sizes from the dictionary are never negative in the arithmetic below.
size_t SizeOf(int32_t size) {
  return size > 0 ? size_t(size) : 0;
}

// Whether size bytes from position lie inside the data.
bool Fits(size_t position, size_t size, TJournal2::TBytes data) {
  return position <= data.size() && size <= data.size() - position;
}

std::string ExKey(int32_t number) {
  return Format("%5.5u", static_cast<unsigned>(number));
}

std::string CodeText(const char* mask, uint32_t code) {
  return Format(mask, static_cast<unsigned>(code));
}

bool InGroup(const TDictionaries& dicts, int32_t group, uint32_t code) {
  return dicts.KsuVocGroups && dicts.KsuVocGroups->SeekInGroup(group, code);
}

TEvent* Describe(const TDictionaries& dicts, uint32_t code) {
  return dicts.KsuVocEvent ? dicts.KsuVocEvent->SeekEvent(code) : nullptr;
}

}  // namespace

TGraphIndex::TGraphIndex(const TOwnedList<TEventData>& graph) {
  map_.reserve(size_t(graph.Count()));
  for (int i = 0; i < graph.Count(); ++i) map_.emplace(graph.Key(i), graph.Object(i));
}

TEventData* TGraphIndex::Find(const std::string& key) const {
  auto it = map_.find(key);
  return it == map_.end() ? nullptr : it->second;
}

int TJournal2::GraphChannel(uint32_t code) {
  switch (code) {
    case 0x9000:
      return 9;
    case 0x9001:
      return 1;
    case 0x9002:
      return 2;
    case 0x9003:
      return 3;
    case 0x9004:
      return 10;
    case 0x9005:
      return 4;
    case 0x9006:
      return 5;
    case 0x9007:
      return 6;
    case 0x9008:
      return 7;
    case 0x9009:
      return 11;
    case 0x900A:
      return 8;
    case 0x900B:
      return 12;
    case 0x900C:
      return 13;
    case 0x900D:
      return 14;
    case 0x900E:
      return 15;
    case 0x9030:
      return 8;
    case 0x9031:
      return 12;
    case 0x9032:
      return 13;
    case 0x9033:
      return 14;
    case 0x9034:
      return 15;
    default:
      return 0;
  }
}

double TJournal2::RecordTime(uint32_t time) {
  return kUnixEpochDays + double(time) / 86400.0;
}

bool TJournal2::ParsingEvent(SessionContext& ctx, uint32_t number, uint32_t time, uint16_t code,
                             TBytes data) {
  static const std::string kPrefix = "[TJournal2.ParsingEvent] ";
  try {
    TEvent* description = Describe(dicts_, code);
    if (!description) {
      WriteLog(kPrefix + CodeText("Событие с кодом 0x%X не описано в словаре событий", code));
      return false;
    }
    auto event = std::make_unique<TEventData>(0.0f);
    event->Code = code;
    event->DateTime = RecordTime(time);
    event->Key = RecordKey(number);
    event->Color = description->Color;
    event->Stop = description->Stop;
    if (description->Stop == 1) ++description->Counter;
    if (Formatting(*event, *description, data)) {
      const std::string key = event->Key;
      const bool journal = InGroup(dicts_, 13, code);
      if (InGroup(dicts_, 14, code)) {
        // The record itself goes to the last list that takes it; the others get copies.
        if (journal) {
          if (auto copy = event->Clone()) ctx.slTrasser.Add(key, std::move(copy));
        } else {
          ctx.slTrasser.Add(key, std::move(event));
        }
      }
      if (journal) ctx.Journal.Add(key, std::move(event));
    }
    return true;
  } catch (const std::exception& e) {
    WriteLog(kPrefix + "Exception: " + e.what());
    return false;
  }
}

bool TJournal2::Formatting(TEventData& event, const TEvent& description, TBytes data) const {
  event.Name = description.Name;
  if (description.ExCount() == 0) return true;
  return description.Except ? FormattingChangeIndex(event, description, data)
                            : FormattingEx(event, description, data);
}

bool TJournal2::FormattingEx(TEventData& event, const TEvent& description, TBytes data) const {
  static const std::string kPrefix = "[TJournal2.FormattingEx] ";
  const uint32_t code = event.Code;
  try {
    if (!event.ExData) event.ExData = std::make_unique<TOwnedList<TExData>>();
    const TKsuVocFormat* formats = dicts_.KsuVocFormat.get();
    size_t position = 0;
    for (const TExEvent& ex : description.ExEvents) {
      const size_t size = SizeOf(ex.Size);
      const TKsuFormat* format = formats ? formats->GetFormat(ex.VFormat) : nullptr;
      if (!format) {
        WriteLog(kPrefix + CodeText("Для события 0x%X неправильно описан формат.", code));
        position += size;
        continue;
      }
      std::string text;
      std::array<uint8_t, 4> raw{};
      if (format->Kind == 2) {
        text = FormattingString(ex.Size, position, data);
        position += size;
      } else {
        const int typeSize = GetSize(ex.Type);
        if (typeSize == 0) {
          WriteLog(kPrefix + "Error: Не определить размер " + ex.Type);
          return false;
        }
        if (ex.Size < typeSize) {
          WriteLog(kPrefix + "Error: Size=" + std::to_string(ex.Size) + ", Type=" + ex.Type);
          return false;
        }
        if (!Fits(position, size, data)) {
          WriteLog(kPrefix + CodeText("Для события 0x%X нет данных для вывода.", code));
          return true;
        }
        uint64_t value = ReadLe(data, position, size_t(typeSize));
        position += size;
        if (!ex.Cast.empty() && ex.Type.find("FP") != std::string::npos) {
          int64_t cast = 0;
          if (CastFloat2Int(ex.Cast, cast, std::bit_cast<float>(uint32_t(value)))) {
            value = uint64_t(cast);
          }
        }
        raw = RawOf(value);
        text = "????";
        switch (format->Kind) {
          case 1:
            text = formats->FormatEventValue(*format, uint32_t(value));
            break;
          case 3:
            text = formats->FormatCombo(*format, uint32_t(value), code);
            break;
          case 4:
            formats->FormatBitMask(*format, uint32_t(value), event, code);
            break;
          default:
            WriteLog(kPrefix + "Проверить формат " + format->Name);
            break;
        }
        if (format->Kind == 4) continue;
      }
      event.ExData->Add(ExKey(ex.Num), std::make_unique<TExData>(ex.Name, text, raw, ex.Ed));
    }
    event.ExData->Sort();
    return true;
  } catch (const std::exception& e) {
    WriteLog(kPrefix + "Exception: " + e.what());
    return false;
  }
}

std::string TJournal2::FormattingString(int32_t size, size_t position, TBytes data) {
  if (!Fits(position, 2, data)) return {};
  const size_t n = std::min<size_t>(ReadLe(data, position, 2), SizeOf(size));
  if (!Fits(position + 2, n, data)) return {};
  const auto text = data.subspan(position + 2, n);
  return ConvertToStr(TData(text.begin(), text.end()));
}

bool TJournal2::FormattingChangeIndex(TEventData& event, const TEvent& description,
                                      TBytes data) const {
  static const std::string kPrefix = "[TJournal2.FormattingChangeIndex] ";
  size_t position = 0;
  const TDictIndex* variable = nullptr;
  int32_t index = 0;
  // Reads the bytes of one extra value; false when they lie past the data's end.
  auto take = [&](const TExEvent& ex, uint64_t& value) {
    const size_t size = SizeOf(ex.Size);
    if (!Fits(position, size, data)) return false;
    value = ReadLe(data, position, size);
    position += size;
    return true;
  };
  auto add = [&](const TExEvent& ex, std::string name, std::string text, uint64_t value,
                 std::string ed) {
    if (!event.ExData) event.ExData = std::make_unique<TOwnedList<TExData>>();
    event.ExData->Add(ExKey(ex.Num), std::make_unique<TExData>(std::move(name), std::move(text),
                                                               RawOf(value), std::move(ed)));
  };
  auto done = [&] {
    if (event.ExData) event.ExData->Sort();
    return true;
  };

  if (description.ExCount() == 0) return true;
  try {
    const TExEvent& first = description.ExEvents.front();
    uint64_t value = 0;
    if (!take(first, value)) return false;
    index = int32_t(uint32_t(value));
    variable = dicts_.Dictionary ? dicts_.Dictionary->GetDict(index) : nullptr;
    if (!variable) {
      WriteLog(kPrefix + " Индекс:" + std::to_string(index) + " отсутствует в словаре.");
      return false;
    }
    event.Name += " [" + variable->VariableName + "]";
    if (variable->VariableFormat == "FORMAT_S" || variable->IgnoreEvent3) return done();
    add(first, "", "", uint32_t(index), "");
  } catch (const std::exception& e) {
    WriteLog(kPrefix + "Обработка индекса. Exception: " + e.what());
    return false;
  }

  if (const TExEvent* detail = description.ExEvent(1)) {
    try {
      uint64_t value = 0;
      if (!take(*detail, value)) return false;
      const std::string name(Trim(detail->Name));
      if (!name.empty())
        add(*detail, name, std::to_string(value & 0xFF), value, variable->VariableEd);
    } catch (const std::exception& e) {
      WriteLog(kPrefix + e.what());
    }
  } else {
    return done();
  }

  // The values before and after the change, rendered through the variable's format.
  const char* const stages[] = {"Обработка Befor. Exception: ", "Обработка After. Exception: "};
  for (int k = 0; k < 2; ++k) {
    const TExEvent* ex = description.ExEvent(2 + k);
    if (!ex) return done();
    uint64_t value = 0;
    if (!take(*ex, value)) return false;
    try {
      const std::string text =
          dicts_.VocFormat ? dicts_.VocFormat->FormattingIndex(index, TRawValue(uint32_t(value)))
                           : std::string();
      add(*ex, std::string(Trim(ex->Name)), text, value, variable->VariableEd);
    } catch (const std::exception& e) {
      WriteLog(kPrefix + stages[k] + e.what());
    }
  }
  return done();
}

bool TJournal2::ParsingGraph(SessionContext& ctx, uint32_t number, uint32_t time, uint16_t code,
                             TBytes data, TGraphIndex* index) {
  static const std::string kPrefix = "[TJournal2.ParsingGraph] ";
  try {
    const TEvent* description = Describe(dicts_, code);
    if (!description) {
      WriteLog(kPrefix + CodeText("График с кодом 0x%X не описан в словаре событий", code));
      return false;
    }
    std::string key = RecordKey(number);
    TEventData* sample = nullptr;
    if (index) {
      sample = index->Find(key);
    } else {
      sample = ctx.slGraph.Object(ctx.slGraph.IndexOf(key));
    }
    if (!sample || sample->GraphPoint == 0) {
      auto created = std::make_unique<TEventData>(std::numeric_limits<float>::infinity());
      created->DateTime = RecordTime(time);
      created->Key = key;
      created->GraphPoint = 1;
      sample = created.get();
      ctx.slGraph.Add(key, std::move(created));
      if (index && !index->Find(key)) index->Add(key, sample);
    }
    const TExEvent* value = description->ExEvent(0);
    if (!value) {
      WriteLog(kPrefix + CodeText("Для графика 0x%X не описано значение", code));
      return false;
    }
    const size_t size = SizeOf(value->Size);
    const int channel = GraphChannel(code);
    // A value cut short by the end of the data is missing, not zero.
    const size_t n = std::min<size_t>({size, size_t(GetSize(value->Type)), 4});
    if (!Fits(0, n, data)) {
      sample->SetValue(channel, std::bit_cast<float>(0xFFC00000u));
      return true;
    }
    const float v = std::bit_cast<float>(uint32_t(ReadLe(data, 0, n)));
    // The validity byte follows the value; a record without it counts as valid.
    uint8_t valid = 1;
    if (description->ExCount() >= 2 && size < data.size()) valid = data[size];
    sample->SetValue(channel, valid == 0 ? std::bit_cast<float>(0xFFC00000u) : v);
    return true;
  } catch (const std::exception& e) {
    WriteLog(kPrefix + "Exception: " + e.what());
    return false;
  }
}

}  // namespace kalmet
