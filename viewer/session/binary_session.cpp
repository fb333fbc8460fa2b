#include "session/binary_session.h"

#include "session/file_stream.h"
#include "session/measurement_journal.h"
#include "session/memory_stream.h"
#include "session/stream_session.h"
#include "session/z5k_container.h"

namespace kalmet {

bool LoadZ4KSession(SessionContext& ctx, const std::string& fileName) {
  bool result;
  {
    TFileStream file(fileName);
    result = LoadStreamSession(ctx, file);
  }
  ctx.bZ5K = false;
  return result;
}

bool LoadZ5KSession(SessionContext& ctx, const std::string& fileName, int* slices) {
  bool result;
  {
    TFileStream file(fileName);
    TMemoryStream body;
    UnpackZ5K(file, body);
    result = LoadStreamSession(ctx, body);
  }
  const int count = ReadMeasurementJournal(fileName, ctx.slGraph);
  if (slices) *slices = count;
  ctx.bZ5K = true;
  return result;
}

}  // namespace kalmet
