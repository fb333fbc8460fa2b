#include <gtest/gtest.h>

#include "journal/journal1.h"
#include "journal_v01_fixture.h"
#include "session/file_log.h"

namespace kalmet {
namespace {

using testing::Clock;
using testing::Journal1;
using testing::LogRecorder;
using testing::Slot1;

class Journal1Test : public testing::JournalTest {
 protected:
  bool Parse(const TData& bytes) { return journal.ParsingEvent(ctx, bytes); }

  // The marker byte (first extended value of event 1) of every entry, in key order.
  std::vector<int> Markers() const {
    std::vector<int> out;
    for (int i = 0; i < ctx.Journal.Count(); ++i) {
      out.push_back(ctx.Journal.GetEvent(i)->ExData->Object(0)->Raw[0]);
    }
    return out;
  }

  TJournal1 journal{dicts};
};

const Clock kT = {12, 30, 0, 15, 3, 10};  // 2010-03-15 12:30:00

TEST_F(Journal1Test, RingIsDecodedOldestFirst) {
  // Equal time stamps give keys in decoding order, so the markers show that order.
  const int slots[] = {0, 1, 500, 998, 999};
  std::vector<std::pair<int, TData>> ring;
  for (uint8_t m = 0; m < 5; ++m) ring.push_back({slots[m], Slot1(1, kT, {m})});
  struct Case {
    uint16_t head;
    std::vector<int> markers;
  };
  const Case cases[] = {
      {0, {0, 1, 2, 3, 4}},     {999, {4, 0, 1, 2, 3}},  {500, {2, 3, 4, 0, 1}},
      {1, {1, 2, 3, 4, 0}},     {1000, {0, 1, 2, 3, 4}},  // a head beyond the ring: 0 .. 999
      {65535, {0, 1, 2, 3, 4}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.head);
    ASSERT_TRUE(Parse(Journal1(c.head, ring)));
    EXPECT_EQ(Markers(), c.markers);
  }
}

TEST_F(Journal1Test, EqualTimesGetKeysOneMillisecondApartAndTheSameTime) {
  const Clock later = {12, 30, 1, 15, 3, 10};
  ASSERT_TRUE(Parse(Journal1(
      0, {{3, Slot1(4, kT)}, {4, Slot1(4, kT)}, {5, Slot1(4, later)}, {6, Slot1(1, kT, {7})}})));
  EXPECT_EQ(Keys(),
            (std::vector<std::string>{"2010.03.15 12:30:00.001", "2010.03.15 12:30:00.002",
                                      "2010.03.15 12:30:00.003", "2010.03.15 12:30:01.001"}));
  EXPECT_EQ(Codes(), (std::vector<uint32_t>{4, 4, 1, 4}));
  const TDateTime t = testing::At(kT) + 1.0 / 86400000.0;
  for (int i : {0, 1, 2}) EXPECT_DOUBLE_EQ(ctx.Journal.GetEvent(i)->DateTime, t);
  EXPECT_EQ(ctx.Journal.GetEvent(0)->Key, ctx.Journal.GetKey(0));

  // A record dropped by its values leaves its key to the next one of that second.
  ASSERT_TRUE(Parse(Journal1(0, {{0, Slot1(4, kT)},
                                 {1, Slot1(11, kT, {1, 0, 0, 0, 2, 0, 0, 0})},
                                 {2, Slot1(4, later)},
                                 {3, Slot1(1, kT, {7})},
                                 {4, Slot1(4, kT)}})));
  EXPECT_EQ(Keys(),
            (std::vector<std::string>{"2010.03.15 12:30:00.001", "2010.03.15 12:30:00.002",
                                      "2010.03.15 12:30:00.003", "2010.03.15 12:30:01.001"}));
  EXPECT_EQ(Codes(), (std::vector<uint32_t>{4, 1, 4, 4}));
}

TEST_F(Journal1Test, EventFieldsAndExtendedValues) {
  ASSERT_TRUE(Parse(
      Journal1(0, {{0, Slot1(10, kT, {0x50, 0x00, 0x0C, 0, 0, 0})},  // 2 bytes, then 4
                   {1, Slot1(12, kT, {0xFF, 0xFF, 0xDC, 0x00})},     // unnamed 2 skipped
                   {2, Slot1(11, kT, {1, 0, 0, 0, 2, 0, 0, 0})},     // 4 + 4 + 1 > 8
                   {3, Slot1(13, kT, {0x34, 0x12, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF})},  // 8 bytes wide
                   {4, Slot1(4, kT)}})));
  ASSERT_EQ(Codes(), (std::vector<uint32_t>{10, 12, 13, 4}));

  const TEventData& trip = *ctx.Journal.GetEvent(0);
  EXPECT_EQ(trip.Name, "Недогруз");
  EXPECT_EQ(trip.Color, 0x0000FFu);
  EXPECT_EQ(trip.Stop, 1);
  EXPECT_EQ(trip.GraphPoint, 0);
  EXPECT_EQ(Values(trip), (std::vector<std::string>{"00001:Ток|12|А", "00002:Уставка|80|%"}));
  EXPECT_EQ(trip.ExData->Object(0)->Raw, (std::array<uint8_t, 4>{0x0C, 0, 0, 0}));

  EXPECT_EQ(Values(*ctx.Journal.GetEvent(1)), (std::vector<std::string>{"00002:Значение|220|В"}));
  // A value wider than Raw keeps its low four bytes.
  const TEventData& wide = *ctx.Journal.GetEvent(2);
  EXPECT_EQ(wide.ExData->Object(0)->Raw, (std::array<uint8_t, 4>{0x34, 0x12, 0, 0}));
  EXPECT_EQ(wide.ExData->Object(0)->Text, "0x1234");
  // No extra values: no list at all.
  EXPECT_EQ(ctx.Journal.GetEvent(3)->ExData, nullptr);

  // Stop value 1 counts, decoded or not (event 11 failed its values).
  EXPECT_EQ(Description(10)->Counter, 1);
  EXPECT_EQ(Description(11)->Counter, 1);
  EXPECT_EQ(Description(4)->Counter, 1);
  EXPECT_EQ(Description(1)->Counter, 0);
}

TEST_F(Journal1Test, ParameterChanges) {
  struct Case {
    const char* what;
    uint16_t code, index;
    bool added;
    std::string name;
    std::vector<std::string> values;
    const char* log;
  };
  const Case cases[] = {
      {"index, before, after",
       96,
       1001,
       true,
       "Изменение параметра [Уставка недогруза]",
       {"00001:||", "00002:Было|50|%", "00003:Стало|60|%"},
       nullptr},
      {"index only described",
       97,
       1001,
       true,
       "Изменение [Уставка недогруза]",
       {"00001:||", "00001:???????|0x32|%", "00002:???????|0x3c|%"},
       nullptr},
      {"text variable", 96, 1050, true, "Изменение параметра [Название]", {}, nullptr},
      {"IgnoreEvent3", 96, 1060, true, "Изменение параметра [Пароль]", {}, nullptr},
      {"no extra values", 99, 1001, true, "Изменение без описания", {}, nullptr},
      {"unknown index",
       96,
       5555,
       false,
       "",
       {},
       "[TJournal1.FormattingChangeIndex] Index=5555  Индекс: 5555 отсутствует в словаре."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    LogRecorder log;
    ASSERT_TRUE(Parse(Journal1(0, {{0, Slot1(c.code, kT, {50, 0, 0, 0, 60, 0, 0, 0}, c.index)}})));
    ASSERT_EQ(ctx.Journal.Count(), c.added ? 1 : 0);
    if (c.log) {
      EXPECT_EQ(log.lines, std::vector<std::string>{c.log});
    } else {
      EXPECT_TRUE(log.lines.empty());
    }
    if (!c.added) continue;
    const TEventData& e = *ctx.Journal.GetEvent(0);
    EXPECT_EQ(e.Name, c.name);
    EXPECT_EQ(Values(e), c.values);
    if (c.values.empty()) {
      EXPECT_EQ(e.ExData, nullptr);
    }
  }
  // The index entry carries the index as its raw value.
  ASSERT_TRUE(Parse(Journal1(0, {{0, Slot1(96, kT, {}, 1001)}})));
  EXPECT_EQ(ctx.Journal.GetEvent(0)->ExData->Object(0)->Raw,
            (std::array<uint8_t, 4>{0xE9, 0x03, 0, 0}));
}

TEST_F(Journal1Test, UnknownCodesAndDamagedTimesDropOnlyTheirRecord) {
  struct Case {
    const char* what;
    TData slot;
    const char* log;  // the one line expected, or null for none
  };
  const Clock feb31 = {0, 0, 0, 31, 2, 10};
  TData nonBcd = Slot1(4, kT);
  nonBcd[15] = 0x1A;
  TData zeroTime = Slot1(4, kT);
  std::fill(zeroTime.begin() + 14, zeroTime.end(), 0);
  TData unset = Slot1(4, kT);
  std::fill(unset.begin() + 14, unset.end(), 0xFF);
  const Case cases[] = {
      {"unknown code", Slot1(0x1FF, kT),
       "[TJournal1.ParseEvent] Событие с кодом 0x1FF не описано в словаре событий"},
      {"zero time", zeroTime, nullptr},
      {"unset clock", unset, "[ConvertClockHexToDec] Ошибка конвертации."},
      {"not BCD", nonBcd, "[ConvertClockHexToDec] Ошибка конвертации."},
      {"impossible date", Slot1(4, feb31), "[DecDateTime] Ошибка конвертации."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    LogRecorder log;
    ASSERT_TRUE(Parse(Journal1(0, {{0, Slot1(1, kT, {1})}, {1, c.slot}, {2, Slot1(300, kT)}})));
    EXPECT_EQ(Codes(), (std::vector<uint32_t>{1, 300}));
    if (c.log) {
      ASSERT_EQ(log.lines.size(), 1u);
      EXPECT_EQ(log.lines[0].rfind(c.log, 0), 0u) << log.lines[0];
    } else {
      EXPECT_TRUE(log.lines.empty());
    }
  }
}

TEST_F(Journal1Test, ShortAndOddVariablesGiveAPartialJournal) {
  const TData full =
      Journal1(0, {{0, Slot1(4, kT)}, {1, Slot1(1, kT, {1})}, {999, Slot1(300, kT)}});
  struct Case {
    size_t size;
    int count;
  };
  // Slots the variable does not hold in full are empty.
  const Case cases[] = {{0, 0},          {1, 0},  {2, 0},  {21, 0},
                        {22, 1},         {41, 1}, {42, 2}, {full.size() - 1, 2},
                        {full.size(), 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size);
    EXPECT_TRUE(Parse(TData(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(c.size))));
    EXPECT_EQ(ctx.Journal.Count(), c.count);
  }
  // A longer variable: the bytes beyond the ring are not read.
  TData longer = full;
  longer.resize(full.size() + 100, 0x11);
  EXPECT_TRUE(Parse(longer));
  EXPECT_EQ(ctx.Journal.Count(), 3);
  // Every length of a busy variable decodes without reading past its end.
  TData busy(2 + 20 * 8);
  for (size_t i = 0; i < busy.size(); ++i) busy[i] = static_cast<uint8_t>(i * 37 + 1);
  for (size_t n = 0; n <= busy.size(); ++n) {
    Parse(TData(busy.begin(), busy.begin() + static_cast<std::ptrdiff_t>(n)));
  }
  EXPECT_TRUE(boxes.empty());
}

TEST_F(Journal1Test, ClearsTheJournalButKeepsTheSessionsCounters) {
  ASSERT_TRUE(Parse(Journal1(0, {{0, Slot1(4, kT)}, {1, Slot1(4, kT)}})));
  EXPECT_EQ(Description(4)->Counter, 2);
  // The parser reads the counter variables (9991, 9995, 9996) before the journal.
  const TData word = {0x10, 0x27, 0, 0};
  EXPECT_TRUE(journal.ParsingWork(ctx, 0, word));
  EXPECT_TRUE(journal.ParsingWork(ctx, 1, TData{5, 0, 0, 0}));
  EXPECT_TRUE(journal.ParsingWork(ctx, 2, TData{7, 0, 0, 0, 9}));
  ASSERT_TRUE(Parse(Journal1(0, {{0, Slot1(1, kT, {1})}})));
  EXPECT_EQ(Codes(), std::vector<uint32_t>{1});
  EXPECT_EQ(Description(4)->Counter, 0);
  EXPECT_EQ(ctx.Journal.WorkTime, 10000u);
  EXPECT_EQ(ctx.Journal.IdleTime, 5u);
  EXPECT_EQ(ctx.Journal.StartCount, 7u);
}

TEST_F(Journal1Test, WorkCounters) {
  struct Case {
    int which;
    TData bytes;
    bool ok;
    uint32_t work, idle, starts;
  };
  const Case cases[] = {
      {0, {1, 2, 0, 0}, true, 0x201, 0, 0},
      {1, {1, 2, 0, 0}, true, 0, 0x201, 0},
      {2, {0xFF, 0xFF, 0xFF, 0xFF}, true, 0, 0, 0xFFFFFFFF},
      {3, {1, 0, 0, 0}, true, 0, 0, 0},
      {-1, {}, true, 0, 0, 0},
      {0, {1, 2, 3}, false, 0, 0, 0},
      {2, {}, false, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.which);
    ctx.Journal.ResetWork();
    LogRecorder log;
    EXPECT_EQ(journal.ParsingWork(ctx, c.which, c.bytes), c.ok);
    EXPECT_EQ(ctx.Journal.WorkTime, c.work);
    EXPECT_EQ(ctx.Journal.IdleTime, c.idle);
    EXPECT_EQ(ctx.Journal.StartCount, c.starts);
    if (!c.ok) {
      EXPECT_EQ(log.lines,
                std::vector<std::string>{"[TJournal1.ParsingWork] Exception: Range check error"});
    }
  }
}

TEST_F(Journal1Test, WithoutEventVocabularyTheJournalIsEmpty) {
  ASSERT_TRUE(Parse(Journal1(0, {{0, Slot1(4, kT)}})));
  dicts.VocEvent.reset();
  EXPECT_TRUE(Parse(Journal1(0, {{0, Slot1(4, kT)}})));
  EXPECT_EQ(ctx.Journal.Count(), 0);
}

}  // namespace
}  // namespace kalmet
