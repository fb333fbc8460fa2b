// The ".Z5K" container on arbitrary bytes: the unpacker, the stream it finds, and the
// Quorvo section reader with the measurement events of its slices.
#include <chronel.h>
#include <quorvo.h>
#include <slice_reader.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "session/measurement_journal.h"
#include "session/memory_stream.h"
#include "session/session_error.h"
#include "session/stream_session.h"
#include "session/z5k_container.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  kalmet::TMemoryStream file(bytes), body;
  try {
    kalmet::UnpackZ5K(file, body);
    kalmet::TInputTable table;
    kalmet::ReadValueRecords(body, table, &TimeT2Array);
  } catch (const kalmet::TSessionError&) {
  }

  if (size == 0) return 0;  // fmemopen refuses an empty buffer
  FILE* f = fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "rb");
  if (!f) return 0;
  QvSliceReader reader;
  if (QvReaderOpen(&reader, f) != QV_OK) {
    fclose(f);
    return 0;
  }
  uint8_t slice[QUORVO_SLICE_SIZE];
  while (QvReaderNext(&reader, slice) == QV_OK) {
    (void)kalmet::MeasurementEvent(
        std::span<const uint8_t, kalmet::kMeasurementSliceSize>(slice, sizeof slice));
  }
  QvReaderClose(&reader);
  return 0;
}
