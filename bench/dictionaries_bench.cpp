// Start-up load of the shipped dictionaries from the program folder, and the formatter.
#include <benchmark/benchmark.h>

#include "dictionaries/dictionaries.h"
#include "dictionaries/format_mask.h"
#include "session/session_context.h"

namespace {

void BM_LoadShippedDictionaries(benchmark::State& state) {
  for (auto _ : state) {
    kalmet::SessionContext ctx;
    ctx.SetProgramFolder(KALMET_PROGRAM_DIR);
    kalmet::TDictionaries dicts;
    if (!kalmet::LoadDictionaries(ctx, dicts)) state.SkipWithError("shipped dictionaries failed");
    benchmark::DoNotOptimize(dicts.Dictionary->Count());
  }
}
BENCHMARK(BM_LoadShippedDictionaries)->Unit(benchmark::kMillisecond);

void BM_LoadSetupFile(benchmark::State& state) {
  kalmet::SessionContext ctx;
  ctx.SetProgramFolder(KALMET_PROGRAM_DIR);
  kalmet::TDictionaries dicts;
  kalmet::LoadDictionaries(ctx, dicts);
  int minor = 0;
  for (auto _ : state) {
    // Alternating versions make every call load its file again.
    dicts.Setups->SetVersion(minor % 2 ? 2 : 3, minor % 2 ? 13 : 5);
    ++minor;
    benchmark::DoNotOptimize(dicts.Setups->PageCount());
  }
}
BENCHMARK(BM_LoadSetupFile)->Unit(benchmark::kMicrosecond);

void BM_FormatMask(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(kalmet::FormatMask("%.2d:%.2d:%.2d", {1, 2, 5}));
    benchmark::DoNotOptimize(kalmet::FormatMask("%.1f", {1.5}));
    benchmark::DoNotOptimize(kalmet::FormatMask("%5.5u", {42}));
  }
}
BENCHMARK(BM_FormatMask);

}  // namespace

BENCHMARK_MAIN();
