// The XML session reader and the text decoders it uses, on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "session/session_context.h"
#include "session/xml_session.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  kalmet::SessionContext ctx;
  kalmet::LoadXmlSessionBytes(ctx, bytes);
  for (int i = 0; i < ctx.slInputData.Count(); ++i) {
    (void)ctx.slInputData.GetValueWord(ctx.slInputData.Object(i)->Id);
  }
  // The attribute and content decoders on their own.
  if (size < 4096) {
    (void)kalmet::HexDateTime(bytes);
    (void)kalmet::DecodeValueText(bytes);
    (void)kalmet::ReformatSessionTime(std::string(bytes));
  }
  return 0;
}
