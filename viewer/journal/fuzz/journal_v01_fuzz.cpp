// The journal decoders of protocol versions 0 and 1 and the trace journal, fed through
// their parsers with the shipped dictionaries. Input: one byte choosing the parser, then
// up to four variables, each a 16-bit length (low byte first) and its bytes.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "dictionaries/dictionaries.h"
#include "journal/parser_ver0.h"
#include "journal/parser_ver1.h"
#include "session/delphi_text.h"
#include "session/session_context.h"

namespace {

struct Engine {
  kalmet::SessionContext start;
  kalmet::TDictionaries dicts;
  std::unique_ptr<kalmet::TParserVer0> parser0;
  std::unique_ptr<kalmet::TParserVer1> parser1;

  Engine() {
    start.SetProgramFolder(KALMET_PROGRAM_DIR);
    if (!kalmet::LoadDictionaries(start, dicts)) __builtin_trap();
    parser0 = std::make_unique<kalmet::TParserVer0>(dicts);
    parser1 = std::make_unique<kalmet::TParserVer1>(dicts);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Engine engine;
  if (size < 1) return 0;
  const bool version1 = (data[0] & 1) != 0;
  static const int32_t kIds0[] = {1014, 1015, 1016, 1024};
  static const int32_t kIds1[] = {10370, 10371, 9995, 9991};
  const int32_t* ids = version1 ? kIds1 : kIds0;

  kalmet::SessionContext ctx;
  kalmet::AttachDictionaries(ctx, engine.dicts);
  size_t pos = 1;
  for (int n = 0; n < 4 && pos < size; ++n) {
    size_t len = data[pos];
    if (pos + 1 < size) len |= static_cast<size_t>(data[pos + 1]) << 8;
    pos += 2;
    if (pos > size) pos = size;
    if (len > size - pos) len = size - pos;
    auto value = std::make_unique<kalmet::TInputData>();
    // Bit n + 1 of the first byte puts the variable in a second time (an array element).
    value->Id = ids[n];
    value->Data.assign(data + pos, data + pos + len);
    if ((data[0] >> (n + 1)) & 1) {
      auto twin = std::make_unique<kalmet::TInputData>(*value);
      twin->ArrayIndex = 1;
      ctx.slInputData.Add(std::move(twin));
    }
    ctx.slInputData.Add(std::move(value));
    pos += len;
  }
  if (version1) {
    engine.parser1->Parsing(ctx);
  } else {
    engine.parser0->Parsing(ctx);
  }
  // The millisecond shift keeps every journal key distinct and the collection sorted.
  for (int i = 1; i < ctx.Journal.Count(); ++i) {
    if (kalmet::CompareText(ctx.Journal.GetKey(i - 1), ctx.Journal.GetKey(i)) >= 0) {
      __builtin_trap();
    }
  }
  return 0;
}
