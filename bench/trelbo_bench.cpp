// Unpacking a full journal (255 blocks of 65535 bytes, short records, wrapped
// ring) through the library's C functions, beside one linear pass over the same
// bytes that verifies every cell check.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "trelbo.h"
#include "trelbo/image_builder.h"

namespace {

using namespace kalmet::trelbo;

constexpr size_t kBlocks = 255;
constexpr size_t kBlockSize = 65535;

// The full image, as the controller leaves it after writing past the end of the ring.
const ImageBuilder& fullImage() {
  static const ImageBuilder* image = [] {
    auto* b = new ImageBuilder(kBlocks * kBlockSize);
    uint8_t data[12];
    for (uint8_t i = 0; i < sizeof data; ++i) data[i] = uint8_t(i * 37);
    const uint64_t cellsToWrite = b->cellCount() + b->cellCount() / 3;
    uint64_t written = 0;
    for (uint32_t i = 0; written < cellsToWrite; ++i) {
      const uint32_t length = i % 13;  // 0..12 bytes: one or two cells
      b->append({i * 3, 1'700'000'000 + i / 8}, uint16_t(0x100 + i % 50),
                std::span<const uint8_t>(data, length));
      written += recordCellCount(length);
    }
    return b;
  }();
  return *image;
}

struct Blocks {
  std::vector<std::vector<uint8_t>> bytes;
  std::vector<uint8_t*> pointers;
  std::vector<uint16_t> lengths;
};

Blocks& blocks() {
  static Blocks* b = [] {
    auto* out = new Blocks;
    out->bytes = fullImage().blocks(kBlockSize);
    for (auto& block : out->bytes) {
      out->pointers.push_back(block.data());
      out->lengths.push_back(uint16_t(block.size()));
    }
    return out;
  }();
  return *b;
}

bool create() {
  Blocks& b = blocks();
  int16_t error = 0;
  return Create(b.pointers.data(), b.lengths.data(), uint32_t(b.pointers.size()), &error) == 0;
}

uint64_t openReadAll(std::vector<uint8_t>& buffer) {
  int16_t error = 0;
  Open(nullptr, &error);
  uint32_t label[2];
  uint16_t code;
  uint16_t length = uint16_t(buffer.size());
  uint64_t records = 0;
  for (int32_t r = ReadFirst(label, &code, buffer.data(), &length); r == 0;
       r = ReadNext(label, &code, buffer.data(), &length)) {
    ++records;
    length = uint16_t(buffer.size());
  }
  Close();
  return records;
}

void BM_CreateOpenReadAll(benchmark::State& state) {
  std::vector<uint8_t> buffer(TRELBO_MAX_RECORD_LENGTH);
  uint64_t records = 0;
  for (auto _ : state) {
    if (!create()) {
      state.SkipWithError("Create failed");
      break;
    }
    records = openReadAll(buffer);
    benchmark::DoNotOptimize(records);
  }
  state.counters["records"] = double(records);
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kBlocks * kBlockSize));
}
BENCHMARK(BM_CreateOpenReadAll)->Unit(benchmark::kMillisecond);

// The two halves on their own: Create (copy and analysis), then Open and reading.
void BM_CreateOnly(benchmark::State& state) {
  for (auto _ : state) {
    if (!create()) state.SkipWithError("Create failed");
  }
}
BENCHMARK(BM_CreateOnly)->Unit(benchmark::kMillisecond);

void BM_OpenReadAllOnly(benchmark::State& state) {
  std::vector<uint8_t> buffer(TRELBO_MAX_RECORD_LENGTH);
  if (!create()) state.SkipWithError("Create failed");
  for (auto _ : state) benchmark::DoNotOptimize(openReadAll(buffer));
}
BENCHMARK(BM_OpenReadAllOnly)->Unit(benchmark::kMillisecond);

// One pass over the same bytes: every cell's check verified with the codec's check.
void BM_LinearCellCheckPass(benchmark::State& state) {
  const std::vector<uint8_t>& bytes = fullImage().bytes();
  const uint32_t cells = fullImage().cellCount();
  for (auto _ : state) {
    uint32_t good = 0;
    for (uint32_t i = 0; i < cells; ++i) good += cellCheckOk(bytes.data() + 4 + size_t(i) * 16);
    benchmark::DoNotOptimize(good);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kBlocks * kBlockSize));
}
BENCHMARK(BM_LinearCellCheckPass)->Unit(benchmark::kMillisecond);

// The same pass written plainly: bytes 0..14 of each cell added one by one.
void BM_LinearByteSumPass(benchmark::State& state) {
  const std::vector<uint8_t>& bytes = fullImage().bytes();
  const uint32_t cells = fullImage().cellCount();
  for (auto _ : state) {
    uint32_t good = 0;
    for (uint32_t i = 0; i < cells; ++i) {
      const uint8_t* cell = bytes.data() + 4 + size_t(i) * 16;
      unsigned sum = 0;
      for (int k = 0; k < 15; ++k) sum += cell[k];
      good += uint8_t(sum) == cell[15];
    }
    benchmark::DoNotOptimize(good);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kBlocks * kBlockSize));
}
BENCHMARK(BM_LinearByteSumPass)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
