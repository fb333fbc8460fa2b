#include <gtest/gtest.h>

#include "journal/jrn_trasser.h"
#include "journal_v01_fixture.h"
#include "session/file_log.h"

namespace kalmet {
namespace {

using testing::Clock;
using testing::LogRecorder;

const Clock kT = {12, 30, 0, 15, 3, 10};  // plain binary

// A trace variable of code width w: w leading bytes, then the records.
struct Trace {
  size_t w;
  TData bytes;
  explicit Trace(size_t width) : w(width), bytes(width, 0xEE) {}
  Trace& Add(uint32_t code, uint16_t index, uint8_t priority, const Clock& clock = kT) {
    const size_t at = bytes.size();
    bytes.resize(at + w + 9);
    testing::PutLE(bytes, at, code, w);
    testing::PutLE(bytes, at + w, index, 2);
    bytes[at + w + 2] = priority;
    std::copy(clock.begin(), clock.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at + w + 3));
    return *this;
  }
};

class TraceTest : public testing::JournalTest {
 protected:
  std::vector<std::string> Names() const {
    std::vector<std::string> out;
    for (int i = 0; i < ctx.slTrasser.Count(); ++i) out.push_back(ctx.slTrasser.Object(i)->Name);
    return out;
  }
};

TEST_F(TraceTest, NamesByCodeForBothWidths) {
  for (size_t w : {1u, 2u}) {
    SCOPED_TRACE(w);
    ctx.ListEventsClear();
    Trace t(w);
    t.Add(32, 7, 0)
        .Add(96, 1001, 0)
        .Add(97, 5, 0)
        .Add(114, 0, 3)
        .Add(4, 1001, 9)
        .Add(250, 0, 0)
        .Add(0, 1, 1)                       // an empty record
        .Add(4, 0, 0, {0, 0, 0, 0, 0, 0});  // no time: skipped
    LogRecorder log;
    ASSERT_TRUE(JrnTrasser(ctx, dicts, static_cast<int>(w), t.bytes));
    EXPECT_EQ(Names(), (std::vector<std::string>{
                           "Клавиша  [7]", "Изменение параметра  Индекс = 1001 [Уставка недогруза]",
                           "Изменение  Индекс = 5 [[0x5]]", "Запрос  Приоритет: 3", "Останов",
                           "Неизвестное событие [Код: 0xfa]"}));
    EXPECT_TRUE(log.lines.empty());
    // Equal times share one key; the records keep no code, colour, stop or values.
    const TDateTime stamp = testing::At(kT) + 1.0 / 86400000.0;
    for (int i = 0; i < ctx.slTrasser.Count(); ++i) {
      const TEventData& e = *ctx.slTrasser.Object(i);
      EXPECT_EQ(ctx.slTrasser.Key(i), "2010.03.15 12:30:00.001");
      EXPECT_EQ(e.Key, ctx.slTrasser.Key(i));
      EXPECT_DOUBLE_EQ(e.DateTime, stamp);
      EXPECT_EQ(e.Code, 0u);
      EXPECT_EQ(e.Color, 0u);
      EXPECT_EQ(e.Stop, 0);
      EXPECT_EQ(e.ExData, nullptr);
    }
  }
  // Only the wide code reaches the codes above one byte; its low byte first.
  ctx.ListEventsClear();
  ASSERT_TRUE(JrnTrasser(ctx, dicts, 2, Trace(2).Add(300, 0, 0).Add(0x20, 4, 0).bytes));
  EXPECT_EQ(Names(), (std::vector<std::string>{"Служебное", "Клавиша  [4]"}));
}

TEST_F(TraceTest, LengthsAndCutRecords) {
  struct Case {
    size_t w, size;
    int count;
  };
  // Records are w + 9 bytes after w leading bytes; the walk starts while more than two
  // bytes follow the position, and a record cut short is dropped.
  const Case cases[] = {
      {1, 0, 0},  {1, 1, 0}, {1, 4, 0}, {1, 5, 0},  {1, 10, 0}, {1, 11, 1}, {1, 20, 1},
      {1, 21, 2}, {2, 5, 0}, {2, 6, 0}, {2, 12, 0}, {2, 13, 1}, {2, 23, 1}, {2, 24, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.w) + "/" + ::testing::PrintToString(c.size));
    ctx.ListEventsClear();
    Trace full(c.w);
    full.Add(4, 0, 0).Add(4, 0, 0);
    ASSERT_LE(c.size, full.bytes.size());
    EXPECT_TRUE(JrnTrasser(
        ctx, dicts, static_cast<int>(c.w),
        TData(full.bytes.begin(), full.bytes.begin() + static_cast<std::ptrdiff_t>(c.size))));
    EXPECT_EQ(ctx.slTrasser.Count(), c.count);
  }
  // Busy bytes of every length decode without reading past the end.
  TData busy(60);
  for (size_t i = 0; i < busy.size(); ++i) busy[i] = static_cast<uint8_t>(i * 29 + 3);
  for (size_t n = 0; n <= busy.size(); ++n) {
    for (int w : {1, 2}) {
      EXPECT_TRUE(JrnTrasser(ctx, dicts, w,
                             TData(busy.begin(), busy.begin() + static_cast<std::ptrdiff_t>(n))));
    }
  }
}

TEST_F(TraceTest, NeedsTheVariableDictionary) {
  dicts.Dictionary.reset();
  LogRecorder log;
  EXPECT_FALSE(JrnTrasser(ctx, dicts, 1, Trace(1).Add(4, 0, 0).bytes));
  EXPECT_EQ(ctx.slTrasser.Count(), 0);
  EXPECT_EQ(log.lines, std::vector<std::string>{"Словарь не определен."});
}

}  // namespace
}  // namespace kalmet
