#include "session_encoder.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

#include "byte_writer.h"
#include "journal_encoder.h"
#include "marnel/codec/journal_image.h"
#include "marnel/codec/journal_writer.h"
#include "session/cp1251.h"
#include "session/delphi_text.h"
#include "trelbo/image_builder.h"

namespace kalmet::sessiongen {
namespace {

constexpr double kSecond = 1.0 / 86400.0;
constexpr double kMinute = 60 * kSecond;
constexpr double kHour = 60 * kMinute;
constexpr int kHourDays = 5;          // days of hourly graphs
constexpr int kStartInterval = 4;     // s recorded per start (versions 1 and 2)
constexpr size_t kMaxTrace = 4000;    // trace records kept (the variable stays below 64 KB)
constexpr int kMaxImageBlocks = 255;  // the journal library takes the block count as a byte
constexpr size_t kAlarmImage = 16384;
constexpr uint16_t kFirstImageBlock = 16400;

using Field = float TMeasurement::*;

// Archive graph variables (versions 1) and graph record codes (version 2) per channel.
struct TArchiveChannel {
  uint16_t variable;
  uint16_t code;
  Field field;
  bool telemetry;  // measured by the submersible telemetry
};
constexpr TArchiveChannel kArchive[] = {
    {10356, 0x9001, &TMeasurement::uab, false},
    {10357, 0x9002, &TMeasurement::ubc, false},
    {10358, 0x9003, &TMeasurement::uca, false},
    {10353, 0x9005, &TMeasurement::ia, false},
    {10354, 0x9006, &TMeasurement::ib, false},
    {10355, 0x9007, &TMeasurement::ic, false},
    {10359, 0x9008, &TMeasurement::cos, false},
    {10362, 0x900A, &TMeasurement::resistance, false},
    {16301, 0x9000, &TMeasurement::load, false},
    {16302, 0x9004, &TMeasurement::uout, false},
    {16300, 0x9009, &TMeasurement::frequency, false},
    {10361, 0x900B, &TMeasurement::temperature, true},
    {10360, 0x900C, &TMeasurement::pressure, true},
    {16303, 0x900D, &TMeasurement::vibrationXY, false},
    {16304, 0x900E, &TMeasurement::vibrationZ, false},
};

struct TFiveMinuteChannel {
  uint16_t variable;
  Field field;
  bool telemetry;
};
constexpr TFiveMinuteChannel kFiveMinute[] = {
    {9908, &TMeasurement::uab, false},     {9906, &TMeasurement::ia, false},
    {9910, &TMeasurement::cos, false},     {9976, &TMeasurement::temperature, true},
    {9978, &TMeasurement::pressure, true},
};

// Start curve variables, curve numbers 1-3 voltages AB, BC, CA, 4-6 currents A, B, C.
struct TStartVariable {
  uint16_t variable;
  int curve;
};
constexpr TStartVariable kStart0[] = {{9900, 4}, {9901, 5}, {9902, 6},
                                      {9903, 1}, {9904, 2}, {9905, 3}};
constexpr TStartVariable kStart1[] = {{10364, 4}, {10365, 5}, {10366, 6},
                                      {10367, 1}, {10368, 2}, {10369, 3}};
constexpr TStartVariable kStartArchive[] = {{10432, 4}, {10433, 5}, {10434, 6},
                                            {10435, 1}, {10436, 2}, {10437, 3}};

class TEncoder {
 public:
  TEncoder(const TStory& story, const TEncodeOptions& options, TSessionFacts* facts)
      : story_(story), o_(options), f_(*facts) {}

  TSessionContent Run();

 private:
  void Add(uint16_t id, std::string data, TDateTime time = 0, uint32_t index = 0) {
    c_.values.push_back({id, index, 1, time == 0 ? story_.ReadoutTime() : time, std::move(data)});
  }
  void Header();
  void CountEvent(uint16_t code);
  void Journal0();
  void Journal1();
  void Journal2();
  void Counters();
  void FiveMinuteGraphs();
  void HourGraphs();
  void ArchiveGraphs();
  void StartGraphs();
  void AlarmLog();
  void Setups();
  void Slices();
  std::vector<TDateTime> GraphMoments() const;

