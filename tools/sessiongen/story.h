// The pump station's story, independent of any protocol or file kind: what happened
// (starts, stops by command and by protection, power loss and return, messages,
// parameter changes), what the instruments measured at any moment, the start-up
// curves, the alarms and the counters. The protocol encoders turn it into variables.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "session/date_time.h"

namespace kalmet::sessiongen {

struct TStoryOptions {
  uint64_t seed = 1;
  int events = 200;       // journal events
  int graphPoints = 144;  // archive graph moments (10 minutes apart)
  int starts = 3;         // start-up curves kept (at most 12)
  int alarms = 6;         // alarm log records (at most the number of trips)
  int slices = 60;        // measurement slices (1 minute apart)
};

enum class TEventKind : uint8_t {
  kStartOperator,
  kStartRestart,  // automatic restart after a protection trip
  kStartProgram,
  kStartAfterPower,
  kStopOperator,
  kStopProgram,
  kTripUnderload,
  kTripOverload,
  kTripImbalance,
  kTripUndervoltage,
  kTripOverheat,
  kPowerOff,
  kPowerOn,
  kDoorOpen,
  kDoorClose,
  kRestartWait,
  kTelemetryLost,
  kTelemetryBack,
  kModeChange,
  kParameterChange,
  kClockSet,
  kSetupEntry,
  kReadout,
  // Trace only: buttons on the panel.
  kKeyStart,
  kKeyStop,
};

bool IsTrip(TEventKind kind);
bool IsStart(TEventKind kind);
bool IsTraceOnly(TEventKind kind);

// Settings that parameter changes touch; each protocol maps them to its variables.
enum TSetting : int {
  kUnderloadSetpoint,  // %
  kUnderloadDelay,     // s
  kOverloadSetpoint,   // %
  kRestartAttempts,
  kWorkMode,  // 0 manual, 1 automatic, 2 by program
  kSettingCount
};

struct TStoryEvent {
  TDateTime time = 0;  // whole seconds
  TEventKind kind = TEventKind::kReadout;
  float current = 0;        // A, phase A at the moment
  uint16_t voltage = 0;     // V, line voltage AB
  int16_t temperature = 0;  // degrees, motor
  uint8_t load = 0;         // %, motor load
  uint8_t imbalance = 0;    // %, current or voltage imbalance
  uint8_t source = 0;       // command source (list index)
  uint8_t attempt = 0;      // restart attempt
  uint16_t wait = 0;        // s until the restart
  uint8_t mode = 0;         // new work mode
  int setting = 0;          // TSetting of a parameter change
  uint32_t oldValue = 0;
  uint32_t newValue = 0;
  int32_t correction = 0;  // s, clock set
  uint8_t access = 0;      // access level of a setup entry or parameter change
};

enum class TPumpState : uint8_t { kRunning, kStopped, kNoPower };

// Everything the controller measures at one moment.
struct TMeasurement {
  TPumpState state = TPumpState::kStopped;
  bool telemetry = true;  // submersible telemetry link up (temperature, pressure valid)
  float uab = 0, ubc = 0, uca = 0;
  float ia = 0, ib = 0, ic = 0;
  float cos = 0;
  float resistance = 0;                   // MOhm
  float load = 0;                         // %
  float uout = 0;                         // V
  float frequency = 0;                    // Hz
  float temperature = 0;                  // degrees
  float pressure = 0;                     // atm
  float vibrationXY = 0, vibrationZ = 0;  // g
};

struct TStartCurve {
  TDateTime time = 0;
  int interval = 4;  // s recorded
};

struct TAlarmRecord {
  TDateTime time = 0;
  TEventKind kind = TEventKind::kTripUnderload;
};

class TStory {
 public:
  explicit TStory(const TStoryOptions& options);

  const TStoryOptions& Options() const { return options_; }
  TDateTime ReadoutTime() const { return readout_; }
  // Journal events and trace-only records in time order.
  const std::vector<TStoryEvent>& Events() const { return events_; }
  const std::vector<TStartCurve>& Starts() const { return starts_; }
  const std::vector<TAlarmRecord>& Alarms() const { return alarms_; }

  TMeasurement Measure(TDateTime t) const;
  // RMS of a start-up curve (1-3 line voltages AB, BC, CA; 4-6 phase currents A, B, C)
  // at seconds after the start.
  float StartRms(const TStartCurve& start, int curve, double seconds) const;

  // Setting values at the end of the story (after every parameter change).
  uint32_t Setting(int setting) const { return settings_[setting]; }
  // A setting's value at a moment (before any later change).
  uint32_t SettingAt(int setting, TDateTime t) const;
  uint32_t WorkSeconds() const { return workSeconds_; }
  uint32_t IdleSeconds() const { return idleSeconds_; }
  uint32_t StartCount() const { return startCount_; }

  // Names that the session carries (UTF-8).
  const std::string& Field() const { return field_; }
  const std::string& Cluster() const { return cluster_; }
  const std::string& Well() const { return well_; }
  uint32_t SerialNumber() const { return serial_; }
  float NominalCurrent() const { return float(nominalCurrent_); }

 private:
  struct TStateChange {
    TDateTime time;
    TPumpState state;
  };
  void Generate();
  void Add(TStoryEvent e);
  TPumpState StateAt(TDateTime t) const;
  bool TelemetryAt(TDateTime t) const;
  double LoadAt(TDateTime t) const;
  // Calls f(trip, ramp) for each trip whose build-up covers t (ramp 0 to 1).
  template <class F>
  void ForTripsAround(TDateTime t, F&& f) const;

  TStoryOptions options_;
  TDateTime readout_ = 0;
  std::vector<TStoryEvent> events_;
  std::vector<TStateChange> states_;
  std::vector<std::pair<TDateTime, TDateTime>> telemetryGaps_;
  std::vector<TStoryEvent> trips_;  // in time order
  // Per setting: its first value and its changes (time, new value) in time order.
  uint32_t initialSettings_[kSettingCount] = {};
  std::vector<std::pair<TDateTime, uint32_t>> settingChanges_[kSettingCount];
  std::vector<TStartCurve> starts_;
  std::vector<TAlarmRecord> alarms_;
  uint32_t settings_[kSettingCount] = {};
  uint32_t workSeconds_ = 0, idleSeconds_ = 0, startCount_ = 0;
  std::string field_, cluster_, well_;
  uint32_t serial_ = 0;
  double nominalCurrent_ = 40;
  double phase_ = 0;
};

// Russian name of a trip as the alarm log shows it (UTF-8).
std::string TripName(TEventKind kind);

}  // namespace kalmet::sessiongen
