// Fuzzes libmarnel.so through its C ABI: open, listing and every record's context.
// The first input byte picks how the image is made (raw bytes, raw ring between sound
// headers, or framed records with sound CRCs), the second the text buffer size.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <vector>

#include "marnel.h"
#include "marnel/codec/journal_image.h"
#include "marnel/codec/journal_writer.h"

namespace {

using kalmet::marnel::JournalImage;
using kalmet::marnel::JournalWriter;

constexpr int32_t kTextSizes[] = {1, 2, 3, 8, 33, 200, 1000, 16384};

// Stops the run with the line of a broken promise.
#define CHECK(condition)                                                                        \
  do {                                                                                          \
    if (!(condition)) {                                                                         \
      std::fprintf(stderr, "marnel_fuzz: check failed at line %d: %s\n", __LINE__, #condition); \
      __builtin_trap();                                                                         \
    }                                                                                           \
  } while (false)

std::vector<uint8_t> FreshImage(size_t size) {
  return JournalWriter(static_cast<int32_t>(size)).image();
}

// Records from chunks separated by line feeds: 4 bytes of number, then the data.
std::vector<uint8_t> FramedImage(std::string_view input) {
  if (input.size() < 2) return FreshImage(256);
  const size_t size =
      256 + ((static_cast<uint8_t>(input[0]) << 8 | static_cast<uint8_t>(input[1])) % 16129);
  input.remove_prefix(2);
  std::vector<uint8_t> image = FreshImage(size);
  JournalImage view(image.data(), static_cast<int32_t>(size));
  int32_t p = view.ring_start();
  uint32_t number = 1;
  while (!input.empty()) {
    const size_t cut = input.find('\n');
    std::string_view chunk = input.substr(0, cut);
    input.remove_prefix(cut == std::string_view::npos ? input.size() : cut + 1);
    if (chunk.size() >= 4) {
      number = 0;
      for (int i = 0; i < 4; ++i) number = number << 8 | static_cast<uint8_t>(chunk[i]);
      chunk.remove_prefix(4);
    }
    if (chunk.size() <= view.max_record_data()) p = view.Write(p, number, chunk);
    ++number;
  }
  return image;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  _CloseJournal();
  if (size < 2) {
    char byte = 1;
    CHECK(_GetJournalHeaders(&byte, 1) == 0 && byte == 0);
    return 0;
  }
  const uint8_t mode = data[0] % 3;
  const int32_t text_size = kTextSizes[data[1] % 8];
  const std::string_view input(reinterpret_cast<const char*>(data) + 2, size - 2);
  std::vector<uint8_t> image;
  if (mode == 0) {
    image.assign(input.begin(), input.end());
  } else if (mode == 1) {
    image = FreshImage(std::min<size_t>(256 + input.size(), 1 << 16));
    std::memcpy(image.data() + 108, input.data(), image.size() - 256);
  } else {
    image = FramedImage(input);
  }

  const auto image_size = static_cast<int32_t>(image.size());
  const uint8_t opened = _OpenJournal(image.empty() ? nullptr : image.data(), image_size);
  CHECK(opened == (image_size >= MARNEL_MIN_IMAGE_SIZE ? 1 : 0));

  // Count the rows with a roomy buffer, then list again into the small one.
  std::vector<char> full(MARNEL_TEXT_SIZE);
  int32_t rows = 0;
  if (_GetJournalHeaders(full.data(), MARNEL_TEXT_SIZE) == 1) {
    CHECK(full[MARNEL_TEXT_SIZE - 1] == 0);
    const size_t length = std::strlen(full.data());
    if (length > 0) ++rows;
    for (size_t i = 0; i + 1 < length; ++i) rows += full[i] == '\r' && full[i + 1] == '\n';
  }
  std::vector<char> listing(static_cast<size_t>(text_size), 1);
  const int32_t listed = _GetJournalHeaders(listing.data(), text_size);
  CHECK(listed == opened);
  CHECK(listing[0] == 0 || listed == 1);
  CHECK(listed == 0 || listing[static_cast<size_t>(text_size) - 1] == 0);

  std::vector<char> context(static_cast<size_t>(text_size) + 1);
  for (int32_t position = -1; position <= rows; ++position) {
    context[0] = 1;
    const int32_t result = _GetJournalRecordNumber(position, context.data(), text_size);
    CHECK(std::memchr(context.data(), 0, context.size()) != nullptr);
    CHECK(result == 1 || context[0] == 0);
    CHECK(result == 0 || (position >= 0 && position < rows));
  }
  _CloseJournal();
  return 0;
}
