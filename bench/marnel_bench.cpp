// Marnel on a full 16 384-byte alarm image: open and listing through the C ABI, one
// record's context, and the ring scan alone.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "marnel.h"
#include "marnel/codec/journal_writer.h"
#include "marnel/codec/ring_scan.h"

namespace {

using namespace kalmet::marnel;

// A ring that has wrapped several times, filled with alarms carrying a typical context.
std::vector<uint8_t> FullImage() {
  JournalWriter writer(MARNEL_IMAGE_SIZE);
  for (int i = 0; i < 400; ++i) {
    writer.Append({"Перегрузка ПЭД " + std::to_string(i % 17),
                   "12.03.2024 10:" + std::to_string(10 + i % 50) + ":00",
                   {AlarmParameter{"Ток фазы A", std::to_string(i % 90) + ",5 А"},
                    AlarmParameter{"Напряжение", "380 В"},
                    AlarmGroup{"Токи", {{"Ia", "41,2"}, {"Ib", "40,9"}, {"Ic", "42,0"}}}}});
  }
  return writer.image();
}

void BM_OpenAndList(benchmark::State& state) {
  const std::vector<uint8_t> source = FullImage();
  std::vector<uint8_t> image = source;
  std::vector<char> text(MARNEL_TEXT_SIZE + 1);
  int64_t rows = 0;
  for (auto _ : state) {
    _CloseJournal();
    if (_OpenJournal(image.data(), MARNEL_IMAGE_SIZE) != MARNEL_SUCCESS ||
        _GetJournalHeaders(text.data(), MARNEL_TEXT_SIZE) != MARNEL_SUCCESS) {
      state.SkipWithError("open or listing failed");
      break;
    }
    benchmark::DoNotOptimize(text.data());
    ++rows;
  }
  _CloseJournal();
  state.counters["bytes_listed"] = static_cast<double>(std::string(text.data()).size());
  state.SetBytesProcessed(rows * MARNEL_IMAGE_SIZE);
}
BENCHMARK(BM_OpenAndList)->Unit(benchmark::kMicrosecond);

void BM_Context(benchmark::State& state) {
  std::vector<uint8_t> image = FullImage();
  std::vector<char> text(MARNEL_TEXT_SIZE + 1);
  _CloseJournal();
  _OpenJournal(image.data(), MARNEL_IMAGE_SIZE);
  _GetJournalHeaders(text.data(), MARNEL_TEXT_SIZE);
  for (auto _ : state) {
    // The oldest alarm is the last row: its search walks furthest.
    benchmark::DoNotOptimize(_GetJournalRecordNumber(40, text.data(), MARNEL_TEXT_SIZE));
  }
  _CloseJournal();
}
BENCHMARK(BM_Context)->Unit(benchmark::kMicrosecond);

void BM_ScanRing(benchmark::State& state) {
  std::vector<uint8_t> image = FullImage();
  const JournalImage view(image.data(), MARNEL_IMAGE_SIZE);
  for (auto _ : state) benchmark::DoNotOptimize(ScanRing(view));
  state.SetBytesProcessed(state.iterations() * MARNEL_IMAGE_SIZE);
}
BENCHMARK(BM_ScanRing)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
