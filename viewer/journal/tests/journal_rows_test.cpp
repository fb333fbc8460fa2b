#include "journal/journal_rows.h"

#include <gtest/gtest.h>

#include <cmath>

#include "session/conversions.h"
#include "session/date_time.h"
#include "session/session_context.h"

namespace kalmet {
namespace {

TDateTime T(int minute, int second = 0) {
  return EncodeDate(2010, 3, 15) + EncodeTime(12, minute, second, 0);
}

std::unique_ptr<TEventData> Event(TDateTime t, const char* name, uint32_t color,
                                  std::vector<std::pair<std::string, std::string>> ex = {}) {
  auto e = std::make_unique<TEventData>();
  e->DateTime = t;
  e->Key = DateTimeKey(t);
  e->Name = name;
  e->Color = color;
  e->Code = 7;
  if (!ex.empty()) {
    e->ExData = std::make_unique<TOwnedList<TExData>>();
    int n = 0;
    for (auto& [exName, text] : ex) {
      e->ExData->Add(std::to_string(n++),
                     std::make_unique<TExData>(exName, text, std::array<uint8_t, 4>{}, "В"));
    }
  }
  return e;
}

std::unique_ptr<TEventData> Sample(TDateTime t, float first) {
  auto s = std::make_unique<TEventData>(NAN);
  s->DateTime = t;
  s->Key = DateTimeKey(t);
  s->GraphPoint = 1;
  s->SetValue(1, first);
  s->SetValue(4, 12.25f);
  return s;
}

// A version-1 session: three events (one a stop, one nearly red) and two samples.
class JournalRowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ctx.iProtocol = 1;
    auto add = [&](std::unique_ptr<TEventData> e) {
      std::string key = e->Key;
      ctx.Journal.Add(key, std::move(e));
    };
    add(Event(T(1), "Пуск", 0x00008000, {{"Uab", "380"}, {"", "hidden"}, {"Ia", "12,5"}}));
    add(Event(T(3), "Останов по перегрузу", kStopColor));
    add(Event(T(5), "Почти красный", 0x000101FF));
    ctx.slGraph.Add(DateTimeKey(T(4)), Sample(T(4), 381.4f));
    ctx.slGraph.Add(DateTimeKey(T(2)), Sample(T(2), NAN));
    BuildJournal(ctx);
  }

  std::vector<std::string> Names(const TJournalRows& rows) {
    std::vector<std::string> out;
    for (int i = 0; i < rows.Count(); ++i) {
      out.push_back(rows.IsSample(i) ? "sample " + rows.Cell(i, 0) : rows.Cell(i, 1));
    }
    return out;
  }

  SessionContext ctx;
};

TEST_F(JournalRowsTest, ModesAndOrders) {
  TJournalRows rows;
  struct Case {
    TJournalMode mode;
    TJournalOrder order;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {TJournalMode::kAll,
       TJournalOrder::kNewestFirst,
       {"Почти красный", "sample 15.03.2010 12:04:00", "Останов по перегрузу",
        "sample 15.03.2010 12:02:00", "Пуск"}},
      {TJournalMode::kAll,
       TJournalOrder::kOldestFirst,
       {"Пуск", "sample 15.03.2010 12:02:00", "Останов по перегрузу", "sample 15.03.2010 12:04:00",
        "Почти красный"}},
      {TJournalMode::kEvents,
       TJournalOrder::kNewestFirst,
       {"Почти красный", "Останов по перегрузу", "Пуск"}},
      {TJournalMode::kEvents,
       TJournalOrder::kOldestFirst,
       {"Пуск", "Останов по перегрузу", "Почти красный"}},
      {TJournalMode::kStops, TJournalOrder::kNewestFirst, {"Останов по перегрузу"}},
      {TJournalMode::kStops, TJournalOrder::kOldestFirst, {"Останов по перегрузу"}},
  };
  for (const Case& c : cases) {
    rows.Build(ctx, c.mode, c.order, "", "");
    EXPECT_EQ(Names(rows), c.names) << static_cast<int>(c.mode) << static_cast<int>(c.order);
  }
}

TEST_F(JournalRowsTest, FragmentBoundsAreInclusiveTrimmedAndCanBeEmpty) {
  TJournalRows rows;
  rows.Build(ctx, TJournalMode::kAll, TJournalOrder::kOldestFirst, " " + DateTimeKey(T(2)),
             DateTimeKey(T(4)) + " ");
  EXPECT_EQ(rows.Count(), 3);
  rows.Build(ctx, TJournalMode::kEvents, TJournalOrder::kOldestFirst, DateTimeKey(T(3)), "");
  EXPECT_EQ(Names(rows), (std::vector<std::string>{"Останов по перегрузу", "Почти красный"}));
  rows.Build(ctx, TJournalMode::kAll, TJournalOrder::kOldestFirst, DateTimeKey(T(4)),
             DateTimeKey(T(2)));
  EXPECT_EQ(rows.Count(), 0);
}

