// Large generated sessions opened through the engine (reader, parsers, journal merge),
// each beside its floor. The sessions come from bench/run, which writes them with
// kalmet-sessiongen into the folder named by KALMET_BENCH_SESSIONS:
//   journal.Z4K  protocol 2, a journal image of about 800 000 records
//   archive.xml  protocol 1, about 500 000 value elements
//   stream.Z4K   protocol 1, about 200 MB
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <pugixml.hpp>
#include <string>

#include "engine.h"
#include "session/binary_session.h"
#include "session/session_context.h"
#include "session/xml_document.h"
#include "trelbo/cell.h"

namespace {

std::string SessionPath(const char* name) {
  const char* folder = std::getenv("KALMET_BENCH_SESSIONS");
  return (std::filesystem::path(folder ? folder : ".") / name).string();
}

kalmet::TEngine& Engine() {
  static kalmet::TEngine* engine = [] {
    auto* e = new kalmet::TEngine();
    e->Start(KALMET_PROGRAM_DIR);
    return e;
  }();
  return *engine;
}

void SetFileBytes(benchmark::State& state, const std::string& file) {
  state.SetBytesProcessed(state.iterations() *
                          static_cast<int64_t>(std::filesystem::file_size(file)));
}

// The whole open of a session, as the window does it.
void Open(benchmark::State& state, const char* name) {
  const std::string file = SessionPath(name);
  if (!std::filesystem::exists(file)) return state.SkipWithError("run bench/run");
  kalmet::TEngine& engine = Engine();
  for (auto _ : state) {
    if (!engine.Open(file)) state.SkipWithError("open failed");
    benchmark::DoNotOptimize(engine.ctx.slJournal.Count());
  }
  SetFileBytes(state, file);
  state.counters["journal"] = engine.ctx.Journal.Count();
  state.counters["trace"] = engine.ctx.slTrasser.Count();
  state.counters["variables"] = engine.ctx.slInputData.Count();
}

void BM_OpenProtocol2Journal(benchmark::State& state) {
  Open(state, "journal.Z4K");
}

// Floor: one pass over the journal image that the session carries, summing every cell's
// bytes as a reader checking the cells must.
void BM_JournalImageOnePass(benchmark::State& state) {
  const std::string file = SessionPath("journal.Z4K");
  if (!std::filesystem::exists(file)) return state.SkipWithError("run bench/run");
  kalmet::SessionContext ctx;
  ctx.SetProgramFolder(KALMET_PROGRAM_DIR);
  kalmet::LoadZ4KSession(ctx, file);
  std::map<int, int> pieces;  // array index -> variable
  for (int i = 0; i < ctx.slInputData.Count(); ++i) {
    const kalmet::TInputData* d = ctx.slInputData.Object(i);
    if (d->Id == 16380 && d->Data.size() >= 4)
      pieces[d->ArrayIndex] = d->Data[0] | d->Data[1] << 8 | d->Data[2] << 16 | d->Data[3] << 24;
  }
  std::string image;
  for (const auto& [index, variable] : pieces) {
    const kalmet::TData block = ctx.slInputData.GetValueData(variable);
    image.append(block.begin(), block.end());
  }
  const auto* bytes = reinterpret_cast<const uint8_t*>(image.data());
  const size_t cells = (image.size() - kalmet::trelbo::kHeaderSize) / kalmet::trelbo::kCellSize;
  for (auto _ : state) {
    uint64_t good = 0;
    for (size_t c = 0; c < cells; ++c) {
      const uint8_t* cell = bytes + kalmet::trelbo::kHeaderSize + c * kalmet::trelbo::kCellSize;
      uint8_t sum = 0;
      for (unsigned k = 0; k < kalmet::trelbo::kCheckByte; ++k) sum += cell[k];
      good += sum == cell[kalmet::trelbo::kCheckByte];
    }
    benchmark::DoNotOptimize(good);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(image.size()));
  state.counters["cells"] = static_cast<double>(cells);
}

void BM_OpenXmlSession(benchmark::State& state) {
  Open(state, "archive.xml");
}

// Floor: reading the file and a bare pugixml parse of its bytes.
void BM_BarePugixmlParse(benchmark::State& state) {
  const std::string file = SessionPath("archive.xml");
  if (!std::filesystem::exists(file)) return state.SkipWithError("run bench/run");
  for (auto _ : state) {
    std::string bytes, error;
    kalmet::ReadFileBytes(file, bytes, error);
    pugi::xml_document doc;
    benchmark::DoNotOptimize(doc.load_buffer(bytes.data(), bytes.size()));
  }
  SetFileBytes(state, file);
}

void BM_OpenZ4KSession(benchmark::State& state) {
  Open(state, "stream.Z4K");
}

// Floor: reading the file into memory.
void BM_PlainFileRead(benchmark::State& state) {
  const std::string file = SessionPath("stream.Z4K");
  if (!std::filesystem::exists(file)) return state.SkipWithError("run bench/run");
  for (auto _ : state) {
    std::string bytes, error;
    if (!kalmet::ReadFileBytes(file, bytes, error)) state.SkipWithError(error.c_str());
    benchmark::DoNotOptimize(bytes.data());
  }
  SetFileBytes(state, file);
}

}  // namespace

BENCHMARK(BM_OpenProtocol2Journal)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_JournalImageOnePass)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_OpenXmlSession)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_BarePugixmlParse)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_OpenZ4KSession)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PlainFileRead)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
