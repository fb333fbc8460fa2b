// Decoding a full 1000-slot version-1 event journal with the shipped dictionaries.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "dictionaries/dictionaries.h"
#include "journal/journal1.h"
#include "session/conversions.h"
#include "session/session_context.h"

namespace {

uint8_t Bcd(int n) {
  return static_cast<uint8_t>((n / 10) << 4 | (n % 10));
}

// Every slot holds a described event: starts, stops, trips with values, parameter
// changes. sameTime puts every record in one second, so each key is shifted past all
// earlier ones.
kalmet::TData FullRing(bool sameTime) {
  static const uint16_t kCodes[] = {1, 4, 10, 11, 13, 14, 18, 30, 31, 40, 96, 97, 24, 2};
  kalmet::TData ring(2 + 20 * 1000, 0);
  ring[0] = 0xE5;  // head 997
  ring[1] = 0x03;
  for (int i = 0; i < 1000; ++i) {
    uint8_t* s = ring.data() + 2 + 20 * i;
    const uint16_t code = kCodes[i % std::size(kCodes)];
    s[0] = static_cast<uint8_t>(code);
    s[1] = static_cast<uint8_t>(code >> 8);
    const int index = 1001 + i % 12;
    s[2] = static_cast<uint8_t>(index);
    s[3] = static_cast<uint8_t>(index >> 8);
    for (int k = 0; k < 8; ++k) s[6 + k] = static_cast<uint8_t>(i * 7 + k);
    const int minute = sameTime ? 0 : i;
    const int clock[6] = {minute / 60 % 24, minute % 60, 0, 1 + minute / 1440, 3, 10};
    for (int k = 0; k < 6; ++k) s[14 + k] = Bcd(clock[k]);
  }
  return ring;
}

void DecodeRing(benchmark::State& state, bool sameTime) {
  kalmet::SessionContext ctx;
  ctx.SetProgramFolder(KALMET_PROGRAM_DIR);
  kalmet::TDictionaries dicts;
  if (!kalmet::LoadDictionaries(ctx, dicts)) state.SkipWithError("shipped dictionaries failed");
  kalmet::AttachDictionaries(ctx, dicts);
  kalmet::TJournal1 journal(dicts);
  const kalmet::TData ring = FullRing(sameTime);
  for (auto _ : state) {
    journal.ParsingEvent(ctx, ring);
    benchmark::DoNotOptimize(ctx.Journal.Count());
  }
  state.counters["events"] = ctx.Journal.Count();
}

void BM_Journal1FullRing(benchmark::State& state) {
  DecodeRing(state, false);
}
BENCHMARK(BM_Journal1FullRing)->Unit(benchmark::kMicrosecond);

void BM_Journal1FullRingOneSecond(benchmark::State& state) {
  DecodeRing(state, true);
}
BENCHMARK(BM_Journal1FullRingOneSecond)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
