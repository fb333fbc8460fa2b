// Fuzzes the journal over arbitrary images: Create from blocks, Open, read every
// record, append records and read again. The first byte chooses the number of
// blocks and the options; the next bytes weigh the block sizes; the rest is the image.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "trelbo/journal.h"

namespace {

using kalmet::trelbo::Journal;

class SteppingClock : public kalmet::trelbo::Clock {
 public:
  uint64_t tickMs() override { return ms += 23; }
  uint32_t calendarSeconds() override { return 1'700'000'000; }
  uint64_t ms = 0;
};

uint8_t oddCodes(uint32_t, uint16_t code) {
  return code & 1;
}

// Reads every record; each delivered length must fit the buffer, and no ring
// holds more records than cells.
void readAll(Journal& journal, uint16_t bufferSize, bool filtered) {
  journal.open(filtered ? oddCodes : nullptr, nullptr);
  const uint32_t cells = journal.state().cells;
  // An exactly sized heap buffer lets the sanitizer see any write past it.
  std::unique_ptr<uint8_t[]> buffer(new uint8_t[bufferSize > 0 ? bufferSize : 1]);
  uint32_t label[2];
  uint16_t code;
  uint16_t length = bufferSize;
  uint32_t count = 0;
  for (int32_t result = journal.readFirst(label, &code, buffer.get(), &length); result == 0;
       result = journal.readNext(label, &code, buffer.get(), &length)) {
    if (length > bufferSize || ++count > cells) std::abort();
    length = bufferSize;
  }
  journal.close();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static SteppingClock clock;
  static Journal journal(clock);
  const uint8_t options = size > 0 ? data[0] : 0;
  const size_t blockCount = options & 7;
  const bool forceHeader = options & 0x08;
  const bool filtered = options & 0x10;
  const bool write = options & 0x20;
  const uint16_t bufferSize = (options & 0x40) ? 18 : 65535;
  size_t at = size > 0 ? 1 : 0;

  std::vector<size_t> weights;
  for (size_t i = 0; i < blockCount; ++i) weights.push_back(at < size ? data[at++] + 1u : 1u);
  std::vector<uint8_t> image(data + at, data + size);
  if (forceHeader && image.size() >= 4) {
    image[0] = image[3] = 1;
    image[1] = image[2] = 0;
  }

  // Blocks cut by weight, each a separate heap allocation of exactly its length.
  std::vector<std::vector<uint8_t>> blocks;
  size_t totalWeight = 0;
  for (size_t w : weights) totalWeight += w;
  size_t from = 0;
  for (size_t i = 0; i < blockCount; ++i) {
    size_t n = i + 1 == blockCount ? image.size() - from : image.size() * weights[i] / totalWeight;
    if (n > 65535) n = 65535;
    if (from + n > image.size()) n = image.size() - from;
    blocks.emplace_back(image.begin() + from, image.begin() + from + n);
    from += n;
  }
  std::vector<uint8_t*> pointers;
  std::vector<uint16_t> lengths;
  for (auto& b : blocks) {
    pointers.push_back(b.empty() ? nullptr : b.data());
    lengths.push_back(uint16_t(b.size()));
  }

  int16_t error = 0;
  if (journal.create(pointers.data(), lengths.data(), uint32_t(blocks.size()), &error) != 0) {
    return 0;
  }
  readAll(journal, bufferSize, filtered);
  if (write) {
    uint32_t label[2];
    for (uint32_t length : {0u, 5u, uint32_t(image.size() % 64), 19u}) {
      const uint32_t n = length <= image.size() ? length : 0;
      journal.write(label, n, image.data(), n, &error);
    }
    readAll(journal, bufferSize, filtered);
  }
  return 0;
}
