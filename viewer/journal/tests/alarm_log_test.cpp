#include "journal/alarm_log.h"

#include <gtest/gtest.h>

#include "marnel/codec/journal_writer.h"

namespace kalmet {
namespace {

using marnel::Alarm;
using marnel::AlarmGroup;
using marnel::AlarmParameter;

std::vector<TAlarmLine> Lines(std::initializer_list<std::pair<const char*, const char*>> l) {
  std::vector<TAlarmLine> out;
  for (const auto& [c, v] : l) out.push_back({c, v});
  return out;
}

TData Image(const std::vector<Alarm>& alarms) {
  marnel::JournalWriter writer;
  for (const Alarm& a : alarms) EXPECT_NE(writer.Append(a), 0u);
  return writer.image();
}

const Alarm kOverload{
    "Перегруз",
    "12.03.2024 10:15:00",
    {AlarmParameter{"Ia", "52,1 А"}, AlarmGroup{"Напряжения", {{"Uab", "380"}, {"Ubc", "381"}}}}};
const Alarm kUnderload{"Недогруз", "13.03.2024 08:00:05", {AlarmParameter{"Загрузка", "12 %"}}};

TEST(SplitAlarmLines, CaptionBeforeTheFirstEqualsSign) {
  struct Case {
    const char* text;
    std::vector<TAlarmLine> lines;
  };
  const Case cases[] = {
      {"", {}},
      {"a=b", Lines({{"a", "b"}})},
      {"a=b\r\n", Lines({{"a", "b"}})},
      {"no sign", Lines({{"", "no sign"}})},
      {"x=y=z\r\ngroup=\r\nu=1", Lines({{"x", "y=z"}, {"group", ""}, {"u", "1"}})},
      {"a=1\r\n\r\nb=2", Lines({{"a", "1"}, {"", ""}, {"b", "2"}})},
      {"a=1\nb=2\rc=3", Lines({{"a", "1"}, {"b", "2"}, {"c", "3"}})},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitAlarmLines(c.text), c.lines) << c.text;
}

TEST(AlarmLog, ListsNewestFirstAndServesContexts) {
  TAlarmLog log;
  int changed = 0;
  log.OnChanged = [&] { ++changed; };
  ASSERT_TRUE(log.ParsingAlarmLog(Image({kOverload, kUnderload})));
  EXPECT_EQ(changed, 1);
  EXPECT_EQ(log.Records(),
            Lines({{"Недогруз", "13.03.2024 08:00:05"}, {"Перегруз", "12.03.2024 10:15:00"}}));
  EXPECT_EQ(log.Context(1),
            Lines({{"Ia", "52,1 А"}, {"Напряжения", ""}, {"Uab", "380"}, {"Ubc", "381"}}));
  EXPECT_EQ(log.Context(0), Lines({{"Загрузка", "12 %"}}));
  // Outside the listing Marnel answers nothing.
  EXPECT_TRUE(log.Context(2).empty());
  EXPECT_TRUE(log.Context(-1).empty());
}

TEST(AlarmLog, SecondJournalReplacesTheFirst) {
  TAlarmLog log;
  ASSERT_TRUE(log.ParsingAlarmLog(Image({kOverload, kUnderload})));
  ASSERT_TRUE(log.ParsingAlarmLog(Image({kUnderload})));
  EXPECT_EQ(log.Records(), Lines({{"Недогруз", "13.03.2024 08:00:05"}}));
  EXPECT_EQ(log.Context(0), Lines({{"Загрузка", "12 %"}}));
  EXPECT_TRUE(log.Context(1).empty());
}

TEST(AlarmLog, ShortDamagedOrEmptyVariablesGiveEmptyListsQuietly) {
  TData full = Image({kOverload});
  TData oversized = full;
  oversized.resize(20000, 'x');  // bytes beyond the image are not taken
  TData damaged = full;
  damaged[0] = 'Z';                                     // header 1 broken, header 2 repairs it
  for (size_t i = 130; i < 200; ++i) damaged[i] = '#';  // the only record broken

  struct Case {
    const char* what;
    TData bytes;
    size_t records;
  };
  const Case cases[] = {
      {"empty variable", {}, 0},
      {"first 200 bytes only", TData(full.begin(), full.begin() + 200), 0},
      {"blanks", TData(100, ' '), 0},
      {"oversized", oversized, 1},
      {"damaged record", damaged, 0},
  };
  TAlarmLog log;
  for (const Case& c : cases) {
    // Each load starts from a listed journal, so a stale list would show.
    ASSERT_TRUE(log.ParsingAlarmLog(full));
    ASSERT_EQ(log.Records().size(), 1u);
    EXPECT_TRUE(log.ParsingAlarmLog(c.bytes)) << c.what;
    EXPECT_EQ(log.Records().size(), c.records) << c.what;
  }
}

}  // namespace
}  // namespace kalmet
