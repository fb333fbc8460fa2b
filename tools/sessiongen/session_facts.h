// What the generator knows it wrote, in the terms the viewer shows it: counts of
// journal events by code, stops and starts, trace records, counters, graph samples,
// start graphs, setup rows and measurement slices. Written as JSON beside a session so
// that end-to-end tests compare the viewer's output with it.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace kalmet::sessiongen {

struct TSetupFact {
  int id = 0;
  std::string name;  // as the setups grid shows it: variable name and " (unit)"
  std::string value;
};

struct TSessionFacts {
  int protocol = 0;
  std::string kind;
  uint64_t seed = 0;
  std::string software;  // sSoftwareVersion after reading
  int major = 0, minor = 0;
  std::string cluster, well, field;
  int variables = 0;     // entries of the value table right after reading
  int imageBlocks = 0;   // version 2: pieces of the journal image (the parser takes them out
                         // of the table together with their descriptor elements)
  int imageRecords = 0;  // version 2: records in the journal image, graph records included

  // The decoded journal (events only, no graph samples).
  std::map<int, int> eventsByCode;
  int stops = 0, starts = 0, powerOff = 0, powerOn = 0;
  // Names that version-0 protection trips gain from the stop journal, by count.
  std::map<std::string, int> stopReasons;
  std::map<int, int> traceByCode;

  uint32_t workTime = 0, idleTime = 0, startCount = 0;

  int graphSamples = 0;  // graph samples of the point list, measurement slices excluded
  int hourSamples = 0;   // per hourly channel (version 0)
  int startGraphs = 0;
  int alarms = 0;
  std::string newestAlarm;  // "name=time" as the alarm list's first line
  int slices = 0;
  std::vector<TSetupFact> setups;

  int JournalEvents() const;
  int TraceRecords() const;
  std::string Json() const;
};

}  // namespace kalmet::sessiongen
