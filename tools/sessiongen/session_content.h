// What one session file holds, whatever its kind: the header texts, the variable values
// in file order and (".Z5K" only) the measurement slices. The protocol encoders fill it
// from the story; the file writers serialise it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "session/date_time.h"
#include "session/stream_writer.h"

namespace kalmet::sessiongen {

struct TVariableValue {
  uint16_t id = 0;
  uint32_t arrayIndex = 0;  // binary files keep the low byte
  uint8_t quality = 1;
  TDateTime time = 0;  // whole seconds; never 0 here (a binary stamp cannot say "none")
  std::string data;    // raw bytes, never empty (an empty XML element stops the reader)
};

struct TSessionContent {
  int protocol = 0;
  // UTF-8 texts.
  std::string cluster, well, field;
  // The XML file's CSCSoftwareVersion; the binary files carry major, minor and build.
  std::string softwareText;
  uint16_t major = 0, minor = 0, build = 0;
  TDateTime sessionTime = 0;
  std::vector<TVariableValue> values;
  std::vector<TMeasurementSlice> slices;
};

}  // namespace kalmet::sessiongen