  const TStory& story_;
  TEncodeOptions o_;
  TSessionFacts& f_;
  TSessionContent c_;
};

TSessionContent TEncoder::Run() {
  c_.protocol = o_.protocol;
  Header();
  switch (o_.protocol) {
    case 0:
      Journal0();
      FiveMinuteGraphs();
      HourGraphs();
      break;
    case 1:
      Journal1();
      Counters();
      ArchiveGraphs();
      AlarmLog();
      break;
    default:
      Journal2();
      Counters();
      break;
  }
  StartGraphs();
  Setups();
  if (o_.kind == TFileKind::kZ5K) Slices();
  f_.variables = int(c_.values.size());
  return std::move(c_);
}

void TEncoder::Header() {
  static const char* const kSoftware[] = {"КСУ-1.2", "2.13.4", "3.5.2"};
  static const uint16_t kVersion[][3] = {{0, 0, 12}, {2, 13, 4}, {3, 5, 2}};
  const int p = o_.protocol;
  c_.cluster = story_.Cluster();
  c_.well = story_.Well();
  c_.field = story_.Field();
  c_.softwareText = kSoftware[p];
  c_.major = kVersion[p][0];
  c_.minor = kVersion[p][1];
  c_.build = kVersion[p][2];
  c_.sessionTime = story_.ReadoutTime();

  f_.protocol = p;
  f_.kind = o_.kind == TFileKind::kXml ? "xml" : o_.kind == TFileKind::kZ4K ? "Z4K" : "Z5K";
  f_.seed = story_.Options().seed;
  f_.software = o_.kind == TFileKind::kXml ? c_.softwareText
                                           : Format("%d.%d.%d", c_.major, c_.minor, c_.build);
  f_.major = c_.major;
  f_.minor = c_.minor;
  f_.cluster = c_.cluster;
  f_.well = c_.well;
  f_.field = c_.field;

  Add(63, TBytes().Text(Utf8ToCp1251(c_.cluster)).take());
  Add(62, TBytes().Text(Utf8ToCp1251(c_.well)).take());
  Add(9401, TBytes().Text(FormatDateTime("dd.mm.yyyy hh:nn:ss", c_.sessionTime)).take());
  Add(10315, TBytes().U16(c_.major).take());
  Add(10316, TBytes().U16(c_.minor).take());
  Add(10317, TBytes().U16(c_.build).take());
  Add(16370, TBytes().U16(uint32_t(p)).take());
  Add(10304, TBytes().Text(Utf8ToCp1251(c_.field)).take());
}

void TEncoder::CountEvent(uint16_t code) {
  ++f_.eventsByCode[code];
  switch (StopValue(o_.protocol, code)) {
    case 1:
      ++f_.stops;
      break;
    case 2:
      ++f_.starts;
      break;
    case 3:
      ++f_.powerOff;
      break;
    case 4:
      ++f_.powerOn;
      break;
    default:
      break;
  }
}

std::vector<TTraceRecord> NewestTrace(std::vector<TTraceRecord> trace) {
  if (trace.size() > kMaxTrace) trace.erase(trace.begin(), trace.end() - kMaxTrace);
  return trace;
}

void TEncoder::Journal0() {
  const std::vector<TEventRecord> records = EventRecords01(story_, 0);
  std::vector<TEventRecord> kept;
  Add(1014, EventJournal0(records, &kept));
  Add(1015, StopJournal0(records));
  for (const TEventRecord& r : kept) {
    CountEvent(r.code);
    if (r.event && IsTrip(r.event->kind)) ++f_.stopReasons[StopReasonName0(r.event->kind)];
  }
  Add(1016, TBytes()
                .U32(0)
                .U32(story_.WorkSeconds())
                .U32(story_.IdleSeconds())
                .U32(story_.StartCount())
                .U32(0)
                .take());
  f_.workTime = story_.WorkSeconds();
  f_.idleTime = story_.IdleSeconds();
  f_.startCount = story_.StartCount();
  const std::vector<TTraceRecord> trace = NewestTrace(TraceRecords01(story_, 0));
  Add(1024, TraceJournal(trace, 1));
  for (const TTraceRecord& r : trace) ++f_.traceByCode[r.code];
}

void TEncoder::Journal1() {
  const std::vector<TEventRecord> records = EventRecords01(story_, 1);
  std::vector<TEventRecord> kept;
  Add(10370, EventJournal1(records, &kept));
  for (const TEventRecord& r : kept) CountEvent(r.code);
  const std::vector<TTraceRecord> trace = NewestTrace(TraceRecords01(story_, 1));
  Add(10371, TraceJournal(trace, 2));
  for (const TTraceRecord& r : trace) ++f_.traceByCode[r.code];
}

void TEncoder::Counters() {
  Add(9995, TBytes().U32(story_.WorkSeconds()).take());
  Add(9996, TBytes().U32(story_.IdleSeconds()).take());
  Add(9991, TBytes().U32(story_.StartCount()).take());
  f_.workTime = story_.WorkSeconds();
  f_.idleTime = story_.IdleSeconds();
  f_.startCount = story_.StartCount();
}

// Archive moments: every 10 minutes up to the read-out, none while the station had no
// power (the controller records nothing then).
std::vector<TDateTime> TEncoder::GraphMoments() const {
  std::vector<TDateTime> out;
  const int64_t last = int64_t(std::floor(story_.ReadoutTime() * 144.0 + 1e-9));
  for (int k = story_.Options().graphPoints - 1; k >= 0; --k) {
    const TDateTime t = double(last - k) / 144.0;
    if (story_.Measure(t).state != TPumpState::kNoPower) out.push_back(t);
  }
  return out;
}

void TEncoder::Journal2() {
  struct TImageRecord {
    TDateTime time;
    int order;  // events before graph records of the same second
    uint16_t code;
    std::string data;
    bool shareLabel;  // graph records of one moment share their record number
  };
  std::vector<TImageRecord> records;
  for (const TEventRecord& r : EventRecords2(story_)) {
    records.push_back({r.time, 0, r.code, r.data, false});
  }
  for (const TDateTime t : GraphMoments()) {
    const TMeasurement m = story_.Measure(t);
    for (const TArchiveChannel& ch : kArchive) {
      const bool valid = !ch.telemetry || m.telemetry;
      records.push_back(
          {t, 1, ch.code, TBytes().F32(m.*ch.field).U8(valid ? 1 : 0).take(), ch.code != 0x9001});
    }
    ++f_.graphSamples;
  }
  std::stable_sort(records.begin(), records.end(),
                   [](const TImageRecord& a, const TImageRecord& b) {
                     return a.time < b.time || (a.time == b.time && a.order < b.order);
                   });

  size_t cells = 0;
  for (const TImageRecord& r : records) cells += trelbo::recordCellCount(uint32_t(r.data.size()));
  // Room to spare, as a controller's ring that has not filled up yet.
  const size_t spare = std::min<size_t>(cells / 8, 4096) + 16;
  const size_t imageSize = trelbo::kHeaderSize + trelbo::kCellSize * (cells + spare);
  size_t blockSize = 4096;
  while (imageSize > blockSize * kMaxImageBlocks && blockSize < trelbo::kMaxRecordLength)
    blockSize = std::min<size_t>(blockSize * 2, trelbo::kMaxRecordLength);
  if (imageSize > blockSize * kMaxImageBlocks)
    throw std::runtime_error("the journal image needs more than 255 blocks of 65535 bytes");

  trelbo::ImageBuilder image(imageSize);
  uint32_t label = o_.labelStart >= 0 ? uint32_t(o_.labelStart)
                                      : uint32_t(1000 + story_.Options().seed * 7919 % 100000);
  bool first = true;
  for (const TImageRecord& r : records) {
    if (!first && !r.shareLabel) ++label;
    first = false;
    const std::span<const uint8_t> data(reinterpret_cast<const uint8_t*>(r.data.data()),
                                        r.data.size());
    image.append({label, StreamTime(r.time)}, r.code, data);
    if (r.code >= 0x9000 && r.code <= 0x9034) continue;
    if (InJournal2(r.code)) CountEvent(r.code);
    if (InTrace2(r.code)) ++f_.traceByCode[r.code];
  }

  const auto blocks = image.blocks(blockSize);
  f_.imageBlocks = int(blocks.size());
  f_.imageRecords = int(records.size());
  for (size_t k = 0; k < blocks.size(); ++k)
    Add(16380, TBytes().U32(uint32_t(kFirstImageBlock + k)).take(), 0, uint32_t(k));
  for (size_t k = 0; k < blocks.size(); ++k)
    Add(uint16_t(kFirstImageBlock + k), std::string(blocks[k].begin(), blocks[k].end()));
}

// 288 records of the read-out day; the slots after the read-out still hold the day
// before, as in the controller's ring.
void TEncoder::FiveMinuteGraphs() {
  const TDateTime readout = story_.ReadoutTime();
  const TDateTime day = std::floor(readout);
  const int64_t secondsOfDay = std::llround((readout - day) * 86400.0);
  for (const TFiveMinuteChannel& ch : kFiveMinute) {
    TBytes b;
    for (int i = 0; i < 288; ++i) {
      const bool today = int64_t(i) * 300 <= secondsOfDay;
      const TDateTime end = day + (i + 1) * 5 * kMinute - (today ? 0 : 1);
      float lo = 0, hi = 0, sum = 0;
      int n = 0;
      for (int k = 4; k >= 0; --k) {
        const TMeasurement m = story_.Measure(end - k * kMinute);
        if (m.state == TPumpState::kNoPower || (ch.telemetry && !m.telemetry)) continue;
        const float v = m.*ch.field;
        lo = n ? std::min(lo, v) : v;
        hi = n ? std::max(hi, v) : v;
        sum += v;
        ++n;
      }
      b.U8(n ? 1 : 0).F32(lo).F32(hi).F32(n ? sum / float(n) : 0.0f);
      if (ch.variable == 9908 && today && n) ++f_.graphSamples;
    }
    Add(ch.variable, b.take());
  }
}

// One entry per day: 24 hourly values, the entry's time is its read-out.
void TEncoder::HourGraphs() {
  const TDateTime readout = story_.ReadoutTime();
  const TDateTime today = std::floor(readout);
  const int storedToday = std::min(24, int(std::floor((readout - today) * 24.0 + 1e-9)) + 1);
  for (uint16_t variable : {uint16_t(9920), uint16_t(9922)}) {
    for (int k = kHourDays - 1; k >= 0; --k) {
      const TDateTime day = today - k;
      TBytes b;
      for (int h = 1; h <= 24; ++h) {
        const bool stored = k > 0 || h <= storedToday;
        const TMeasurement m = story_.Measure(day + h * kHour - (stored ? 0 : 1));
        b.U8(1).F32(variable == 9920 ? m.temperature : m.pressure).U8(0);
      }
      Add(variable, b.take(), k > 0 ? day + 23 * kHour + 59 * kMinute : readout,
          uint32_t(kHourDays - 1 - k));
    }
  }
  f_.hourSamples = 24 * (kHourDays - 1) + storedToday;
}

void TEncoder::ArchiveGraphs() {
  const std::vector<TDateTime> moments = GraphMoments();
  f_.graphSamples = int(moments.size());
  if (moments.empty()) return;
  const size_t chunk = size_t(std::max(1, o_.archiveChunk));
  std::vector<TMeasurement> measured;
  measured.reserve(moments.size());
  for (TDateTime t : moments) measured.push_back(story_.Measure(t));
  for (const TArchiveChannel& ch : kArchive) {
    for (size_t from = 0, part = 0; from < moments.size(); from += chunk, ++part) {
      const size_t to = std::min(moments.size(), from + chunk);
      TBytes b;
      for (size_t i = from; i < to; ++i) {
        const TMeasurement& m = measured[i];
        const DateTimeParts p = DecodeDateTime(moments[i]);
        b.F32(ch.telemetry && !m.telemetry ? NotMeasured() : m.*ch.field);
        b.U8(p.hour).U8(p.minute).U8(p.second).U8(p.day).U8(p.month).U8(p.year - 2000);
      }
      Add(ch.variable, b.take(), moments[to - 1], uint32_t(part));
    }
  }
}

void TEncoder::StartGraphs() {
  const std::vector<TStartCurve>& starts = story_.Starts();
  if (starts.empty()) return;
  const TStartCurve& latest = starts.front();
  if (o_.protocol == 0) {
    // The raw waveform, 10 samples per mains period of 20 ms, 2 s long.
    for (const TStartVariable& v : kStart0) {
      TBytes b;
      for (int k = 0; k < 1000; ++k) {
        const double rms = story_.StartRms(latest, v.curve, (k / 10) * 0.02);
        const double angle = 2 * std::numbers::pi * ((k % 10) / 10.0 + (v.curve - 1) % 3 / 3.0);
        b.F32(float(rms * std::numbers::sqrt2 * std::sin(angle)));
      }
      Add(v.variable, b.take(), latest.time);
    }
    f_.startGraphs = 1;
    return;
  }
  const int points = std::min(500, kStartInterval * 50);
  const auto curve = [&](const TStartCurve& s, int number) {
    TBytes b;
    for (int k = 0; k < points; ++k) b.F32(story_.StartRms(s, number, k * 0.02));
    return b.take();
  };
  Add(10363, TBytes().U8(kStartInterval).take(), latest.time);
  for (const TStartVariable& v : kStart1) {
    std::string data = curve(latest, v.curve);
    data.resize(2000, '\0');
    Add(v.variable, std::move(data), latest.time);
  }
  for (const TStartVariable& v : kStartArchive) {
    for (size_t r = 0; r < starts.size(); ++r) {
      Add(v.variable, TBytes().U8(kStartInterval).Raw(curve(starts[r], v.curve)).take(),
          starts[r].time, uint32_t(r));
    }
  }
  f_.startGraphs = int(starts.size());
}

void TEncoder::AlarmLog() {
  std::vector<marnel::Alarm> alarms;
  for (const TAlarmRecord& a : story_.Alarms()) {
    const TMeasurement m = story_.Measure(a.time - kSecond);
    marnel::Alarm alarm;
    alarm.name = TripName(a.kind);
    alarm.time = FormatDateTime("dd.mm.yyyy hh:nn:ss", a.time);
    alarm.context.push_back(marnel::AlarmParameter{"Загрузка ПЭД", Format("%.0f %%", m.load)});
    alarm.context.push_back(marnel::AlarmGroup{"Напряжения",
                                               {{"Uab", Format("%.0f В", m.uab)},
                                                {"Ubc", Format("%.0f В", m.ubc)},
                                                {"Uca", Format("%.0f В", m.uca)}}});
    alarm.context.push_back(marnel::AlarmGroup{"Токи",
                                               {{"Ia", Format("%.1f А", m.ia)},
                                                {"Ib", Format("%.1f А", m.ib)},
                                                {"Ic", Format("%.1f А", m.ic)}}});
    alarm.context.push_back(marnel::AlarmParameter{"Cos", Format("%.2f", m.cos)});
    alarm.context.push_back(
        marnel::AlarmParameter{"Температура двигателя", Format("%.0f °С", m.temperature)});
    alarms.push_back(std::move(alarm));
  }
  // Keep the newest alarms that the ring holds without overwriting any of them.
  const int32_t ring = int32_t(kAlarmImage) - 2 * marnel::kHeaderLength;
  int32_t used = 0;
  size_t from = alarms.size();
  while (from > 0) {
    const int32_t need =
        int32_t(Utf8ToCp1251(marnel::AlarmData(alarms[from - 1])).size()) + marnel::kFrameLength;
    if (used + need >= ring) break;
    used += need;
    --from;
  }
  marnel::JournalWriter writer(int32_t(kAlarmImage), uint32_t(1 + story_.Options().seed % 100000));
  for (size_t i = from; i < alarms.size(); ++i) {
    if (writer.Append(alarms[i]) == 0) throw std::runtime_error("alarm record does not fit");
    ++f_.alarms;
    f_.newestAlarm = alarms[i].name + "=" + alarms[i].time;
  }
  Add(15620, std::string(writer.image().begin(), writer.image().end()));
}

// Setup values: (id, sub-id, bytes) in the variable's type; the facts name a few rows.
void TEncoder::Setups() {
  const int p = o_.protocol;
  const auto add = [&](uint16_t id, std::string data, uint32_t sub = 0) {
    Add(id, std::move(data), 0, sub);
  };
  const auto u8 = [](uint32_t v) { return TBytes().U8(v).take(); };
  const auto u16 = [](uint32_t v) { return TBytes().U16(v).take(); };
  const auto u32 = [](uint32_t v) { return TBytes().U32(v).take(); };
  const auto f32 = [](float v) { return TBytes().F32(v).take(); };
  const auto text = [](std::string_view utf8) { return TBytes().Text(Utf8ToCp1251(utf8)).take(); };
  const auto fact = [&](int id, const char* name, std::string value) {
    f_.setups.push_back({id, name, std::move(value)});
  };
  static const char* const kModes[] = {"Ручной", "Автоматический", "По программе"};
  const uint32_t underload = story_.Setting(kUnderloadSetpoint);
  const uint32_t attempts = story_.Setting(kRestartAttempts);
  const uint32_t mode = story_.Setting(kWorkMode);
  const float nominal = story_.NominalCurrent();
  const uint32_t age = story_.WorkSeconds() + story_.IdleSeconds();
  fact(1021, "Версия ПО контроллера", f_.software);

  if (p == 0) {
    add(1001, u16(underload));
    add(1002, u16(story_.Setting(kUnderloadDelay)));
    add(1003, u16(story_.Setting(kOverloadSetpoint)));
    add(1004, u16(5));
    add(1005, u16(300));
    add(1006, u8(15));
    add(1007, u16(300));
    add(1008, u16(440));
    add(1009, u16(500));
    add(1010, u8(95));
    add(1011, f32(25.0f));
    add(1012, u16(300));
    add(1013, u8(mode));
    add(1017, u16(480));
    add(1018, u16(120));
    add(1019, f32(nominal));
    add(1020, f32(32.0f));
    add(1022, u8(1));
    add(1023, u8(3));
    add(1025, u8(1));
    add(1026, u8(1));
    add(1027, u8(attempts));
    add(1028, u16(60));
    add(1029, u8(uint8_t(-3)));
    add(1030, u32(age));
    fact(1001, "Уставка защиты от недогруза (%)", std::to_string(underload));
    fact(1013, "Режим работы", kModes[mode]);
    fact(1027, "Количество попыток АПВ", std::to_string(attempts));
    fact(1022, "Сетевой адрес контроллера", "1");
    fact(1023, "Скорость обмена (бит/с)", "9600");
    return;
  }
  const bool running = story_.Measure(story_.ReadoutTime()).state == TPumpState::kRunning;
  uint32_t powerUps = 100 + uint32_t(story_.Options().seed % 50);
  uint16_t lastTrip = 0;
  for (const TStoryEvent& e : story_.Events()) {
    if (e.kind == TEventKind::kPowerOn) ++powerUps;
  }
  const std::vector<TEventRecord> records =
      p == 1 ? EventRecords01(story_, 1) : EventRecords2(story_);
  for (const TEventRecord& r : records) {
    if (r.event && IsTrip(r.event->kind)) lastTrip = r.code;
  }
  const std::string serial = "СУ-" + std::to_string(story_.SerialNumber());
  add(10051, text(serial));
  add(10050, text("150619"));
  add(10085, text("010224"));
  add(10090, u32(age));
  add(10091, u32(powerUps));
  add(10093, u8(running ? 1 : 0));
  add(10094, u16(lastTrip));
  add(10001, u16(underload));
  add(10002, u16(story_.Setting(kUnderloadDelay)));
  add(10003, u8(2));
  add(10004, u16(story_.Setting(kOverloadSetpoint)));
  add(10005, u16(5));
  add(10006, u8(3));
  add(10007, u8(15));
  add(10008, u8(10));
  add(10009, u16(300));
  add(10010, u16(440));
  add(10011, f32(500.0f));
  add(10012, u16(95));
  add(10013, f32(25.0f));
  add(10014, f32(0.65f));
  add(10015, u8(1));
  add(10016, u8(1));
  add(10017, f32(12.0f));
  add(10020, u8(1));
  add(10021, u32(900));
  add(10022, u8(0));
  add(10023, u32(1800));
  add(10024, u8(1));
  add(10025, u16(60));
  add(10026, u8(attempts));
  add(10027, u32(86400));
  add(10030, u8(mode));
  add(10031, u8(0));
  add(10032, u8(p == 2 ? 2 : 0));
  add(10033, u8(0));
  add(10034, u32(7200));
  add(10035, u32(3600));
  add(10036, u16(60));
  add(10040, text("ПЭД 45-117"));
  add(10041, f32(45.0f));
  add(10042, f32(nominal));
  add(10043, u16(1000));
  add(10044, u16(2910));
  add(10045, text("ЭЦН 5-80-1200"));
  add(10046, u16(80));
  add(10047, f32(1200.0f));
  add(10048, f32(1850.0f));
  add(10049, f32(2.63f));
  add(10070, u8(2));
  add(10071, u16(110));
  add(10072, f32(20.0f));
  add(10073, u16(uint16_t(-12)));
  add(10074, u8(2));
  add(10080, u8(1));
  add(10081, u8(3));
  add(10082, u16(1234));
  add(10083, u8(uint8_t(-3)));
  add(10084, u8(0));
  add(10086, u8(1));
  add(10087, u16(0x1F2E));
  fact(10001, "Уставка защиты от недогруза (%)", std::to_string(underload));
  fact(10026, "Количество попыток АПВ", std::to_string(attempts));
  fact(10030, "Режим работы", kModes[mode]);
  fact(10040, "Тип двигателя", "ПЭД 45-117");
  fact(10051, "Заводской номер станции", serial);
  fact(10081, "Скорость обмена (бит/с)", "9600");
  fact(10093, "Состояние станции", running ? "Работа" : "Останов");
  if (p == 2) {
    add(10060, f32(50.0f));
    add(10061, f32(35.0f));
    add(10062, f32(60.0f));
    add(10063, u16(30));
    add(10064, u16(20));
    add(10065, f32(4.0f));
    add(10066, u16(380));
    const float steps[] = {10.0f, 20.0f, 35.0f, 50.0f};
    for (uint32_t s = 0; s < 4; ++s) add(10067, f32(steps[s]), s);
    add(10092, f32(float(age) / 3600.0f * 30.0f));
    fact(10063, "Время разгона (с)", "30");
  }
}

// One slice a minute up to the read-out.
void TEncoder::Slices() {
  const int n = story_.Options().slices;
  const TDateTime readout = story_.ReadoutTime();
  for (int k = 0; k < n; ++k) {
    const TDateTime t = readout - (n - k) * kMinute;
    const TMeasurement m = story_.Measure(t);
    TMeasurementSlice s;
    s.Number = uint32_t(k + 1);
    s.Time = StreamTime(t);
    if (m.state != TPumpState::kNoPower) {
      s.Uab = uint16_t(std::lround(m.uab));
      s.Ubc = uint16_t(std::lround(m.ubc));
      s.Uca = uint16_t(std::lround(m.uca));
      const float uMax = std::max({m.uab, m.ubc, m.uca}), uMin = std::min({m.uab, m.ubc, m.uca});
      s.UnbalanceUIn = uint8_t(std::lround(100.0 * (uMax - uMin) / uMax));
      s.Udc = uint16_t(std::lround(m.uab * 1.35));
      s.Uuv = s.Uvw = s.Uwu = uint16_t(std::lround(m.uout));
      s.Iu = m.ia;
      s.Iv = m.ib;
      s.Iw = m.ic;
      const float iMax = std::max({m.ia, m.ib, m.ic}), iMin = std::min({m.ia, m.ib, m.ic});
      s.UnbalanceIOut = iMax > 0 ? uint8_t(std::lround(100.0 * (iMax - iMin) / iMax)) : 0;
      s.Ps = float(std::sqrt(3.0) * m.uout * m.ia / 1000.0);
      s.Pa = s.Ps * m.cos;
      s.Idc = m.uab > 0 ? s.Pa * 1000.0f / (m.uab * 1.35f) : 0.0f;
      s.Cos = m.cos;
      s.MotorLoad = uint8_t(std::clamp(std::lround(m.load), 0l, 255l));
      s.Fout = m.frequency;
      s.Flags = m.state == TPumpState::kRunning ? 1 : 0;
      s.Riz = uint16_t(std::lround(m.resistance * 100));
      s.VibrationXY = m.vibrationXY;
      s.VibrationZ = m.vibrationZ;
      s.Flags |= (1u << 2) | (1u << 7) | (1u << 8);
      if (m.telemetry) {
        s.MotorPressure = m.pressure;
        s.MotorTemperature = uint8_t(std::lround(m.temperature));
        s.LiquidPressure = m.pressure * 0.95f;
        s.LiquidTemperature = uint8_t(std::lround(m.temperature * 0.8));
        s.Flags |= (1u << 3) | (1u << 4) | (1u << 5) | (1u << 6);
      }
    }
    c_.slices.push_back(s);
  }
  f_.slices = n;
}

}  // namespace

TSessionContent EncodeSession(const TStory& story, const TEncodeOptions& options,
                              TSessionFacts* facts) {
  return TEncoder(story, options, facts).Run();
}

}  // namespace kalmet::sessiongen
