#include "journal/jrn_trasser.h"

#include "dictionaries/dictionaries.h"
#include "journal/journal01_helpers.h"
#include "session/conversions.h"
#include "session/delphi_text.h"
#include "session/file_log.h"
#include "session/session_context.h"

namespace kalmet {
namespace {

std::string TraceName(const TDictionaries& dicts, uint32_t code, uint32_t index,
                      uint32_t priority) {
  const TEvent* description = dicts.VocEvent ? dicts.VocEvent->SeekEvent(code) : nullptr;
  if (!description) return Format("Неизвестное событие [Код: 0x%x]", code);
  const std::string& name = description->Name;
  if (code == 32) return name + "  [" + std::to_string(index) + "]";
  if (code >= 96 && code <= 98) {
    const TDictIndex* variable = dicts.Dictionary->GetDict(static_cast<int32_t>(index));
    return name + "  Индекс = " + std::to_string(index) + " [" +
           (variable ? variable->VariableName : Format("[0x%x]", index)) + "]";
  }
  if (code >= 114 && code <= 117) return name + "  Приоритет: " + std::to_string(priority);
  return name;
}

}  // namespace

bool JrnTrasser(SessionContext& ctx, const TDictionaries& dicts, int codeWidth,
                std::span<const uint8_t> bytes) {
  if (!dicts.Dictionary) {
    WriteLog("Словарь не определен.");
    return false;
  }
  try {
    const size_t w = codeWidth == 2 ? 2 : 1;
    const size_t recordSize = w + 9;
    size_t position = w;
    // The walk goes on while more than two bytes follow the position.
    while (position + 3 < bytes.size()) {
      ctx.Host.Pump();
      // A last record cut short by the end of the variable is dropped.
      if (bytes.size() - position < recordSize) break;
      const uint32_t code = ReadLE(bytes, position, w);
      position += w;
      if (code == 0) {
        position += 9;
        continue;
      }
      const uint32_t index = ReadLE(bytes, position, 2);
      const uint32_t priority = bytes[position + 2];
      const TDateTime t = DecDateTime(bytes.subspan(position + 3, 6), 5);
      position += 9;
      if (t == 0) continue;

      auto record = std::make_unique<TEventData>(0.0f);
      record->DateTime = t + kOneMillisecond;
      record->Key = DateTimeKey(record->DateTime);
      record->Name = TraceName(dicts, code, index, priority);
      std::string key = record->Key;
      ctx.slTrasser.Add(std::move(key), std::move(record));
    }
    return true;
  } catch (const std::exception& e) {
    WriteLog(std::string("[JrnTrasser] Exception: ") + e.what());
    return false;
  }
}

}  // namespace kalmet
