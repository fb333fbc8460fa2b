// Parsing a protocol-2 journal of about one million records from a full image: the
// largest image the journal library takes (255 blocks of 65535 bytes), written past the
// end of the ring so that it is full, with the record counter wrapping past 2^32 in the
// middle. Each moment has graph records for a varying set of channels (so that FillValues
// has gaps to fill) and one event for the journal and trace lists. Records are one cell
// each (graph values without their validity byte), which is what lets a million of them
// fit in the image.
#include <benchmark/benchmark.h>

#include <bit>
#include <cstdlib>
#include <memory>
#include <vector>

#include "dictionaries/dictionaries.h"
#include "journal/parser_ver2.h"
#include "journal/trelbo_binding.h"
#include "session/session_context.h"
#include "trelbo/image_builder.h"

namespace {

using namespace kalmet;

constexpr size_t kBlocks = TParserVer2::kMaxBlocks;
constexpr size_t kBlockSize = TParserVer2::kMaxBlockLength;
constexpr uint16_t kGraphCodes[] = {0x9000, 0x9001, 0x9002, 0x9003, 0x9004, 0x9005, 0x9006,
                                    0x9007, 0x9008, 0x9009, 0x900A, 0x900B, 0x900C, 0x900D,
                                    0x900E, 0x9030, 0x9031, 0x9032, 0x9033, 0x9034};

std::vector<TData> FullImagePieces() {
  trelbo::ImageBuilder b(kBlocks * kBlockSize);
  const uint64_t cellsToWrite = b.cellCount() + b.cellCount() / 3;
  // The counter wraps about halfway through the records the full ring keeps.
  uint32_t label = uint32_t(0) - 2 * 67'000u;
  uint32_t time = 1'700'000'000;
  uint64_t written = 0;
  for (uint32_t moment = 0; written < cellsToWrite; ++moment, label += 2, time += 60) {
    // 12 channels a moment, starting at a moving place in the code list.
    for (uint32_t k = 0; k < 12; ++k) {
      const uint16_t code = kGraphCodes[(moment * 7 + k) % std::size(kGraphCodes)];
      const uint32_t bits = std::bit_cast<uint32_t>(float(moment % 1000) + 0.5f * float(k));
      const uint8_t value[4] = {uint8_t(bits), uint8_t(bits >> 8), uint8_t(bits >> 16),
                                uint8_t(bits >> 24)};
      b.append({label, time}, code, value);
    }
    const uint8_t detail[1] = {uint8_t(moment)};
    if (moment % 2) {
      b.append({label + 1, time}, 0x4005, detail);  // journal and trace
    } else {
      b.append({label + 1, time}, 0x2013, detail);  // journal, motor stop
    }
    written += 13;
  }
  return b.blocks(kBlockSize);
}

struct Program {
  SessionContext ctx;
  TDictionaries dicts;
  TTrelbo trelbo;
  std::vector<TData> pieces = FullImagePieces();

  Program() {
    ctx.SetProgramFolder(KALMET_PROGRAM_DIR);
    std::string error;
    if (!LoadDictionaries(ctx, dicts) || !trelbo.Load(ctx.sAppPath + TTrelbo::kFileName, error)) {
      std::abort();
    }
  }
};

Program& program() {
  static Program* p = new Program;
  return *p;
}

void FillTable(SessionContext& ctx, const std::vector<TData>& pieces) {
  for (size_t k = 0; k < pieces.size(); ++k) {
    const uint32_t variable = 16400 + uint32_t(k);
    auto d = std::make_unique<TInputData>();
    d->Id = TParserVer2::kDescriptorId;
    d->ArrayIndex = int32_t(k);
    d->Data = {uint8_t(variable), uint8_t(variable >> 8), 0, 0};
    ctx.slInputData.Add(std::move(d));
    auto piece = std::make_unique<TInputData>();
    piece->Id = int32_t(variable);
    piece->Data = pieces[k];
    ctx.slInputData.Add(std::move(piece));
  }
}

void BM_ParsingFullImage(benchmark::State& state) {
  Program& p = program();
  TParserVer2 parser(p.dicts, p.trelbo);
  for (auto _ : state) {
    state.PauseTiming();
    auto ctx = std::make_unique<SessionContext>();
    FillTable(*ctx, p.pieces);
    state.ResumeTiming();
    parser.Parsing(*ctx);
    state.PauseTiming();
    state.counters["records"] = parser.RecordCount();
    state.counters["samples"] = ctx->slGraph.Count();
    state.counters["journal"] = ctx->Journal.Count();
    state.counters["trace"] = ctx->slTrasser.Count();
    state.counters["wrap_rows"] = parser.WrapCount();
    ctx.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ParsingFullImage)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
