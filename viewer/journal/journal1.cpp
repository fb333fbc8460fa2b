#include "journal/journal1.h"

#include <algorithm>

#include "dictionaries/dictionaries.h"
#include "journal/journal01_helpers.h"
#include "session/conversions.h"
#include "session/delphi_text.h"
#include "session/file_log.h"
#include "session/session_context.h"

namespace kalmet {
namespace {

const std::string kParsingEvent = "[TJournal1.ParsingEvent] ";
const std::string kParseEvent = "[TJournal1.ParseEvent] ";
const std::string kFormattingEx = "[TJournal1.FormattingEx] ";
const std::string kParsingWork = "[TJournal1.ParsingWork] ";

constexpr size_t kDataOffset = 6;
constexpr size_t kDataSize = 8;
constexpr size_t kClockOffset = 14;

}  // namespace

bool TJournal1::ParsingEvent(SessionContext& ctx, std::span<const uint8_t> bytes) {
  bool result = true;
  try {
    // The counters come from their own variables, which the walk may have read already.
    const uint32_t work = ctx.Journal.WorkTime, idle = ctx.Journal.IdleTime,
                   starts = ctx.Journal.StartCount;
    ctx.Journal.Clear();
    keys_.Reset();
    ctx.Journal.WorkTime = work;
    ctx.Journal.IdleTime = idle;
    ctx.Journal.StartCount = starts;
    if (!dicts_.VocEvent) return true;

    // A head the variable does not hold in full reads its missing bytes as 0.
    uint32_t head = 0;
    for (size_t i = 0; i < 2 && i < bytes.size(); ++i)
      head |= static_cast<uint32_t>(bytes[i]) << (8 * i);
    for (size_t i = 0; i < slots_.size(); ++i) {
      const size_t base = 2 + kSlotSize * i;
      if (base <= bytes.size() && bytes.size() - base >= kSlotSize) {
        std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(base), kSlotSize,
                    slots_[i].begin());
      } else {
        slots_[i].fill(0);  // not covered in full: an empty slot
      }
    }

    // Oldest first: head .. 999, then 0 .. head - 1; a head beyond the ring gives 0 .. 999.
    const uint32_t first = head < kSlots ? head : 0;
    for (uint32_t n = 0; n < kSlots; ++n) {
      ctx.Host.Pump();
      ParseEvent(ctx, slots_[(first + n) % kSlots]);
    }
  } catch (const std::exception& e) {
    WriteLog(kParsingEvent + "Exception: " + e.what());
    result = false;
  }
  if (!result) ctx.Host.Report("Ошибка при разборе данных.", "Ошибка");
  return result;
}

bool TJournal1::ParseEvent(SessionContext& ctx, TSlot& record) {
  try {
    const uint32_t code = ReadLE(record, 0, 2);
    if (code == 0) return false;
    TEvent* description = dicts_.VocEvent ? dicts_.VocEvent->SeekEvent(code) : nullptr;
    if (!description) {
      WriteLog(kParseEvent + Format("Событие с кодом 0x%X не описано в словаре событий", code));
      return false;
    }
    const std::span<uint8_t> clock(record.data() + kClockOffset, 6);
    if (!ConvertClockHexToDec(clock)) return false;
    const TDateTime t = DecDateTime(std::span<const uint8_t>(clock), 5);
    if (t == 0) return false;

    auto event = NewJournalEvent(code, t, keys_.Free(ctx.Journal, t), *description);
    if (Formatting(*event, *description, record)) {
      std::string key = event->Key;
      ctx.Journal.Add(std::move(key), std::move(event));
    }
    return true;
  } catch (const std::exception& e) {
    WriteLog(kParseEvent + "Exception: " + e.what());
    return false;
  }
}

bool TJournal1::Formatting(TEventData& event, const TEvent& description, const TSlot& record) {
  event.Name = description.Name;
  if (description.ExCount() == 0) return true;
  return description.Except ? FormattingChangeIndex(event, description, record)
                            : FormattingEx(event, description, record);
}

bool TJournal1::FormattingEx(TEventData& event, const TEvent& description, const TSlot& record) {
  try {
    if (!event.ExData) event.ExData = std::make_unique<TOwnedList<TExData>>();
    const std::span<const uint8_t> data(record.data() + kDataOffset, kDataSize);
    size_t position = 0;
    for (const TExEvent& ex : description.ExEvents) {
      // A negative size from a damaged description cannot be laid out either.
      if (ex.Size < 0 || position + static_cast<size_t>(ex.Size) > kDataSize) return false;
      const size_t size = static_cast<size_t>(ex.Size);
      if (ex.Name.empty()) {
        position += size;
        continue;
      }
      // Raw holds four bytes: a wider value keeps its low four.
      AddEventValue(event, ex, data.subspan(position, size), dicts_.VocFormat.get());
      position += size;
    }
    event.ExData->Sort();
    return true;
  } catch (const std::exception& e) {
    WriteLog(kFormattingEx + "Exception: " + e.what());
    return false;
  }
}

bool TJournal1::FormattingChangeIndex(TEventData& event, const TEvent& description,
                                      const TSlot& record) {
  const int32_t index = static_cast<int32_t>(ReadLE(record, 2, 2));
  const std::string prefix =
      "[TJournal1.FormattingChangeIndex] Index=" + std::to_string(index) + " ";
  const TDictIndex* variable = nullptr;
  try {
    variable = dicts_.Dictionary ? dicts_.Dictionary->GetDict(index) : nullptr;
    if (!variable) {
      WriteLog(prefix + " Индекс: " + std::to_string(index) + " отсутствует в словаре.");
      return false;
    }
  } catch (const std::exception& e) {
    WriteLog(prefix + "Обработка индекса. Exception: " + e.what());
    return false;
  }
  event.Name += " [" + variable->VariableName + "]";
  if (ChangeWithoutValues(*variable)) return true;

  if (!event.ExData) event.ExData = std::make_unique<TOwnedList<TExData>>();
  try {
    event.ExData->Add(
        description.ExEvents.front().Key(),
        std::make_unique<TExData>("", "", RawBytes(static_cast<uint32_t>(index)), ""));
  } catch (const std::exception& e) {
    WriteLog(prefix + "Обработка Index. Exception: " + e.what());
  }
  const TVocFormat* formats = dicts_.VocFormat.get();
  AddChangeValue(event, description, 1, index, ReadLE(record, kDataOffset, 4), *variable, formats,
                 prefix);
  AddChangeValue(event, description, 2, index, ReadLE(record, kDataOffset + 4, 4), *variable,
                 formats, prefix);
  return true;
}

bool TJournal1::ParsingWork(SessionContext& ctx, int which, std::span<const uint8_t> bytes) {
  try {
    if (which < 0 || which > 2) return true;
    const uint32_t value = ReadLE(bytes, 0, 4);
    switch (which) {
      case 0:
        ctx.Journal.WorkTime = value;
        break;
      case 1:
        ctx.Journal.IdleTime = value;
        break;
      default:
        ctx.Journal.StartCount = value;
        break;
    }
    return true;
  } catch (const std::exception& e) {
    WriteLog(kParsingWork + "Exception: " + e.what());
    return false;
  }
}

}  // namespace kalmet
