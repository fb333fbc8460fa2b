// The journal merge and the row building of the view on one million entries
// (half events with two extended values, half graph samples).
#include <benchmark/benchmark.h>

#include <memory>

#include "journal/journal_rows.h"
#include "session/conversions.h"
#include "session/session_context.h"

namespace {

constexpr int kEntries = 1000000;

void Fill(kalmet::SessionContext& ctx) {
  ctx.iProtocol = 2;
  for (int i = 0; i < kEntries; ++i) {
    auto e = std::make_unique<kalmet::TEventData>();
    e->Key = kalmet::RecordKey(static_cast<uint64_t>(i));
    e->DateTime = 45000 + i / 86400.0;
    if (i % 2) {
      e->GraphPoint = 1;
      e->SetValue(1, 380.0f + static_cast<float>(i % 7));
      std::string key = e->Key;
      ctx.slGraph.Add(std::move(key), std::move(e));
    } else {
      e->Name = "Пуск двигателя";
      e->Color = (i % 10 == 0) ? kalmet::kStopColor : 0x8000;
      e->ExData = std::make_unique<kalmet::TOwnedList<kalmet::TExData>>();
      e->ExData->Add("00001", std::make_unique<kalmet::TExData>("Источник", "Пульт",
                                                                std::array<uint8_t, 4>{}, ""));
      e->ExData->Add(
          "00002", std::make_unique<kalmet::TExData>("Ток", "25,1", std::array<uint8_t, 4>{}, "А"));
      std::string key = e->Key;
      ctx.Journal.Add(std::move(key), std::move(e));
    }
  }
}

void BM_MergeJournal(benchmark::State& state) {
  kalmet::SessionContext ctx;
  Fill(ctx);
  for (auto _ : state) {
    kalmet::BuildJournal(ctx);
    benchmark::DoNotOptimize(ctx.slJournal.Count());
  }
}

void BM_BuildRows(benchmark::State& state) {
  kalmet::SessionContext ctx;
  Fill(ctx);
  kalmet::BuildJournal(ctx);
  kalmet::TJournalRows rows;
  const auto mode = static_cast<kalmet::TJournalMode>(state.range(0));
  for (auto _ : state) {
    rows.Build(ctx, mode, kalmet::TJournalOrder::kNewestFirst, "", "");
    benchmark::DoNotOptimize(rows.Count());
  }
  state.counters["rows"] = rows.Count();
}

BENCHMARK(BM_MergeJournal)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildRows)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
