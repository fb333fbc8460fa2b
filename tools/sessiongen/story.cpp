#include "story.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "random.h"

namespace kalmet::sessiongen {
namespace {

constexpr double kSecond = 1.0 / 86400.0;
constexpr double kMinute = 60 * kSecond;
constexpr double kHour = 60 * kMinute;
constexpr double kRampSeconds = 1800;  // a fault builds up over half an hour before its trip

const char* const kFields[] = {"Северное", "Кедровое", "Озёрное", "Приобское"};

int64_t WholeSeconds(TDateTime t) {
  return int64_t(std::llround((t - 25569.0) * 86400.0));
}

// 0 far from the trip, rising to 1 at the trip moment.
double Ramp(TDateTime t, TDateTime trip) {
  const double before = (trip - t) * 86400.0;
  if (before < 0 || before > kRampSeconds) return 0;
  return 1.0 - before / kRampSeconds;
}

}  // namespace

bool IsTrip(TEventKind k) {
  return k >= TEventKind::kTripUnderload && k <= TEventKind::kTripOverheat;
}

bool IsStart(TEventKind k) {
  return k >= TEventKind::kStartOperator && k <= TEventKind::kStartAfterPower;
}

bool IsTraceOnly(TEventKind k) {
  return k == TEventKind::kKeyStart || k == TEventKind::kKeyStop;
}

std::string TripName(TEventKind kind) {
  switch (kind) {
    case TEventKind::kTripUnderload:
      return "Недогруз";
    case TEventKind::kTripOverload:
      return "Перегруз";
    case TEventKind::kTripImbalance:
      return "Дисбаланс токов";
    case TEventKind::kTripUndervoltage:
      return "Пониженное напряжение";
    default:
      return "Перегрев двигателя";
  }
}

TStory::TStory(const TStoryOptions& options) : options_(options) {
  options_.events = std::max(options_.events, 0);
  options_.graphPoints = std::max(options_.graphPoints, 0);
  options_.starts = std::clamp(options_.starts, 0, 12);
  options_.alarms = std::max(options_.alarms, 0);
  options_.slices = std::max(options_.slices, 0);
  Generate();
}

void TStory::Add(TStoryEvent e) {
  events_.push_back(e);
}

void TStory::Generate() {
  TRandom rng(options_.seed);
  readout_ = EncodeDate(2024, 2, 1) + rng.Range(0, 27) +
             EncodeTime(rng.Range(9, 16), rng.Range(0, 59), rng.Range(0, 59), 0);
  field_ = kFields[rng.Range(0, 3)];
  cluster_ = "Куст " + std::to_string(rng.Range(1, 60));
  well_ = "Скважина " + std::to_string(rng.Range(100, 2999));
  serial_ = uint32_t(rng.Range(10000, 99999));
  nominalCurrent_ = rng.Range(28, 56);
  phase_ = rng.Uniform();
  settings_[kUnderloadSetpoint] = uint32_t(40 + 5 * rng.Range(0, 4));
  settings_[kUnderloadDelay] = uint32_t(rng.Range(2, 12) * 5);
  settings_[kOverloadSetpoint] = uint32_t(115 + 5 * rng.Range(0, 3));
  settings_[kRestartAttempts] = uint32_t(rng.Range(2, 5));
  settings_[kWorkMode] = 1;
  std::copy(std::begin(settings_), std::end(settings_), std::begin(initialSettings_));

  // The story in seconds from its beginning; placed before the read-out afterwards.
  struct Raw {
    int64_t at;
    TStoryEvent e;
  };
  std::vector<Raw> raw;
  std::vector<std::pair<int64_t, TPumpState>> states{{0, TPumpState::kRunning}};
  std::vector<std::pair<int64_t, int64_t>> gaps;
  int journal = 0;
  int64_t t = 0;
  const auto emit = [&](TEventKind kind, int64_t after) -> TStoryEvent* {
    t += std::max<int64_t>(after, 1);
    if (!IsTraceOnly(kind)) {
      if (journal >= options_.events) return nullptr;
      ++journal;
    }
    raw.push_back({t, TStoryEvent{}});
    raw.back().e.kind = kind;
    return &raw.back().e;
  };
  const auto state = [&](TPumpState s) { states.emplace_back(t, s); };

  TPumpState now = TPumpState::kRunning;
  TEventKind lastStop = TEventKind::kStopOperator;
  int attempt = 0;
  while (journal < options_.events) {
    if (now == TPumpState::kRunning) {
      if (rng.Chance(0.3)) {
        // Something happens while the pump runs on.
        const double r = rng.Uniform();
        if (r < 0.3) {
          emit(TEventKind::kDoorOpen, rng.Range(1200, 6 * 3600));
          emit(TEventKind::kDoorClose, rng.Range(60, 900));
        } else if (r < 0.5) {
          emit(TEventKind::kTelemetryLost, rng.Range(1200, 6 * 3600));
          const int64_t from = t;
          if (emit(TEventKind::kTelemetryBack, rng.Range(600, 5400))) {
            gaps.emplace_back(from, t);
          } else {
            gaps.emplace_back(from, INT64_MAX);
          }
        } else if (r < 0.85) {
          if (TStoryEvent* e = emit(TEventKind::kSetupEntry, rng.Range(1200, 6 * 3600)))
            e->access = uint8_t(rng.Range(1, 2));
          const int s = rng.Range(0, kSettingCount - 2);  // the work mode changes on its own
          const uint32_t old = settings_[s];
          uint32_t value = old;
          while (value == old) {
            switch (s) {
              case kUnderloadSetpoint:
                value = uint32_t(35 + 5 * rng.Range(0, 5));
                break;
              case kUnderloadDelay:
                value = uint32_t(rng.Range(2, 12) * 5);
                break;
              case kOverloadSetpoint:
                value = uint32_t(110 + 5 * rng.Range(0, 5));
                break;
              default:
                value = uint32_t(rng.Range(1, 5));
                break;
            }
          }
          if (TStoryEvent* e = emit(TEventKind::kParameterChange, rng.Range(20, 300))) {
            e->setting = s;
            e->oldValue = old;
            e->newValue = value;
            e->access = uint8_t(rng.Range(1, 2));
            settings_[s] = value;
          }
        } else {
          if (TStoryEvent* e = emit(TEventKind::kClockSet, rng.Range(1200, 6 * 3600)))
            e->correction = rng.Range(-90, 90);
        }
        continue;
      }
      const int64_t run = rng.Range(3600, 20 * 3600);
      const double r = rng.Uniform();
      if (r < 0.45) {
        static constexpr TEventKind kTrips[] = {
            TEventKind::kTripUnderload, TEventKind::kTripUnderload,    TEventKind::kTripOverload,
            TEventKind::kTripImbalance, TEventKind::kTripUndervoltage, TEventKind::kTripOverheat};
        lastStop = kTrips[rng.Range(0, 5)];
        if (!emit(lastStop, run)) break;
        state(TPumpState::kStopped);
      } else if (r < 0.65) {
        emit(TEventKind::kKeyStop, run);
        lastStop = TEventKind::kStopOperator;
        if (TStoryEvent* e = emit(lastStop, 1)) e->source = 0;
        state(TPumpState::kStopped);
      } else if (r < 0.75) {
        lastStop = TEventKind::kStopProgram;
        if (!emit(lastStop, run)) break;
        state(TPumpState::kStopped);
      } else {
        lastStop = TEventKind::kPowerOff;
        if (!emit(lastStop, run)) break;
        state(TPumpState::kNoPower);
        now = TPumpState::kNoPower;
        continue;
      }
      now = TPumpState::kStopped;
      continue;
    }
    if (now == TPumpState::kNoPower) {
      if (!emit(TEventKind::kPowerOn, rng.Range(300, 3 * 3600))) break;
      state(TPumpState::kStopped);
      now = TPumpState::kStopped;
      const uint16_t delay = uint16_t(rng.Range(30, 120));
      if (TStoryEvent* e = emit(TEventKind::kRestartWait, 2)) e->wait = delay;
      if (!emit(TEventKind::kStartAfterPower, delay)) break;
      state(TPumpState::kRunning);
      now = TPumpState::kRunning;
      continue;
    }
    // Stopped.
    if (IsTrip(lastStop)) {
      const uint16_t delay = uint16_t(rng.Range(300, 1800));
      if (TStoryEvent* e = emit(TEventKind::kRestartWait, 5)) e->wait = delay;
      TStoryEvent* e = emit(TEventKind::kStartRestart, delay);
      if (!e) break;
      e->attempt = uint8_t(++attempt % 5 + 1);
    } else if (lastStop == TEventKind::kStopProgram) {
      if (!emit(TEventKind::kStartProgram, rng.Range(1800, 4 * 3600))) break;
    } else {
      const int64_t pause = rng.Range(600, 4 * 3600);
      if (rng.Chance(0.2)) {
        TStoryEvent* m = emit(TEventKind::kModeChange, pause / 2);
        if (!m) break;
        m->setting = kWorkMode;
        m->oldValue = settings_[kWorkMode];
        m->mode = uint8_t((settings_[kWorkMode] + 1 + rng.Range(0, 1)) % 3);
        m->newValue = m->mode;
        settings_[kWorkMode] = m->mode;
      }
      emit(TEventKind::kKeyStart, pause / 2);
      TStoryEvent* e = emit(TEventKind::kStartOperator, 1);
      if (!e) break;
      e->source = uint8_t(rng.Chance(0.7) ? 0 : 1);
    }
    state(TPumpState::kRunning);
    now = TPumpState::kRunning;
  }

  // A long story is pressed into two years (keeping records at least a second apart), so
  // that large sessions stay within the controller's calendar.
  constexpr int64_t kMaxSpan = 2 * 365 * 86400;
  if (!raw.empty() && raw.back().at > kMaxSpan) {
    const double k = double(kMaxSpan) / double(raw.back().at);
    std::vector<int64_t> before, after;
    for (Raw& r : raw) {
      before.push_back(r.at);
      r.at = std::max(int64_t(double(r.at) * k), after.empty() ? 0 : after.back() + 1);
      after.push_back(r.at);
    }
    const auto press = [&](int64_t at) {
      if (at == INT64_MAX) return at;
      const auto it = std::lower_bound(before.begin(), before.end(), at);
      return it != before.end() && *it == at ? after[size_t(it - before.begin())]
                                             : int64_t(double(at) * k);
    };
    for (auto& st : states) st.first = press(st.first);
    for (auto& [from, to] : gaps) {
      from = press(from);
      to = press(to);
    }
  }

  // Place the story so that its last record comes a little before the read-out.
  const int64_t end = raw.empty() ? 0 : raw.back().at;
  const int64_t readoutSeconds = WholeSeconds(readout_);
  const int64_t base = readoutSeconds - end - rng.Range(300, 3600);
  const auto when = [&](int64_t at) { return 25569.0 + double(base + at) / 86400.0; };
  for (const auto& [at, s] : states) states_.push_back({when(at), s});
  for (const auto& [from, to] : gaps)
    telemetryGaps_.emplace_back(when(from), to == INT64_MAX ? readout_ + 1 : when(to));
  for (Raw& r : raw) {
    r.e.time = when(r.at);
    if (IsTrip(r.e.kind)) trips_.push_back(r.e);
    if (r.e.kind == TEventKind::kParameterChange || r.e.kind == TEventKind::kModeChange)
      settingChanges_[r.e.setting].emplace_back(r.e.time, r.e.newValue);
  }
  // What the instruments showed just before each record.
  for (Raw& r : raw) {
    TStoryEvent& e = r.e;
    const TMeasurement m = Measure(e.time - kSecond);
    e.current = m.ia;
    e.voltage = uint16_t(std::lround(m.uab));
    e.temperature = int16_t(std::lround(m.temperature));
    e.load = uint8_t(std::clamp(std::lround(m.load), 0l, 255l));
    const float top = std::max({m.ia, m.ib, m.ic});
    e.imbalance =
        top > 0 ? uint8_t(std::lround(100.0 * (top - std::min({m.ia, m.ib, m.ic})) / top)) : 0;
    if (e.kind == TEventKind::kPowerOff) e.voltage = uint16_t(std::lround(m.uab * 0.55));
    events_.push_back(e);
  }

  // Counters since commissioning: a history before the story plus the story itself.
  const uint32_t ageDays = uint32_t(rng.Range(200, 900));
  workSeconds_ = ageDays * 86400u * 3 / 4;
  idleSeconds_ = ageDays * 86400u - workSeconds_;
  startCount_ = ageDays / 3;
  for (size_t i = 0; i < states_.size(); ++i) {
    const TDateTime to = i + 1 < states_.size() ? states_[i + 1].time : readout_;
    const uint32_t s =
        uint32_t(std::max<int64_t>(0, WholeSeconds(to) - WholeSeconds(states_[i].time)));
    (states_[i].state == TPumpState::kRunning ? workSeconds_ : idleSeconds_) += s;
  }
  for (const TStoryEvent& e : events_) {
    if (IsStart(e.kind)) ++startCount_;
  }

  for (auto it = events_.rbegin(); it != events_.rend() && int(starts_.size()) < options_.starts;
       ++it) {
    if (IsStart(it->kind)) starts_.push_back({it->time, 4});
  }
  for (auto it = trips_.rbegin(); it != trips_.rend() && int(alarms_.size()) < options_.alarms;
       ++it) {
    alarms_.push_back({it->time, it->kind});
  }
  std::reverse(alarms_.begin(), alarms_.end());
}

TPumpState TStory::StateAt(TDateTime t) const {
  auto it = std::upper_bound(states_.begin(), states_.end(), t,
                             [](TDateTime v, const TStateChange& c) { return v < c.time; });
  return it == states_.begin() ? TPumpState::kRunning : std::prev(it)->state;
}

bool TStory::TelemetryAt(TDateTime t) const {
  // Gaps are in time order and do not overlap: only the last one starting at or before t
  // can hold it.
  auto it = std::upper_bound(telemetryGaps_.begin(), telemetryGaps_.end(), t,
                             [](TDateTime v, const auto& gap) { return v < gap.first; });
  return it == telemetryGaps_.begin() || t >= std::prev(it)->second;
}

uint32_t TStory::SettingAt(int setting, TDateTime t) const {
  const auto& changes = settingChanges_[setting];
  auto it = std::lower_bound(changes.begin(), changes.end(), t,
                             [](const auto& change, TDateTime v) { return change.first < v; });
  return it == changes.begin() ? initialSettings_[setting] : std::prev(it)->second;
}

template <class F>
void TStory::ForTripsAround(TDateTime t, F&& f) const {
  auto it = std::lower_bound(trips_.begin(), trips_.end(), t,
                             [](const TStoryEvent& trip, TDateTime v) { return trip.time < v; });
  for (; it != trips_.end(); ++it) {
    const double r = Ramp(t, it->time);
    if (r == 0) break;
    f(*it, r);
  }
}

double TStory::LoadAt(TDateTime t) const {
  const double twoPi = 2 * std::numbers::pi;
  double load =
      0.8 + 0.07 * std::sin(twoPi * (t / 2.7 + phase_)) + 0.04 * std::sin(twoPi * t / 0.6);
  ForTripsAround(t, [&](const TStoryEvent& trip, double r) {
    if (trip.kind == TEventKind::kTripUnderload) load -= 0.4 * r;
    if (trip.kind == TEventKind::kTripOverload) load += 0.5 * r;
  });
  return std::max(load, 0.05);
}

TMeasurement TStory::Measure(TDateTime t) const {
  TMeasurement m;
  m.state = StateAt(t);
  m.telemetry = TelemetryAt(t);
  if (m.state == TPumpState::kNoPower) return m;
  const int64_t sec = WholeSeconds(t);
  const uint64_t seed = options_.seed;
  const double twoPi = 2 * std::numbers::pi;
  double u = 380 + 6 * std::sin(twoPi * t) + 2 * Noise(seed, sec, 0);
  double heat = 0, imbalance = 0;
  ForTripsAround(t, [&](const TStoryEvent& trip, double r) {
    if (trip.kind == TEventKind::kTripUndervoltage) u -= 90 * r;
    if (trip.kind == TEventKind::kTripOverheat) heat += 45 * r;
    if (trip.kind == TEventKind::kTripImbalance) imbalance += 0.35 * r;
  });
  m.uab = float(u);
  m.ubc = float(u * (1.004 + 0.002 * Noise(seed, sec, 1)));
  m.uca = float(u * (0.997 + 0.002 * Noise(seed, sec, 2)));
  m.resistance = float(6.5 + 1.5 * std::sin(twoPi * t / 9.0));
  if (m.state == TPumpState::kRunning) {
    const double load = LoadAt(t);
    const double i = nominalCurrent_ * load;
    m.ia = float(i * (1 + 0.01 * Noise(seed, sec, 3)));
    m.ib = float(i * (1 + 0.01 * Noise(seed, sec, 4)));
    m.ic = float(i * (1 - imbalance + 0.01 * Noise(seed, sec, 5)));
    m.cos = float(0.72 + 0.12 * std::min(load, 1.2));
    m.load = float(100 * load);
    m.frequency = float(50 + 0.05 * Noise(seed, sec, 6));
    m.uout = float(u * 0.98);
    m.vibrationXY = float(0.8 + 0.4 * load + 0.05 * Noise(seed, sec, 7));
    m.vibrationZ = float(0.5 + 0.3 * load + 0.05 * Noise(seed, sec, 8));
    m.temperature = float(52 + 25 * load + heat);
    m.pressure = float(41 - 8 * load + 0.3 * Noise(seed, sec, 9));
  } else {
    m.temperature = float(38 + heat / 3);
    m.pressure = float(55 + 0.3 * Noise(seed, sec, 9));
  }
  return m;
}

float TStory::StartRms(const TStartCurve& start, int curve, double s) const {
  const double factors[6] = {1.0, 1.004, 0.997, 1.0, 1.01, 0.99};
  const double f = factors[std::clamp(curve, 1, 6) - 1];
  if (curve <= 3) {
    const double u = Measure(start.time - kSecond).uab;
    return float(f * u * (1 - 0.15 * std::exp(-s / 0.7)));
  }
  const double run = nominalCurrent_ * LoadAt(start.time + kMinute);
  const double inrush = 6 * nominalCurrent_;
  const double rise = std::min(1.0, s / 0.04);
  return float(f * rise * (run + (inrush - run) * std::exp(-s / 0.5)));
}

}  // namespace kalmet::sessiongen
