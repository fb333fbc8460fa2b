// Loading a large ".Z4K" stream into the value table, beside reading the same file into
// memory as the floor.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>

#include "session/binary_session.h"
#include "session/session_context.h"
#include "session/stream_writer.h"
#include "session/xml_document.h"

namespace {

constexpr size_t kMiB = 1 << 20;

// A stream of about `mib` MiB. Mixed: most records hold 1 to 8 bytes, as single
// variables do, and one in sixteen holds a block of 256 to 4096 bytes, as journal images
// and graph arrays do. Small: only the 1- to 8-byte records (the per-record worst case).
std::string MakeStream(size_t mib, bool mixed) {
  std::mt19937 rng(7);
  std::string s, data;
  s.reserve(mib * kMiB + 8192);
  const uint32_t t0 = 1268656200;
  while (s.size() < mib * kMiB) {
    const bool block = mixed && rng() % 16 == 0;
    const size_t n = block ? 256 + rng() % 3841 : 1 + rng() % 8;
    data.resize(n);
    for (char& c : data) c = static_cast<char>(rng());
    kalmet::AppendStreamRecord(s, static_cast<uint16_t>(1 + rng() % 20000),
                               static_cast<uint8_t>(rng() % 64), 1,
                               t0 + static_cast<uint32_t>(rng() % 86400), data);
    if (rng() % 64 == 0) kalmet::AppendStreamFiller(s);
  }
  return s;
}

struct StreamFile {
  StreamFile(size_t mib, bool mixed) {
    path = (std::filesystem::temp_directory_path() /
            ("kalmet-bench-" + std::to_string(mib) + (mixed ? "m-mixed" : "m-small") + ".Z4K"))
               .string();
    std::ofstream(path, std::ios::binary) << MakeStream(mib, mixed);
  }
  ~StreamFile() { std::filesystem::remove(path); }
  std::string path;
};

const StreamFile& File(size_t mib, bool mixed) {
  static StreamFile mixed200(200, true), small50(50, false);
  return mixed && mib == 200 ? mixed200 : small50;
}

void BM_ReadFileIntoMemory(benchmark::State& state) {
  const StreamFile& f = File(static_cast<size_t>(state.range(0)), state.range(1) != 0);
  for (auto _ : state) {
    std::string bytes, error;
    if (!kalmet::ReadFileBytes(f.path, bytes, error)) state.SkipWithError(error.c_str());
    benchmark::DoNotOptimize(bytes.data());
    state.SetBytesProcessed(state.bytes_processed() + static_cast<int64_t>(bytes.size()));
  }
}

void BM_LoadZ4KSession(benchmark::State& state) {
  const StreamFile& f = File(static_cast<size_t>(state.range(0)), state.range(1) != 0);
  int64_t records = 0;
  for (auto _ : state) {
    auto ctx = std::make_unique<kalmet::SessionContext>();
    ctx->SetProgramFolder(KALMET_PROGRAM_DIR);
    kalmet::LoadZ4KSession(*ctx, f.path);
    records = ctx->slInputData.Count();
    state.SetBytesProcessed(state.bytes_processed() +
                            static_cast<int64_t>(std::filesystem::file_size(f.path)));
    // Freeing the table belongs to the next load, not to this one.
    state.PauseTiming();
    ctx.reset();
    state.ResumeTiming();
  }
  state.counters["records"] = static_cast<double>(records);
}

// Arguments: size in MiB, mixed (1) or small records only (0).
BENCHMARK(BM_ReadFileIntoMemory)->Args({200, 1})->Args({50, 0})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadZ4KSession)->Args({200, 1})->Args({50, 0})->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
