// The binary session load on arbitrary stream bytes: records, fillers, truncation,
// the session globals and the parser choice.
#include <cstddef>
#include <cstdint>
#include <string>

#include "session/memory_stream.h"
#include "session/stream_session.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kalmet::SessionContext ctx;
  ctx.SetProgramFolder(KALMET_PROGRAM_DIR);
  kalmet::TMemoryStream stream(std::string(reinterpret_cast<const char*>(data), size));
  kalmet::LoadStreamSession(ctx, stream);
  for (int i = 0; i < ctx.slInputData.Count(); ++i) {
    (void)ctx.slInputData.GetValueData(ctx.slInputData.Object(i)->Id);
  }
  return 0;
}
