#include "journal/journal01_helpers.h"

#include <algorithm>
#include <bit>

#include "dictionaries/dictionary.h"
#include "dictionaries/voc_event.h"
#include "dictionaries/voc_format.h"
#include "session/delphi_text.h"
#include "session/file_log.h"

namespace kalmet {

uint32_t ReadLE(std::span<const uint8_t> bytes, size_t pos, size_t n) {
  if (n > 4 || pos > bytes.size() || bytes.size() - pos < n) throw RangeError();
  uint32_t v = 0;
  for (size_t i = 0; i < n; ++i) v |= static_cast<uint32_t>(bytes[pos + i]) << (8 * i);
  return v;
}

std::string TEventKeys::Free(const TJournalCollection& journal, TDateTime t) {
  auto key = [t](int n) { return DateTimeKey(t + n * kOneMillisecond); };
  int& next = next_[std::bit_cast<uint64_t>(t)];
  // Every key below the remembered one was taken then and still is, unless the journal
  // was emptied since.
  if (next <= 1 || !journal.Find(key(next - 1))) next = 1;
  // Each candidate tried is a key the journal holds, so this ends within Count() + 1.
  for (;; ++next) {
    std::string candidate = key(next);
    if (!journal.Find(candidate)) {
      ++next;
      return candidate;
    }
  }
}

std::unique_ptr<TEventData> NewJournalEvent(uint32_t code, TDateTime t, std::string key,
                                            TEvent& description) {
  auto event = std::make_unique<TEventData>(0.0f);
  event->Code = code;
  event->DateTime = t + kOneMillisecond;
  event->Key = std::move(key);
  event->Color = description.Color;
  event->Stop = description.Stop;
  if (description.Stop == 1) ++description.Counter;
  return event;
}

void AddEventValue(TEventData& event, const TExEvent& ex, std::span<const uint8_t> bytes,
                   const TVocFormat* formats) {
  std::array<uint8_t, 4> raw{};
  std::copy_n(bytes.begin(), std::min<size_t>(bytes.size(), raw.size()), raw.begin());
  std::string text =
      formats ? formats->FormattingEvent(ex.VFormat, ex.Type, RawWord(raw), event.Code) : "?";
  if (!event.ExData) event.ExData = std::make_unique<TOwnedList<TExData>>();
  event.ExData->Add(ex.Key(), std::make_unique<TExData>(ex.Name, std::move(text), raw, ex.Ed));
}

bool ChangeWithoutValues(const TDictIndex& variable) {
  return SameText(variable.VariableFormat, "FORMAT_S") || variable.IgnoreEvent3;
}

void AddChangeValue(TEventData& event, const TEvent& description, int which, int32_t index,
                    uint32_t value, const TDictIndex& variable, const TVocFormat* formats,
                    const std::string& prefix) {
  try {
    std::string name, key, text;
    if (const TExEvent* ex = description.ExEvent(which)) {
      name = ex->Name;
      key = ex->Key();
      text = formats ? formats->FormattingIndex(index, TRawValue(value)) : "?";
    } else {
      name = "???????";
      key = Format("%5.5u", static_cast<unsigned>(which));
      text = Format("0x%x", value);
    }
    if (!event.ExData) event.ExData = std::make_unique<TOwnedList<TExData>>();
    event.ExData->Add(std::move(key),
                      std::make_unique<TExData>(std::move(name), std::move(text), RawBytes(value),
                                                variable.VariableEd));
  } catch (const std::exception& e) {
    WriteLog(prefix +
             (which == 1 ? "Обработка Befor. Exception: " : "Обработка After. Exception: ") +
             e.what());
  }
}

}  // namespace kalmet