TEST_F(JournalRowsTest, CellsValueRowsAndSeek) {
  TJournalRows rows;
  rows.Build(ctx, TJournalMode::kAll, TJournalOrder::kOldestFirst, "", "");
  // The event: name in column 1, value rows for named extended values only.
  EXPECT_EQ(rows.Cell(0, 0), "15.03.2010 12:01:00");
  EXPECT_EQ(rows.Cell(0, 2), "");
  ASSERT_EQ(rows.ChildCount(0), 2);
  EXPECT_EQ(rows.ChildText(0, 0), "Uab 380 В");
  EXPECT_EQ(rows.ChildText(0, 1), "Ia 12,5 В");
  EXPECT_EQ(rows.Child(0, 2), nullptr);
  EXPECT_EQ(rows.ChildCount(2), 0);
  // Samples: the layout's formats with the regional decimal comma, " -" for a gap.
  EXPECT_EQ(rows.Cell(1, 1), " -");
  EXPECT_EQ(rows.Cell(3, 1), "     381");
  EXPECT_EQ(rows.Cell(3, 4), "    12,3");
  EXPECT_EQ(rows.Cell(3, 16), "");
  EXPECT_EQ(rows.ChildCount(3), 0);
  EXPECT_EQ(rows.SeekNode(DateTimeKey(T(3)), 7), 2);
  EXPECT_EQ(rows.SeekNode(DateTimeKey(T(3)), 8), -1);
}

TEST(JournalRowsLayout, ColumnsAndFormatsBySessionKind) {
  SessionContext ctx;
  struct Case {
    int protocol;
    bool z5k;
    TJournalLayout layout;
    size_t columns;
    const char* caption4;
  };
  const Case cases[] = {
      {0, false, TJournalLayout::kProtocol0, 12, " Ia(max), А"},
      {1, false, TJournalLayout::kProtocol1, 16, " Ia, А"},
      {2, false, TJournalLayout::kProtocol2, 16, " Ia,А"},
      {2, true, TJournalLayout::kMeasurement, 28, " Дисб.Uвх,%"},
  };
  for (const Case& c : cases) {
    ctx.iProtocol = c.protocol;
    ctx.bZ5K = c.z5k;
    EXPECT_EQ(TJournalRows::LayoutOf(ctx), c.layout);
    const auto columns = TJournalRows::ColumnsOf(c.layout);
    ASSERT_EQ(columns.size(), c.columns);
    EXPECT_EQ(columns[0].caption, " Время");
    EXPECT_EQ(columns[0].width, 150);
    EXPECT_EQ(columns[4].caption, c.caption4);
    EXPECT_EQ(columns[1].width, c.z5k ? 55 : 50);
  }

  TEventData s(NAN);
  s.GraphPoint = 1;
  EXPECT_EQ(TJournalRows::SampleCell(TJournalLayout::kProtocol0, s, 1), "-");
  EXPECT_EQ(TJournalRows::SampleCell(TJournalLayout::kMeasurement, s, 1), "-");
  for (auto [v, text] :
       {std::pair<float, const char*>{-1, "Обратное"}, {0, "Останов"}, {1, "Прямое"}, {2, ""}}) {
    s.SetValue(20, v);
    EXPECT_EQ(TJournalRows::SampleCell(TJournalLayout::kMeasurement, s, 20), text);
  }
  s.SetValue(17, 0.876f);
  EXPECT_EQ(TJournalRows::SampleCell(TJournalLayout::kMeasurement, s, 17), "0,88");
  s.SetValue(7, 0.876f);
  EXPECT_EQ(TJournalRows::SampleCell(TJournalLayout::kProtocol0, s, 7), "    0,88");
}

TEST(BuildJournal, MergesEventsAndSamplesByKeyAndSortsTheLists) {
  SessionContext ctx;
  ctx.iProtocol = 2;
  for (uint64_t n : {10, 9, 11}) {
    auto s = std::make_unique<TEventData>();
    s->GraphPoint = 1;
    ctx.slGraph.Add(RecordKey(n), std::move(s));
  }
  ctx.Journal.Add(RecordKey(12), std::make_unique<TEventData>());
  ctx.Journal.Add(RecordKey(8), std::make_unique<TEventData>());
  ctx.slTrasser.Add("b", std::make_unique<TEventData>());
  ctx.slTrasser.Add("A", std::make_unique<TEventData>());
  BuildJournal(ctx);
  ASSERT_EQ(ctx.slJournal.Count(), 5);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(ctx.slJournal.Key(i), RecordKey(8 + i));
  EXPECT_EQ(ctx.slGraph.Key(0), RecordKey(9));
  EXPECT_EQ(ctx.slTrasser.Key(0), "A");
  // slJournal refers to the other lists' records.
  EXPECT_EQ(ctx.slJournal.Object(1), ctx.slGraph.Object(0));
}

}  // namespace
}  // namespace kalmet
