// The journal page over a large journal: Refill (rows, model reset, expanding the events
// with values), a repaint after a jump, and the heap the page takes per row. Runs on the
// offscreen platform unless another is chosen.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <QApplication>
#include <QImage>
#include <QScrollBar>
#include <QTreeView>
#include <cmath>
#include <memory>

#include "frame_journal.h"
#include "session/date_time.h"
#include "session/session_context.h"

using namespace kalmet;
using namespace kalmet::shell;

namespace {

// Half events (every other one with two values, as parameter changes have) and half
// graph samples, one a minute.
std::unique_ptr<SessionContext> MakeSession(int rows) {
  auto ctx = std::make_unique<SessionContext>();
  ctx->iProtocol = 2;
  const TDateTime start = EncodeDate(2024, 1, 1);
  for (int i = 0; i < rows; ++i) {
    const TDateTime t = start + i / 1440.0;
    std::string key = DateTimeKey(t);
    if (i % 2 == 0) {
      auto e = std::make_unique<TEventData>();
      e->DateTime = t;
      e->Key = key;
      e->Code = static_cast<uint32_t>(i);
      e->Name = "Изменение параметра с компьютера";
      e->Color = i % 10 == 0 ? 0xFF : 0x008000;
      if (i % 4 == 0) {
        e->ExData = std::make_unique<TOwnedList<TExData>>();
        e->ExData->Add("1", std::make_unique<TExData>("Старое значение", "120",
                                                      std::array<uint8_t, 4>{}, "%"));
        e->ExData->Add(
            "2", std::make_unique<TExData>("Новое значение", "115", std::array<uint8_t, 4>{}, "%"));
      }
      ctx->Journal.Add(std::move(key), std::move(e));
    } else {
      auto s = std::make_unique<TEventData>(NAN);
      s->DateTime = t;
      s->Key = key;
      s->GraphPoint = 1;
      for (int c = 1; c <= 15; ++c) s->SetValue(c, 100.0f + static_cast<float>(c));
      ctx->slGraph.Add(std::move(key), std::move(s));
    }
  }
  BuildJournal(*ctx);
  return ctx;
}

SessionContext& Session(int rows) {
  static std::map<int, std::unique_ptr<SessionContext>> sessions;
  auto& s = sessions[rows];
  if (!s) s = MakeSession(rows);
  return *s;
}

// Allocated bytes, from the arenas and mapped blocks alike.
size_t HeapInUse() {
  const struct mallinfo2 m = mallinfo2();
  return m.uordblks + m.hblkhd;
}

void BM_JournalRefill(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  SessionContext& ctx = Session(rows);
  double bytes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const size_t before = HeapInUse();
    auto frame = std::make_unique<TFrameJournal>(ctx);
    frame->resize(1200, 700);
    frame->show();
    QCoreApplication::processEvents();
    state.ResumeTiming();
    frame->Refill();
    frame->Tree()->viewport()->repaint();
    state.PauseTiming();
    bytes = static_cast<double>(HeapInUse() - before) / rows;
    frame.reset();
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
  state.counters["heap_bytes_per_row"] = bytes;
  state.counters["rows"] = rows;
}
BENCHMARK(BM_JournalRefill)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

// A jump to another part of the journal and the painting of the rows then visible.
void BM_JournalScrollPaint(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  TFrameJournal frame(Session(rows));
  frame.resize(1200, 700);
  frame.show();
  frame.Refill();
  QScrollBar* bar = frame.Tree()->verticalScrollBar();
  QWidget* viewport = frame.Tree()->viewport();
  QImage image(viewport->size(), QImage::Format_ARGB32_Premultiplied);
  int64_t step = 0;
  for (auto _ : state) {
    bar->setValue(static_cast<int>((step++ * 104729) % (bar->maximum() + 1)));
    viewport->render(&image);
  }
}
BENCHMARK(BM_JournalScrollPaint)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
