#include <gtest/gtest.h>

#include "journal/journal0.h"
#include "journal_v01_fixture.h"
#include "session/file_log.h"

namespace kalmet {
namespace {

using testing::Clock;
using testing::Journal0;
using testing::LogRecorder;
using testing::Record0;
using testing::Stop0;
using testing::StopJournal0;

class Journal0Test : public testing::JournalTest {
 protected:
  bool Parse(const TData& bytes) { return journal.ParsingEvent(ctx, bytes); }

  TJournal0 journal{dicts};
};

const Clock kT = {12, 30, 0, 15, 3, 10};  // 2010-03-15 12:30:00, plain binary

TEST_F(Journal0Test, RingIsDecodedOldestFirst) {
  // Equal time stamps give keys in decoding order; the marker is event 1's value.
  const int slots[] = {0, 1, 100, 254};
  std::vector<std::pair<int, TData>> ring;
  for (uint8_t m = 0; m < 4; ++m) ring.push_back({slots[m], Record0(1, kT, m)});
  struct Case {
    uint8_t head;
    std::vector<int> markers;
  };
  const Case cases[] = {
      {0, {0, 1, 2, 3}}, {255, {0, 1, 2, 3}}, {254, {3, 0, 1, 2}}, {100, {2, 3, 0, 1}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.head);
    ASSERT_TRUE(Parse(Journal0(c.head, ring)));
    std::vector<int> markers;
    for (int i = 0; i < ctx.Journal.Count(); ++i) {
      markers.push_back(ctx.Journal.GetEvent(i)->ExData->Object(0)->Raw[0]);
    }
    EXPECT_EQ(markers, c.markers);
  }
  EXPECT_EQ(ctx.Journal.GetKey(0), "2010.03.15 12:30:00.001");
  EXPECT_EQ(ctx.Journal.GetKey(3), "2010.03.15 12:30:00.004");
  EXPECT_DOUBLE_EQ(ctx.Journal.GetEvent(3)->DateTime, testing::At(kT) + 1.0 / 86400000.0);
}

TEST_F(Journal0Test, ValuesTakeTheirWidthFromTheType) {
  ASSERT_TRUE(
      Parse(Journal0(0, {{0, Record0(10, kT, 0x000C0050, 0)},  // 2 bytes (INT16U), then 4 (INT32U)
                         {1, Record0(12, kT, 0x00DC0007, 0)},  // the unnamed value is decoded too
                         {2, Record0(11, kT, 1, 2)},           // 4 + 4 + 1 > 8: dropped
                         {3, Record0(13, kT, 0x1234, 0xFFFFFFFF)},  // INT64 fills all 8 bytes
                         {4, Record0(4, kT)}})));
  ASSERT_EQ(Codes(), (std::vector<uint32_t>{10, 12, 13, 4}));
  const TEventData& trip = *ctx.Journal.GetEvent(0);
  EXPECT_EQ(trip.Name, "Недогруз");
  EXPECT_EQ(trip.Color, 0x0000FFu);
  EXPECT_EQ(trip.Stop, 1);
  EXPECT_EQ(Values(trip), (std::vector<std::string>{"00001:Ток|12|А", "00002:Уставка|80|%"}));
  EXPECT_EQ(Values(*ctx.Journal.GetEvent(1)),
            (std::vector<std::string>{"00001:|7|", "00002:Значение|220|В"}));
  EXPECT_EQ(ctx.Journal.GetEvent(2)->ExData->Object(0)->Raw,
            (std::array<uint8_t, 4>{0x34, 0x12, 0, 0}));
  EXPECT_EQ(Description(11)->Counter, 1);
  EXPECT_EQ(Description(10)->Counter, 1);
}

TEST_F(Journal0Test, ParameterChangesCarryNoIndexEntry) {
  struct Case {
    const char* what;
    uint8_t code;
    uint16_t index;
    bool added;
    std::string name;
    std::vector<std::string> values;
    const char* log;
  };
  const Case cases[] = {
      {"before, after",
       96,
       1001,
       true,
       "Изменение параметра [Уставка недогруза]",
       {"00002:Было|50|%", "00003:Стало|60|%"},
       nullptr},
      {"index only described",
       97,
       1001,
       true,
       "Изменение [Уставка недогруза]",
       {"00001:???????|0x32|%", "00002:???????|0x3c|%"},
       nullptr},
      {"text variable", 96, 1050, true, "Изменение параметра [Название]", {}, nullptr},
      {"IgnoreEvent3", 96, 1060, true, "Изменение параметра [Пароль]", {}, nullptr},
      {"unknown index",
       96,
       5555,
       false,
       "",
       {},
       "[TJournal0.FormattingChangeIndex] Index=5555  Индекс:5555 отсутствует в словаре."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    LogRecorder log;
    ASSERT_TRUE(Parse(Journal0(0, {{0, Record0(c.code, kT, 50, 60, c.index)}})));
    ASSERT_EQ(ctx.Journal.Count(), c.added ? 1 : 0);
    EXPECT_EQ(log.lines, c.log ? std::vector<std::string>{c.log} : std::vector<std::string>{});
    if (!c.added) continue;
    EXPECT_EQ(ctx.Journal.GetEvent(0)->Name, c.name);
    EXPECT_EQ(Values(*ctx.Journal.GetEvent(0)), c.values);
  }
}

TEST_F(Journal0Test, UnknownCodesAndDamagedTimesDropOnlyTheirRecord) {
  struct Case {
    const char* what;
    TData record;
    const char* log;
  };
  const Case cases[] = {
      {"unknown code", Record0(200, kT),
       "[TJournal0.ParseEvent] Событие с кодом 200 не описано в словаре событий."},
      {"zero time", Record0(4, {0, 0, 0, 0, 0, 0}), nullptr},
      {"unset clock", Record0(4, {255, 255, 255, 255, 255, 255}), nullptr},
      {"impossible date", Record0(4, {0, 0, 0, 31, 4, 10}), "[DecDateTime] Ошибка конвертации."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    LogRecorder log;
    ASSERT_TRUE(Parse(Journal0(0, {{0, Record0(1, kT, 1)}, {1, c.record}, {2, Record0(4, kT)}})));
    EXPECT_EQ(Codes(), (std::vector<uint32_t>{1, 4}));
    if (c.log) {
      ASSERT_EQ(log.lines.size(), 1u);
      EXPECT_EQ(log.lines[0].rfind(c.log, 0), 0u) << log.lines[0];
    } else {
      EXPECT_TRUE(log.lines.empty());
    }
  }
}

TEST_F(Journal0Test, ShortVariables) {
  const TData full = Journal0(0, {{0, Record0(4, kT)}, {1, Record0(1, kT, 1)}});
  {
    // Without even the head the journal cannot be read at all.
    LogRecorder log;
    EXPECT_FALSE(Parse(TData{}));
    EXPECT_EQ(log.lines,
              std::vector<std::string>{"[TJournal0.ParsingEvent] Exception: Range check error"});
    EXPECT_EQ(boxes, std::vector<std::string>{"Ошибка при разборе данных."});
  }
  {
    // Record 1 loses its value bytes and clock: each unreadable field is logged.
    LogRecorder log;
    EXPECT_TRUE(Parse(TData(full.begin(), full.begin() + 1 + 23 + 10)));
    EXPECT_EQ(Codes(), std::vector<uint32_t>{4});
    ASSERT_GE(log.lines.size(), 6u);
    EXPECT_EQ(log.lines[0], "[TJournal0.FillEvent] Convert Befor exception: Range check error");
    EXPECT_EQ(log.lines[1], "               Position=1");
    EXPECT_EQ(log.lines[2], "[TJournal0.FillEvent] Convert After exception: Range check error");
    EXPECT_EQ(log.lines[4], "[TJournal0.FillEvent] Convert Clock exception: Range check error");
    EXPECT_EQ(log.lines[5], "               Position=1");
    EXPECT_EQ(log.lines[6], "[TJournal0.FillEvent] Convert Code exception: Range check error");
    EXPECT_EQ(log.lines[7], "               Position=2");
    // 3 fields of record 1 and 5 of each of the 253 records after it, two lines each.
    EXPECT_EQ(log.lines.size(), 2u * (3 + 5 * 253));
  }
  // The head alone, and every length of a busy variable: nothing read past the end.
  EXPECT_TRUE(Parse(TData{7}));
  EXPECT_EQ(ctx.Journal.Count(), 0);
  TData busy(1 + 23 * 6);
  for (size_t i = 0; i < busy.size(); ++i) busy[i] = static_cast<uint8_t>(i * 37 + 1);
  for (size_t n = 1; n <= busy.size(); ++n) {
    EXPECT_TRUE(Parse(TData(busy.begin(), busy.begin() + static_cast<std::ptrdiff_t>(n))));
  }
}

TEST_F(Journal0Test, StopRecords) {
  const Clock t2 = {13, 0, 0, 15, 3, 10};
  struct Case {
    uint32_t reason;
    int32_t code;
    std::string name;
    float value;
  };
  const Case cases[] = {
      {0x40000001, 0x8000, "Недогруз", 12.5f},
      {0x40000000, 0x801E, "Останов по аварии", 12.5f},
      {0x3, 0x8000, "Неизвестный останов", 12.5f},  // two bits: no entry, lowest bit
      {0x100000, 0x8014, "Превышена вибрация", 12.5f},
      {0x8000000, 0x801B, "", 0.0f},  // manual stop: no name, no value
      {0x8045, 0x8000, "ИЗМЕРИТЕЛЬ: Аппаратная ошибка - требуется ремонт измерителя", 12.5f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reason);
    // An empty record before it and the head pointing past it: the walk wraps.
    ASSERT_TRUE(journal.ParsingStop(ctx, StopJournal0(3, {{1, Stop0(0, 1, kT)},
                                                          {2, Stop0(c.reason, 12.5f, t2)},
                                                          {4, Stop0(4, 1, kT)}})));
    ASSERT_EQ(journal.Stops().size(), 2u);
    EXPECT_EQ(journal.Stops()[0].Code, 0x8002);  // slot 4 is the oldest
    const TJrnStop& s = journal.Stops()[1];
    EXPECT_EQ(s.Code, c.code);
    EXPECT_EQ(s.Name, c.name);
    EXPECT_EQ(s.Value, c.value);
    EXPECT_DOUBLE_EQ(s.Time, testing::At(t2));
  }
  EXPECT_EQ(TJournal0::VocJrnStop().size(), 62u);
  EXPECT_EQ(TJournal0::FindVocJrnStop(0x801F), 33);
  EXPECT_EQ(TJournal0::FindVocJrnStop(0x12345), 0);
}

TEST_F(Journal0Test, ShortStopJournals) {
  const TData full = StopJournal0(0, {{0, Stop0(1, 2, kT)}, {1, Stop0(2, 3, kT)}});
  ASSERT_TRUE(journal.ParsingStop(ctx, full));
  ASSERT_EQ(journal.Stops().size(), 2u);
  // A record the variable does not hold in full counts as empty.
  EXPECT_TRUE(journal.ParsingStop(ctx, TData(full.begin(), full.begin() + 1 + 38 + 37)));
  EXPECT_EQ(journal.Stops().size(), 1u);
  {
    LogRecorder log;
    EXPECT_FALSE(journal.ParsingStop(ctx, TData{}));
    EXPECT_TRUE(journal.Stops().empty());  // the earlier stops are gone all the same
    EXPECT_EQ(log.lines,
              std::vector<std::string>{"[TJournal0.ParsingStop] Exception: Range check error"});
    EXPECT_EQ(boxes, std::vector<std::string>{"Ошибка при разборе данных."});
  }
  for (size_t n = 1; n <= 1 + 38 * 3; ++n) {
    EXPECT_TRUE(journal.ParsingStop(
        ctx, TData(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n))));
  }
}

TEST_F(Journal0Test, DecodeErrorMsgNamesTheStopOfARedEvent) {
  const Clock t2 = {13, 0, 0, 15, 3, 10};
  const Clock t3 = {14, 0, 0, 15, 3, 10};
  ASSERT_TRUE(Parse(Journal0(0, {{0, Record0(10, kT)},      // red, stop at the same time
                                 {1, Record0(4, kT)},       // navy: never named
                                 {2, Record0(10, t2)},      // red, no stop near
                                 {3, Record0(10, t3)}})));  // red, manual stop first
  ASSERT_TRUE(journal.ParsingStop(ctx, StopJournal0(0, {{0, Stop0(1, 12.5f, kT)},
                                                        {1, Stop0(0x8000000, 0, t3)},
                                                        {2, Stop0(2, 99, t3)}})));
  journal.DecodeErrorMsg(ctx);
  EXPECT_EQ(ctx.Journal.GetEvent(0)->Name, "Недогруз:[Недогруз]    12.50");
  EXPECT_EQ(ctx.Journal.GetEvent(1)->Name, "Останов");
  EXPECT_EQ(ctx.Journal.GetEvent(2)->Name, "Недогруз");
  EXPECT_EQ(ctx.Journal.GetEvent(3)->Name, "Недогруз");
}

TEST_F(Journal0Test, WorkBlock) {
  TData work(20, 0);
  testing::PutLE(work, 0, 111, 4);
  testing::PutLE(work, 4, 3600, 4);
  testing::PutLE(work, 8, 60, 4);
  testing::PutLE(work, 12, 5, 4);
  ASSERT_TRUE(journal.ParsingWork(ctx, 0, work));
  EXPECT_EQ(ctx.Journal.WorkTime, 3600u);
  EXPECT_EQ(ctx.Journal.IdleTime, 60u);
  EXPECT_EQ(ctx.Journal.StartCount, 5u);
  // The event journal clears the counters of a work block read before it.
  ASSERT_TRUE(Parse(Journal0(0, {})));
  EXPECT_EQ(ctx.Journal.WorkTime, 0u);
  // A block cut after the work time keeps that and fails.
  LogRecorder log;
  EXPECT_FALSE(journal.ParsingWork(ctx, 0, TData(work.begin(), work.begin() + 10)));
  EXPECT_EQ(ctx.Journal.WorkTime, 3600u);
  EXPECT_EQ(ctx.Journal.IdleTime, 0u);
  EXPECT_EQ(log.lines,
            std::vector<std::string>{"[TJournal0.ParsingWork] Exception: Range check error"});
}

}  // namespace
}  // namespace kalmet
