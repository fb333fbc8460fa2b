#include "journal_encoder.h"

#include <algorithm>

#include "byte_writer.h"
#include "session/cp1251.h"

namespace kalmet::sessiongen {
namespace {

constexpr int kSlots0 = 255, kRecord0 = 23;
constexpr int kSlots1 = 1000, kRecord1 = 20;
constexpr int kStopRecord0 = 38;
constexpr uint16_t kMinVoltageSetup = 300;  // the minimum mains voltage setting
constexpr uint32_t kTripFlag = 0x40000000;  // the stop journal marks protection stops so

// Stop reason word and the value reported with it (version-0 stop journal).
struct TStopReason {
  uint32_t word = 0;
  float value = 0;
};

TStopReason StopReason0(const TStoryEvent& e) {
  switch (e.kind) {
    case TEventKind::kTripUnderload:
      return {kTripFlag | 0x1, e.current};
    case TEventKind::kTripOverload:
      return {kTripFlag | 0x2, e.current};
    case TEventKind::kTripImbalance:
      return {kTripFlag | 0x8, float(e.imbalance)};
    case TEventKind::kTripUndervoltage:
      return {kTripFlag | 0x10, float(e.voltage)};
    case TEventKind::kTripOverheat:
      return {kTripFlag | 0x40000, float(e.temperature)};
    case TEventKind::kStopOperator:
      return {0x8000000, 0};
    case TEventKind::kStopProgram:
      return {0x20000000, 0};
    case TEventKind::kPowerOff:
      return {0x1000000, float(e.voltage)};
    default:
      return {};
  }
}

// Keeps the newest `slots` records of a ring written from slot 0 on; returns the head.
template <class T>
int RingTail(const std::vector<T>& all, int slots, std::vector<T>* kept) {
  const size_t from = all.size() > size_t(slots) ? all.size() - slots : 0;
  kept->assign(all.begin() + from, all.end());
  return int(all.size() % slots);
}

}  // namespace

uint16_t SettingVariable(int protocol, int setting) {
  static const uint16_t kV0[kSettingCount] = {1001, 1002, 1003, 1027, 1013};
  static const uint16_t kV1[kSettingCount] = {10001, 10002, 10004, 10026, 10030};
  return protocol == 0 ? kV0[setting] : kV1[setting];
}

std::vector<TEventRecord> EventRecords01(const TStory& story, int protocol) {
  std::vector<TEventRecord> out;
  for (const TStoryEvent& e : story.Events()) {
    TEventRecord r;
    r.time = e.time;
    r.event = &e;
    TBytes d;
    switch (e.kind) {
      case TEventKind::kStartOperator:
        r.code = 1;
        d.U8(e.source);
        break;
      case TEventKind::kStartRestart:
        r.code = 2;
        d.U8(e.attempt);
        break;
      case TEventKind::kStartProgram:
        r.code = 3;
        break;
      case TEventKind::kStartAfterPower:
        r.code = 2;
        d.U8(1);
        break;
      case TEventKind::kStopOperator:
        r.code = 4;
        d.U8(e.source);
        break;
      case TEventKind::kStopProgram:
        r.code = 5;
        break;
      case TEventKind::kTripUnderload:
        r.code = 10;
        d.F32(e.current).U16(story.SettingAt(kUnderloadSetpoint, e.time));
        break;
      case TEventKind::kTripOverload:
        r.code = 11;
        d.F32(e.current).U16(story.SettingAt(kOverloadSetpoint, e.time));
        break;
      case TEventKind::kTripImbalance:
        r.code = 13;
        d.U8(e.imbalance);
        break;
      case TEventKind::kTripUndervoltage:
        r.code = 14;
        d.U16(e.voltage).U16(kMinVoltageSetup);
        break;
      case TEventKind::kTripOverheat:
        r.code = 18;
        d.U16(uint16_t(e.temperature));
        break;
      case TEventKind::kPowerOff:
        r.code = 30;
        break;
      case TEventKind::kPowerOn:
        r.code = 31;
        break;
      case TEventKind::kDoorOpen:
        r.code = 40;
        break;
      case TEventKind::kDoorClose:
        r.code = 41;
        break;
      case TEventKind::kRestartWait:
        r.code = 42;
        d.U16(e.wait);
        break;
      case TEventKind::kTelemetryLost:
        r.code = 49;
        break;
      case TEventKind::kTelemetryBack:
        r.code = 48;
        break;
      case TEventKind::kModeChange:
        r.code = 43;
        d.U8(e.mode);
        break;
      case TEventKind::kParameterChange:
        r.code = e.access == 1 ? 96 : 98;
        r.index = SettingVariable(protocol, e.setting);
        r.before = e.oldValue;
        r.after = e.newValue;
        d.U32(e.oldValue).U32(e.newValue);
        break;
      case TEventKind::kClockSet:
        r.code = 44;
        d.U32(uint32_t(e.correction));
        break;
      case TEventKind::kSetupEntry:
        r.code = 46;
        break;
      case TEventKind::kReadout:
        r.code = 47;
        break;
      case TEventKind::kKeyStart:
      case TEventKind::kKeyStop:
        continue;
    }
    r.data = d.take();
    out.push_back(std::move(r));
  }
  return out;
}

std::vector<TTraceRecord> TraceRecords01(const TStory& story, int protocol) {
  std::vector<TTraceRecord> out;
  for (const TStoryEvent& e : story.Events()) {
    TTraceRecord r{e.time, 0, 0, 0};
    if (e.kind == TEventKind::kKeyStart || e.kind == TEventKind::kKeyStop) {
      r.code = 32;
      r.index = e.kind == TEventKind::kKeyStart ? 1 : 2;
    } else if (e.kind == TEventKind::kStartOperator) {
      r.code = 114;
      r.priority = 2;
    } else if (e.kind == TEventKind::kStopOperator) {
      r.code = 115;
      r.priority = 2;
    } else if (IsTrip(e.kind)) {
      r.code = 117;
      r.priority = 1;
    } else if (e.kind == TEventKind::kParameterChange) {
      r.code = e.access == 1 ? 96 : 98;
      r.index = SettingVariable(protocol, e.setting);
    } else {
      continue;
    }
    out.push_back(r);
  }
  return out;
}

std::vector<TEventRecord> EventRecords2(const TStory& story) {
  std::vector<TEventRecord> out;
  for (const TStoryEvent& e : story.Events()) {
    TEventRecord r;
    r.time = e.time;
    r.event = &e;
    TBytes d;
    switch (e.kind) {
      case TEventKind::kStartOperator:
        r.code = 0x1001;
        d.U8(e.source);
        break;
      case TEventKind::kStartRestart:
        r.code = 0x1002;
        d.U8(e.attempt);
        break;
      case TEventKind::kStartProgram:
        r.code = 0x1003;
        break;
      case TEventKind::kStartAfterPower:
        r.code = 0x1004;
        break;
      case TEventKind::kStopOperator:
        r.code = 0x2001;
        d.U8(e.source);
        break;
      case TEventKind::kStopProgram:
        r.code = 0x2002;
        break;
      case TEventKind::kTripUnderload:
        r.code = 0x2010;
        d.F32(e.current).U8(e.load);
        break;
      case TEventKind::kTripOverload:
        r.code = 0x2011;
        d.F32(e.current).U8(e.load);
        break;
      case TEventKind::kTripImbalance:
        r.code = 0x2013;
        d.U8(e.imbalance);
        break;
      case TEventKind::kTripUndervoltage:
        r.code = 0x2014;
        d.U16(e.voltage);
        break;
      case TEventKind::kTripOverheat:
        r.code = 0x2018;
        d.U16(uint16_t(e.temperature));
        break;
      case TEventKind::kPowerOff:
        r.code = 0xA001;
        d.U16(e.voltage);
        break;
      case TEventKind::kPowerOn:
        r.code = 0xA002;
        break;
      case TEventKind::kDoorOpen:
        r.code = 0x4001;
        break;
      case TEventKind::kDoorClose:
        r.code = 0x4002;
        break;
      case TEventKind::kRestartWait:
        r.code = 0x4003;
        d.U16(e.wait);
        break;
      case TEventKind::kTelemetryLost:
        r.code = 0x4004;
        break;
      case TEventKind::kTelemetryBack:
        r.code = 0x4006;
        break;
      case TEventKind::kModeChange:
        r.code = 0x4005;
        d.U8(e.mode);
        break;
      case TEventKind::kParameterChange:
        r.code = e.access == 1 ? 0x3001 : 0x3003;
        d.U16(SettingVariable(2, e.setting)).U8(e.access).U32(e.oldValue).U32(e.newValue);
        break;
      case TEventKind::kClockSet:
        r.code = 0xA004;
        d.U32(uint32_t(e.correction));
        break;
      case TEventKind::kSetupEntry:
        if (e.access == 1) {
          r.code = 0x4008;
          d.U8(e.access);
        } else {
          // The service engineer logs in by name: a text value (length, then characters).
          const std::string name = Utf8ToCp1251("Наладчик");
          r.code = 0xA005;
          d.U16(uint32_t(name.size())).Raw(name);
        }
        break;
      case TEventKind::kReadout:
        r.code = 0x400A;
        break;
      case TEventKind::kKeyStart:
        r.code = 0x5001;
        break;
      case TEventKind::kKeyStop:
        r.code = 0x5002;
        break;
    }
    r.data = d.take();
    out.push_back(std::move(r));
  }
  return out;
}

int StopValue(int protocol, uint16_t code) {
  if (protocol == 2) {
    if (code >= 0x1001 && code <= 0x1004) return 2;
    if (code >= 0x2001 && code <= 0x2020) return 1;
    if (code == 0xA001) return 3;
    if (code == 0xA002) return 4;
    return 0;
  }
  if (code >= 1 && code <= 3) return 2;
  if ((code >= 4 && code <= 6) || (code >= 10 && code <= 25)) return 1;
  if (code == 30) return 3;
  if (code == 31) return 4;
  return 0;
}

bool InJournal2(uint16_t code) {
  return (code >= 0x1001 && code <= 0x1004) || (code >= 0x2001 && code <= 0x2003) ||
         (code >= 0x2010 && code <= 0x2020) || (code >= 0x3001 && code <= 0x3003) ||
         (code >= 0xA001 && code <= 0xA006) || (code >= 0x4001 && code <= 0x400A);
}

bool InTrace2(uint16_t code) {
  return (code >= 0x3001 && code <= 0x3003) || (code >= 0x4001 && code <= 0x400A) ||
         (code >= 0x5001 && code <= 0x5008);
}

std::string EventJournal0(const std::vector<TEventRecord>& records,
                          std::vector<TEventRecord>* kept) {
  const int head = RingTail(records, kSlots0, kept);
  std::string slots(size_t(kSlots0) * kRecord0, '\0');
  // Slot of the k-th kept record: the ring was written from slot 0 on.
  const size_t first = records.size() - kept->size();
  for (size_t k = 0; k < kept->size(); ++k) {
    const TEventRecord& r = (*kept)[k];
    TBytes b;
    b.U8(r.code).U32(0).U16(r.index).U16(0);
    std::string extended = r.data;
    extended.resize(8, '\0');
    b.Raw(extended).Clock(r.time, false);
    slots.replace(((first + k) % kSlots0) * kRecord0, kRecord0, b.str());
  }
  return TBytes().U8(head).Raw(slots).take();
}

std::string EventJournal1(const std::vector<TEventRecord>& records,
                          std::vector<TEventRecord>* kept) {
  const int head = RingTail(records, kSlots1, kept);
  std::string slots(size_t(kSlots1) * kRecord1, '\0');
  const size_t first = records.size() - kept->size();
  for (size_t k = 0; k < kept->size(); ++k) {
    const TEventRecord& r = (*kept)[k];
    TBytes b;
    b.U16(r.code).U16(r.index).U16(0);
    std::string extended = r.data;
    extended.resize(8, '\0');
    b.Raw(extended).Clock(r.time, true);
    slots.replace(((first + k) % kSlots1) * kRecord1, kRecord1, b.str());
  }
  return TBytes().U16(head).Raw(slots).take();
}

std::string StopReasonName0(TEventKind kind) {
  switch (kind) {
    case TEventKind::kTripUnderload:
      return "Недогруз";
    case TEventKind::kTripOverload:
      return "Перегруз";
    case TEventKind::kTripImbalance:
      return "Дисбаланс тока";
    case TEventKind::kTripUndervoltage:
      return "Понижено напряжение";
    case TEventKind::kTripOverheat:
      return "Превышена температура двигателя";
    default:
      return {};
  }
}

std::string StopJournal0(const std::vector<TEventRecord>& records) {
  std::vector<TEventRecord> stops;
  for (const TEventRecord& r : records) {
    if (r.event && StopReason0(*r.event).word != 0) stops.push_back(r);
  }
  std::vector<TEventRecord> kept;
  const int head = RingTail(stops, kSlots0, &kept);
  std::string slots(size_t(kSlots0) * kStopRecord0, '\0');
  const size_t first = stops.size() - kept.size();
  for (size_t k = 0; k < kept.size(); ++k) {
    const TStopReason reason = StopReason0(*kept[k].event);
    TBytes b;
    b.U32(reason.word).F32(reason.value).Zeros(24).Clock(kept[k].time, false);
    slots.replace(((first + k) % kSlots0) * kStopRecord0, kStopRecord0, b.str());
  }
  return TBytes().U8(head).Raw(slots).take();
}

std::string TraceJournal(const std::vector<TTraceRecord>& records, int width) {
  TBytes b;
  b.Zeros(size_t(width));
  for (const TTraceRecord& r : records) {
    if (width == 1) {
      b.U8(r.code);
    } else {
      b.U16(r.code);
    }
    b.U16(r.index).U8(r.priority).Clock(r.time, false);
  }
  return b.take();
}

}  // namespace kalmet::sessiongen
