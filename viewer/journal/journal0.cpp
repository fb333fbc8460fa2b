#include "journal/journal0.h"

#include <bit>

#include "dictionaries/dictionaries.h"
#include "journal/journal01_helpers.h"
#include "session/conversions.h"
#include "session/delphi_text.h"
#include "session/file_log.h"
#include "session/session_context.h"

namespace kalmet {
namespace {

const std::string kParsingEvent = "[TJournal0.ParsingEvent] ";
const std::string kFillEvent = "[TJournal0.FillEvent] ";
const std::string kParseEvent = "[TJournal0.ParseEvent] ";
const std::string kFormattingEx = "[TJournal0.FormattingEx] ";
const std::string kParsingStop = "[TJournal0.ParsingStop] ";
const std::string kDecodeErrorMsg = "[TJournal0.DecodeErrorMsg] Exception: ";
const std::string kParsingWork = "[TJournal0.ParsingWork] ";

constexpr uint32_t kPureRed = 0x000000FF;
constexpr uint32_t kAlarmFlag = 0x40000000;
constexpr uint32_t kManualStop = 0x8000000;

constexpr TVocJrnStop kVocJrnStop[] = {
    {0x0, "Неизвестный останов"},
    {0x1, "Недогруз"},
    {0x2, "Перегруз"},
    {0x4, "МТЗ"},
    {0x8, "Дисбаланс тока"},
    {0x10, "Понижено напряжение"},
    {0x20, "Превышено напряжение"},
    {0x40, "Дисбаланс напряжения"},
    {0x80, "Авария по частоте сети"},
    {0x100, "Сопротивление изоляции"},
    {0x200, "Понижен косинус"},
    {0x400, "Турбинное вращение"},
    {0x800, "Чередование фаз"},
    {0x1000, "Понижено давление устья"},
    {0x2000, "Превышено давление устья"},
    {0x4000, "Понижено давление коллектора"},
    {0x8000, "Превышено давление коллектора"},
    {0x10000, "Понижено давление коллектора"},
    {0x20000, "Превышено давление коллектора"},
    {0x40000, "Превышена температура двигателя"},
    {0x80000, "Понижено давление на входе насоса"},
    {0x100000, "Превышена вибрация"},
    {0x200000, "Авария конвертора"},
    {0x400000, "Авария плавного пуска"},
    {0x800000, "Отказ измерителя"},
    {0x1000000, "Пропадание питания"},
    {0x2000000, "Открыта дверь станции"},
    {0x4000000, "Ошибка состояния ПЭД"},
    {0x8000000, "Останов ручной"},
    {0x10000000, "Останов дистанционный"},
    {0x20000000, "Останов по программе"},
    {0x40000000, "Останов по аварии"},
    {0x801E, "Двигатель отключен по аналоговому входу 1"},
    {0x801F, "Двигатель отключен по аналоговому входу 2"},
    {0x8020, "Несоответствие типа КИ"},
    {0x8021, "Авария привода"},
    {0x8022, "ИНВЕРТОР1: Потеря связи"},
    {0x8023, "ИНВЕРТОР2: Потеря связи"},
    {0x8024, "ВЫПРЯМИТЕЛЬ: Потеря связи"},
    {0x8025, "ИНВЕРТОР1: Пониженное напряжение цепей управления"},
    {0x8026, "ИНВЕРТОР1: Недопустимая температура IGBT"},
    {0x8027, "ИНВЕРТОР1: Недопустимая температура воздуха"},
    {0x8028, "ИНВЕРТОР1: Недопустимая температура C"},
    {0x8029, "ИНВЕРТОР1: Перегрузка по току ключей IGBT"},
    {0x8030, "ИНВЕРТОР1: Недопостимое напряжение DC"},
    {0x8031, "ИНВЕРТОР1: Недопустимый уровень пульсаций DC"},
    {0x8032, "ИНВЕРТОР2: Пониженное напряжение цепей управления"},
    {0x8033, "ИНВЕРТОР2: Недопустимая температура IGBT"},
    {0x8034, "ИНВЕРТОР2: Недопустимая температура воздуха"},
    {0x8035, "ИНВЕРТОР2: Недопустимая температура C"},
    {0x8036, "ИНВЕРТОР2: Перегрузка по току ключей IGBT"},
    {0x8037, "ИНВЕРТОР2: Недопостимое напряжение DC"},
    {0x8038, "ИНВЕРТОР2: Недопустимый уровень пульсаций DC"},
    {0x8039, "ВЫПРЯМИТЕЛЬ: Пониженное напряжение цепей управления"},
    {0x8040, "ВЫПРЯМИТЕЛЬ: Недопустимая температура тиристоров"},
    {0x8041, "ВЫПРЯМИТЕЛЬ: Недопустимая температура воздуха"},
    {0x8042, "ВЫПРЯМИТЕЛЬ: Авария системы охлаждения"},
    {0x8043, "ВЫПРЯМИТЕЛЬ: Перегрузка по выходному току"},
    {0x8044, "ВЫПРЯМИТЕЛЬ: Перегрузка по току тиристоров"},
    {0x8045, "ИЗМЕРИТЕЛЬ: Аппаратная ошибка - требуется ремонт измерителя"},
    {0x8046, "ИЗМЕРИТЕЛЬ: Перегрузка станции по току"},
    {0x8047, "ИЗМЕРИТЕЛЬ: Недопустимая температура"},
};
static_assert(std::size(kVocJrnStop) == 62);

// The walk from the oldest slot (head) to the newest (head - 1) of a 255-slot ring.
template <typename Step>
void WalkRing(const THost& host, uint8_t head, Step step) {
  for (int j = head; j < TJournal0::kSlots; ++j) {
    host.Pump();
    step(j);
  }
  for (int j = 0; j < head && j < TJournal0::kSlots; ++j) {
    host.Pump();
    step(j);
  }
}

}  // namespace

std::span<const TVocJrnStop> TJournal0::VocJrnStop() {
  return kVocJrnStop;
}

int TJournal0::FindVocJrnStop(uint32_t reason) {
  for (size_t i = 0; i < std::size(kVocJrnStop); ++i) {
    if (kVocJrnStop[i].Reason == reason) return static_cast<int>(i);
  }
  return 0;
}

bool TJournal0::ParsingEvent(SessionContext& ctx, std::span<const uint8_t> bytes) {
  bool result = true;
  try {
    ctx.Journal.Clear();
    keys_.Reset();
    if (!dicts_.VocEvent) return true;
    const uint8_t head = static_cast<uint8_t>(ReadLE(bytes, 0, 1));
    FillEvent(bytes);
    WalkRing(ctx.Host, head, [&](int j) { ParseEvent(ctx, events_[static_cast<size_t>(j)]); });
  } catch (const std::exception& e) {
    WriteLog(kParsingEvent + "Exception: " + e.what());
    result = false;
  }
  if (!result) ctx.Host.Report("Ошибка при разборе данных.", "Ошибка");
  return result;
}

void TJournal0::FillEvent(std::span<const uint8_t> bytes) {
  struct Field {
    size_t offset, size;
    const char* name;
  };
  static constexpr Field kFields[] = {
      {0, 1, "Code"}, {5, 2, "Index"}, {9, 4, "Befor"}, {13, 4, "After"}, {17, 6, "Clock"}};
  for (int j = 0; j < kSlots; ++j) {
    TParsedEvent& r = events_[static_cast<size_t>(j)];
    r = TParsedEvent{};
    r.Valid = true;
    const size_t base = 1 + kEventSize * static_cast<size_t>(j);
    for (const Field& f : kFields) {
      const size_t pos = base + f.offset;
      // A short variable cuts many fields: test the bounds rather than raise for each.
      if (pos > bytes.size() || bytes.size() - pos < f.size) {
        WriteLog(kFillEvent + "Convert " + f.name + " exception: " + RangeError().what());
        WriteLog("               Position=" + std::to_string(j));
        r.Valid = false;
        continue;
      }
      const auto field = bytes.subspan(pos, f.size);
      switch (f.offset) {
        case 0:
          r.Code = field[0];
          break;
        case 5:
          r.Index = static_cast<uint16_t>(ReadLE(field, 0, 2));
          break;
        case 9:
          r.Before = ReadLE(field, 0, 4);
          break;
        case 13:
          r.After = ReadLE(field, 0, 4);
          break;
        default:
          std::copy(field.begin(), field.end(), r.Clock.begin());
          break;
      }
    }
  }
}

bool TJournal0::ParseEvent(SessionContext& ctx, const TParsedEvent& record) {
  try {
    if (!record.Valid || record.Code == 0) return false;
    TEvent* description = dicts_.VocEvent->SeekEvent(static_cast<uint32_t>(record.Code));
    if (!description) {
      WriteLog(kParseEvent + "Событие с кодом " + std::to_string(record.Code) +
               " не описано в словаре событий.");
      return false;
    }
    const TDateTime t = DecDateTime(record.Clock, 5);
    if (t == 0) return false;

    auto event = NewJournalEvent(record.Code, t, keys_.Free(ctx.Journal, t), *description);
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

bool TJournal0::Formatting(TEventData& event, const TEvent& description,
                           const TParsedEvent& record) {
  event.Name = description.Name;
  if (description.ExCount() == 0) return true;
  return description.Except ? FormattingChangeIndex(event, description, record)
                            : FormattingEx(event, description, record);
}

bool TJournal0::FormattingEx(TEventData& event, const TEvent& description,
                             const TParsedEvent& record) {
  try {
    std::array<uint8_t, 8> data{};
    const auto before = RawBytes(record.Before), after = RawBytes(record.After);
    std::copy(before.begin(), before.end(), data.begin());
    std::copy(after.begin(), after.end(), data.begin() + 4);

    if (!event.ExData) event.ExData = std::make_unique<TOwnedList<TExData>>();
    size_t position = 0;
    for (const TExEvent& ex : description.ExEvents) {
      // The type decides the width here, not the extra value's own size.
      const size_t size = static_cast<size_t>(GetSize(ex.Type));
      if (position + size > data.size()) return false;
      // A 64-bit type fills Raw with its low four bytes.
      AddEventValue(event, ex, std::span<const uint8_t>(data).subspan(position, size),
                    dicts_.VocFormat.get());
      position += size;
    }
    event.ExData->Sort();
    return true;
  } catch (const std::exception& e) {
    WriteLog(kFormattingEx + "Exception: " + e.what());
    return false;
  }
}

bool TJournal0::FormattingChangeIndex(TEventData& event, const TEvent& description,
                                      const TParsedEvent& record) {
  const int32_t index = record.Index;
  const std::string prefix =
      "[TJournal0.FormattingChangeIndex] Index=" + std::to_string(index) + " ";
  const TDictIndex* variable = nullptr;
  try {
    if (!event.ExData) event.ExData = std::make_unique<TOwnedList<TExData>>();
    variable = dicts_.Dictionary ? dicts_.Dictionary->GetDict(index) : nullptr;
    if (!variable) {
      WriteLog(prefix + " Индекс:" + std::to_string(index) + " отсутствует в словаре.");
      return false;
    }
  } catch (const std::exception& e) {
    WriteLog(prefix + "Обработка индекса. Exception: " + e.what());
    return false;
  }
  event.Name += " [" + variable->VariableName + "]";
  if (ChangeWithoutValues(*variable)) return true;
  // This version keeps no entry for the index itself.
  const TVocFormat* formats = dicts_.VocFormat.get();
  AddChangeValue(event, description, 1, index, record.Before, *variable, formats, prefix);
  AddChangeValue(event, description, 2, index, record.After, *variable, formats, prefix);
  return true;
}

bool TJournal0::ParsingStop(SessionContext& ctx, std::span<const uint8_t> bytes) {
  bool result = true;
  try {
    if (!dicts_.VocEvent) return true;
    // The previous stops go first, so that a damaged journal leaves none behind.
    stops_.clear();
    const uint8_t head = static_cast<uint8_t>(ReadLE(bytes, 0, 1));
    WalkRing(ctx.Host, head, [&](int j) {
      const size_t base = 1 + kStopSize * static_cast<size_t>(j);
      // A record the variable does not hold in full counts as empty.
      if (base <= bytes.size() && bytes.size() - base >= kStopSize) {
        StopStep(bytes.subspan(base, kStopSize));
      }
    });
  } catch (const std::exception& e) {
    WriteLog(kParsingStop + "Exception: " + e.what());
    result = false;
  }
  if (!result) ctx.Host.Report("Ошибка при разборе данных.", "Ошибка");
  return result;
}

void TJournal0::StopStep(std::span<const uint8_t> record) {
  uint32_t reason = ReadLE(record, 0, 4);
  if (reason > kAlarmFlag) reason -= kAlarmFlag;
  if (reason == 0) return;
  TJrnStop stop;
  stop.Code = 0x8000 + std::countr_zero(reason);
  stop.Time = DecDateTime(record.subspan(32, 6), 5);
  if (reason != kManualStop) {
    stop.Name = kVocJrnStop[FindVocJrnStop(reason)].Name;
    stop.Value = std::bit_cast<float>(ReadLE(record, 4, 4));
  }
  stops_.push_back(std::move(stop));
}

void TJournal0::DecodeErrorMsg(SessionContext& ctx) {
  try {
    for (int i = 0; i < ctx.Journal.Count(); ++i) {
      TEventData* event = ctx.Journal.GetEvent(i);
      if (!event || event->Name.empty() || event->Color != kPureRed) continue;
      for (const TJrnStop& stop : stops_) {
        if (!SameMoment(stop.Time, event->DateTime)) continue;
        if (!stop.Name.empty()) {
          event->Name = Format("%s:[%s] %8.2f", event->Name.c_str(), stop.Name.c_str(),
                               static_cast<double>(stop.Value));
        }
        break;
      }
    }
  } catch (const std::exception& e) {
    WriteLog(kDecodeErrorMsg + e.what());
  }
}

bool TJournal0::ParsingWork(SessionContext& ctx, int /*which*/, std::span<const uint8_t> bytes) {
  try {
    ctx.Journal.ResetWork();
    ctx.Journal.WorkTime = ReadLE(bytes, 4, 4);
    ctx.Journal.IdleTime = ReadLE(bytes, 8, 4);
    ctx.Journal.StartCount = ReadLE(bytes, 12, 4);
    return true;
  } catch (const std::exception& e) {
    WriteLog(kParsingWork + "Exception: " + e.what());
    return false;
  }
}

}  // namespace kalmet
