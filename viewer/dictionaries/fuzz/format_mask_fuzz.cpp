// Fuzzes the mask formatter: the first byte chooses the kinds of four arguments, their
// values follow, the rest of the input is the mask. A failing directive may raise
// ConvertError; anything else (a crash, another exception, undefined behaviour) is a bug.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "dictionaries/dictionary_file.h"
#include "dictionaries/format_mask.h"

namespace {

template <typename T>
T Take(const uint8_t*& data, size_t& size) {
  T v{};
  const size_t n = size < sizeof v ? size : sizeof v;
  std::memcpy(&v, data, n);
  data += n;
  size -= n;
  return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t kinds = Take<uint8_t>(data, size);
  std::vector<std::string> texts;
  texts.reserve(4);
  std::vector<kalmet::TFormatArg> args;
  for (int i = 0; i < 4; ++i) {
    switch ((kinds >> (2 * i)) & 3) {
      case 0:
        args.emplace_back(Take<int32_t>(data, size));
        break;
      case 1:
        args.emplace_back(Take<int64_t>(data, size));
        break;
      case 2:
        args.emplace_back(Take<double>(data, size));
        break;
      default: {
        const size_t n = Take<uint8_t>(data, size) % 9;
        const size_t m = n < size ? n : size;
        texts.emplace_back(reinterpret_cast<const char*>(data), m);
        data += m;
        size -= m;
        args.emplace_back(std::string_view(texts.back()));
      }
    }
  }
  const std::string_view mask(reinterpret_cast<const char*>(data), size);
  try {
    const std::string out = kalmet::FormatMask(mask, args);
    (void)out;
  } catch (const kalmet::ConvertError&) {
  }
  (void)kalmet::SplitListText(mask);
  return 0;
}
