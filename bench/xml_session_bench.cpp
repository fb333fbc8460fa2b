// Loading a large XML session into the value table, beside a bare pugixml parse of the
// same bytes (read from the same file) as the floor.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <pugixml.hpp>
#include <random>
#include <string>

#include "session/session_context.h"
#include "session/xml_document.h"
#include "session/xml_session.h"

namespace {

// About 50 MB: 500 000 value elements of 1 to 8 bytes, as a read-out would hold.
const std::string& SessionFile() {
  static const std::string path = [] {
    const auto p = std::filesystem::temp_directory_path() / "kalmet-bench-session-50m.xml";
    std::mt19937 rng(1);
    std::string s;
    s.reserve(60 << 20);
    s += "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n";
    s += "<SessionReadedData WellClusterName=\"12\" OilWellName=\"345\" "
         "SessionTime=\"2010.03.15 12:30:00\" CSCSoftwareVersion=\"2.13.4\">\r\n";
    char buf[160];
    for (int i = 0; i < 500000; ++i) {
      std::snprintf(buf, sizeof buf,
                    "<V VariableId=\"%d\" VariableValueArrayIndex=\"%d\" "
                    "VariableValueQuality=\"1\" VariableValueTime=\"18 48 %d 21 3 16\">",
                    1 + static_cast<int>(rng() % 20000), i % 64, static_cast<int>(rng() % 0x59));
      s += buf;
      const int n = 1 + static_cast<int>(rng() % 8);
      for (int k = 0; k < n; ++k) {
        std::snprintf(buf, sizeof buf, k ? " %X" : "%X", static_cast<unsigned>(rng() % 256));
        s += buf;
      }
      s += "</V>\r\n";
    }
    s += "</SessionReadedData>\r\n";
    std::ofstream(p, std::ios::binary) << s;
    return p.string();
  }();
  return path;
}

void BM_LoadXmlSession(benchmark::State& state) {
  const std::string& file = SessionFile();
  for (auto _ : state) {
    kalmet::SessionContext ctx;
    if (!kalmet::LoadXmlSession(ctx, file)) state.SkipWithError("load failed");
    benchmark::DoNotOptimize(ctx.slInputData.Count());
    benchmark::DoNotOptimize(ctx.slInputData.Object(0));  // settles the table order
  }
  state.SetBytesProcessed(state.iterations() *
                          static_cast<int64_t>(std::filesystem::file_size(file)));
}

void BM_BarePugixmlParse(benchmark::State& state) {
  const std::string& file = SessionFile();
  for (auto _ : state) {
    std::string bytes, error;
    kalmet::ReadFileBytes(file, bytes, error);
    pugi::xml_document doc;
    benchmark::DoNotOptimize(doc.load_buffer(bytes.data(), bytes.size()));
  }
  state.SetBytesProcessed(state.iterations() *
                          static_cast<int64_t>(std::filesystem::file_size(file)));
}

BENCHMARK(BM_BarePugixmlParse)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_LoadXmlSession)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
