#include "session_facts.h"

#include <cstdio>
#include <type_traits>

namespace kalmet::sessiongen {
namespace {

std::string Quote(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char esc[8];
      std::snprintf(esc, sizeof esc, "\\u%04x", unsigned(c));
      out += esc;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

template <class Key>
std::string Counts(const std::map<Key, int>& counts) {
  std::string out = "{";
  for (const auto& [key, n] : counts) {
    if (out.size() > 1) out += ", ";
    if constexpr (std::is_same_v<Key, std::string>) {
      out += Quote(key);
    } else {
      out += Quote(std::to_string(key));
    }
    out += ": " + std::to_string(n);
  }
  return out + "}";
}

int Sum(const std::map<int, int>& counts) {
  int n = 0;
  for (const auto& [code, count] : counts) n += count;
  return n;
}

}  // namespace

int TSessionFacts::JournalEvents() const {
  return Sum(eventsByCode);
}

int TSessionFacts::TraceRecords() const {
  return Sum(traceByCode);
}

std::string TSessionFacts::Json() const {
  std::string s = "{\n";
  const auto field = [&](const char* name, const std::string& value, bool last = false) {
    s += "  " + Quote(name) + ": " + value + (last ? "\n" : ",\n");
  };
  const auto number = [](auto v) { return std::to_string(v); };
  field("protocol", number(protocol));
  field("kind", Quote(kind));
  field("seed", number(seed));
  field("software", Quote(software));
  field("version", Quote(std::to_string(major) + "." + std::to_string(minor)));
  field("cluster", Quote(cluster));
  field("well", Quote(well));
  field("field", Quote(this->field));
  field("variables", number(variables));
  field("image-blocks", number(imageBlocks));
  field("image-records", number(imageRecords));
  field("journal-events", number(JournalEvents()));
  field("events-by-code", Counts(eventsByCode));
  field("stops", number(stops));
  field("starts", number(starts));
  field("power-off", number(powerOff));
  field("power-on", number(powerOn));
  field("stop-reasons", Counts(stopReasons));
  field("trace-records", number(TraceRecords()));
  field("trace-by-code", Counts(traceByCode));
  field("work-time", number(workTime));
  field("idle-time", number(idleTime));
  field("start-count", number(startCount));
  field("graph-samples", number(graphSamples));
  field("hour-samples", number(hourSamples));
  field("start-graphs", number(startGraphs));
  field("alarms", number(alarms));
  field("newest-alarm", Quote(newestAlarm));
  field("measurement-slices", number(slices));
  std::string rows = "[";
  for (const TSetupFact& f : setups) {
    if (rows.size() > 1) rows += ",";
    rows += "\n    {\"id\": " + number(f.id) + ", \"name\": " + Quote(f.name) +
            ", \"value\": " + Quote(f.value) + "}";
  }
  field("setups", rows + "\n  ]", true);
  return s + "}\n";
}

}  // namespace kalmet::sessiongen
