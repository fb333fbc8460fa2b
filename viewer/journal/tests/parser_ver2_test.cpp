#include "journal/parser_ver2.h"

#include <cmath>

#include "journal_v2_fixture.h"
#include "trelbo/cell.h"

namespace kalmet {
namespace {

using namespace testing;
using ParserVer2 = JournalV2Test;

std::string Key(uint64_t n) {
  return RecordKey(n);
}

TEST_F(ParserVer2, DecodesASessionIntoJournalTraceAndGraph) {
  const Bytes user = Join({Le(5, 2), {'A', 'd', 'm', 'i', 'n'}, Bytes(11, 0)});
  const std::vector<RecordSpec> records = {
      {0x10, kT0, 0x2010, Join({Float(12.5f), {80}})},                             // trip: journal
      {0x20, kT0 + 60, 0x9001, GraphValue(380.0f)},                                // one sample,
      {0x20, kT0 + 60, 0x9002, GraphValue(381.0f)},                                // two channels
      {0x30, kT0 + 120, 0x9001, GraphValue(999.0f, 0)},                            // marked invalid
      {0x40, kT0 + 180, 0x3001, Join({Le(10001, 2), {2}, Le(40, 4), Le(45, 4)})},  // both
      {0x50, kT0 + 240, 0x5001, {}},                                               // trace only
      {0x60, kT0 + 300, 0x7777, {}},                                               // not described
      {0x70, kT0 + 360, 0xA005, user},                                             // text value
  };
  LogRecorder log;
  ASSERT_TRUE(Load(Pieces(Image(records, 1000), 300)));

  // The descriptor and the pieces left the table; the protocol variable stayed.
  EXPECT_EQ(ctx.slInputData.IndexOf(16380), -1);
  for (int v = 16400; v < 16404; ++v) EXPECT_EQ(ctx.slInputData.IndexOf(v), -1) << v;
  EXPECT_NE(ctx.slInputData.IndexOf(16370), -1);
  ASSERT_EQ(parser->Descriptors().size(), 4u);
  EXPECT_EQ(parser->Descriptors()[0], (std::pair<std::string, int32_t>{"00000", 16400}));
  EXPECT_EQ(parser->Descriptors()[3], (std::pair<std::string, int32_t>{"00003", 16403}));

  EXPECT_EQ(JournalKeys(), (std::vector<std::string>{Key(0x10), Key(0x40), Key(0x70)}));
  const TEventData* trip = ctx.Journal.GetEvent(0);
  EXPECT_EQ(trip->Name, "Срабатывание защиты от недогруза");
  EXPECT_EQ(trip->Stop, 1);
  EXPECT_EQ(trip->Code, 0x2010u);
  EXPECT_DOUBLE_EQ(trip->DateTime, EncodeDate(2010, 3, 15) + EncodeTime(12, 30, 0, 0));
  ASSERT_TRUE(trip->ExData);
  EXPECT_EQ(Keys(*trip->ExData), (std::vector<std::string>{"00001", "00002"}));
  EXPECT_EQ(trip->ExData->Object(0)->DisplayText(), "Ток 12,5 А");
  EXPECT_EQ(trip->ExData->Object(1)->DisplayText(), "Загрузка 80 %");
  EXPECT_EQ(dicts.KsuVocEvent->SeekEvent(0x2010u)->Counter, 1);

  const TEventData* change = ctx.Journal.GetEvent(1);
  EXPECT_EQ(change->Name, "Изменение параметра с пульта [Уставка защиты от недогруза]");
  ASSERT_TRUE(change->ExData);
  ASSERT_EQ(change->ExData->Count(), 4);
  EXPECT_EQ(change->ExData->Object(0)->Raw, (std::array<uint8_t, 4>{0x11, 0x27, 0, 0}));
  EXPECT_EQ(change->ExData->Object(1)->DisplayText(), "Уровень доступа 2 %");
  EXPECT_EQ(change->ExData->Object(2)->DisplayText(), "Старое значение 40 %");
  EXPECT_EQ(change->ExData->Object(3)->DisplayText(), "Новое значение 45 %");
  EXPECT_EQ(ctx.Journal.GetEvent(2)->ExData->Object(0)->Text, "Admin");

  // Groups 13 and 14 get independent copies.
  EXPECT_EQ(Keys(ctx.slTrasser), (std::vector<std::string>{Key(0x40), Key(0x50)}));
  EXPECT_NE(ctx.slTrasser.Object(0), change);
  EXPECT_EQ(ctx.slTrasser.Object(0)->Name, change->Name);

  ASSERT_EQ(Keys(ctx.slGraph), (std::vector<std::string>{Key(0x20), Key(0x30)}));
  const TEventData* a = ctx.slGraph.Object(0);
  const TEventData* b = ctx.slGraph.Object(1);
  EXPECT_EQ(a->GraphPoint, 1);
  EXPECT_DOUBLE_EQ(a->DateTime, EncodeDate(2010, 3, 15) + EncodeTime(12, 31, 0, 0));
  EXPECT_EQ(a->GetValue(1), 380.0f);
  EXPECT_EQ(a->GetValue(2), 381.0f);
  EXPECT_TRUE(std::isnan(b->GetValue(1)));  // invalid stays a gap
  EXPECT_EQ(b->GetValue(2), 381.0f);        // filled from the sample before
  EXPECT_TRUE(std::isnan(a->GetValue(3)));  // a channel without any value
  EXPECT_TRUE(std::isnan(b->GetValue(3)));

  EXPECT_TRUE(
      log.Contains("[TJournal2.ParsingEvent] Событие с кодом 0x7777 не описано в словаре "
                   "событий"));

  // Page "Unpacked": the records as delivered, newest first.
  ASSERT_EQ(parser->UnpackedCount(), 8);
  EXPECT_EQ(parser->UnpackedRow(0),
            (std::array<std::string, 6>{"00000001", "0x000000000000070", "2010.03.15 12:36:00",
                                        "0x0A005", "0x012",
                                        "05 00 41 64 6D 69 6E 00 00 00 00 00 00 00 00 00 00 00 "}));
  EXPECT_EQ(parser->UnpackedRow(7)[1], "0x000000000000010");
  EXPECT_EQ(parser->WrapCount(), 0);
}

TEST_F(ParserVer2, OrdersRecordsAcrossTheLabelWrap) {
  struct Case {
    const char* name;
    std::vector<uint32_t> written;  // low labels in the order the controller wrote them
    std::vector<uint32_t> rebased;  // low labels after the correction, in record order
    int wrapRows;
  };
  const Case cases[] = {
      {"wrapped", {0xFFFFFFF0, 0xFFFFFFF8, 0x4, 0xC}, {0, 8, 20, 28}, 4},
      {"no wrap", {5, 9, 20}, {5, 9, 20}, 0},
      {"wide but no gap",
       {0, 0x40000000, 0x80000000, 0xC0000000},
       {0, 0x40000000, 0x80000000, 0xC0000000},
       0},
      {"one record", {0xFFFFFFFF}, {0xFFFFFFFF}, 0},
  };
  for (const Case& c : cases) {
    std::vector<RecordSpec> records;
    for (size_t i = 0; i < c.written.size(); ++i) {
      records.push_back({c.written[i], kT0 + uint32_t(i), 0x4001, {}});
    }
    ASSERT_TRUE(Load(Pieces(Image(records), 4096))) << c.name;
    std::vector<std::string> keys;
    for (uint32_t label : c.rebased) keys.push_back(Key(label));
    EXPECT_EQ(JournalKeys(), keys) << c.name;
    ASSERT_EQ(parser->RecordCount(), int(c.rebased.size())) << c.name;
    for (int i = 0; i < parser->RecordCount(); ++i) {
      EXPECT_EQ(parser->Record(i)->Label[0], c.rebased[size_t(i)]) << c.name << " " << i;
      // The times follow the write order.
      EXPECT_EQ(parser->Record(i)->Label[1], kT0 + uint32_t(i)) << c.name << " " << i;
    }
    EXPECT_EQ(parser->WrapCount(), c.wrapRows) << c.name;
  }
  // The last case's page is empty; the first one's rows: before, re-sorted, rebased.
  ASSERT_TRUE(Load(Pieces(Image({{0xFFFFFFF0, kT0, 0x4001, {}},
                                 {0xFFFFFFF8, kT0, 0x4001, {}},
                                 {0x4, kT0, 0x4001, {}},
                                 {0xC, kT0, 0x4001, {}}}),
                          4096)));
  ASSERT_EQ(parser->WrapCount(), 4);
  EXPECT_EQ(parser->WrapRow(0), (std::array<std::string, 6>{Key(0x4), "4", Key(0xFFFFFFF0),
                                                            "4294967280", Key(0xFFFFFFF0), "0"}));
  EXPECT_EQ(parser->WrapRow(3),
            (std::array<std::string, 6>{Key(0xFFFFFFF8), "4294967288", Key(0x10000000C), "12",
                                        Key(0x10000000C), "28"}));
}

// A sample list for FillValues: per sample its time (minutes) and channel-1 value.
struct FillCase {
  const char* name;
  std::vector<int> minutes;
  std::vector<float> values;    // inf: missing, nan: marked invalid
  std::vector<float> expected;  // nan compares as nan
};

TEST(FillValues, FillsGapsOfEachChannel) {
  const float inf = INFINITY, nan = NAN;
  const FillCase cases[] = {
      {"hold the previous value", {0, 1, 2, 3}, {1, inf, inf, 4}, {1, 1, 1, 4}},
      {"a gap at the end holds", {0, 1, 2}, {1, 2, inf}, {1, 2, 2}},
      {"a gap at the start takes the first value", {0, 1, 2}, {inf, inf, 3}, {3, 3, 3}},
      {"no value at all", {0, 1}, {inf, inf}, {nan, nan}},
      {"an invalid value is kept", {0, 1, 2}, {1, nan, inf}, {1, nan, 1}},
      {"the next value of the same moment wins", {0, 1, 1, 1}, {1, 2, inf, 3}, {1, 2, 3, 3}},
      {"one sample", {0}, {inf}, {nan}},
  };
  for (const FillCase& c : cases) {
    SessionContext ctx;
    for (size_t i = 0; i < c.values.size(); ++i) {
      auto s = std::make_unique<TEventData>(INFINITY);
      s->DateTime = 40000 + c.minutes[i] / 1440.0;
      s->GraphPoint = 1;
      s->SetValue(1, c.values[i]);
      s->SetValue(2, 7);
      ctx.slGraph.Add(RecordKey(i), std::move(s));
    }
    ASSERT_TRUE(TParserVer2::FillValues(ctx));
    for (size_t i = 0; i < c.expected.size(); ++i) {
      const float got = ctx.slGraph.Object(int(i))->GetValue(1);
      if (std::isnan(c.expected[i])) {
        EXPECT_TRUE(std::isnan(got)) << c.name << " " << i << ": " << got;
      } else {
        EXPECT_EQ(got, c.expected[i]) << c.name << " " << i;
      }
      EXPECT_EQ(ctx.slGraph.Object(int(i))->GetValue(2), 7) << c.name;
      EXPECT_TRUE(std::isnan(ctx.slGraph.Object(int(i))->GetValue(27))) << c.name;
    }
  }
  // With the diagnostic switch on, gaps stay infinite.
  SessionContext ctx;
  ctx.iDebug = 1;
  ctx.slGraph.Add("a", std::make_unique<TEventData>(INFINITY));
  ASSERT_TRUE(TParserVer2::FillValues(ctx));
  EXPECT_TRUE(std::isinf(ctx.slGraph.Object(0)->GetValue(1)));
}

// A record of more data bytes than a read can take: the 65535-byte record's last cell
// and the next record's first cell are turned into middle cells, so that the chain of
// cells of one record runs on into the record after it.
Bytes ImageWithOverlongRecord() {
  trelbo::ImageBuilder builder(80000);
  builder.append({0x10, kT0}, 0x4001, {});
  builder.append({0x20, kT0}, 0x4002, Bytes(65535, 0xAB));
  const uint32_t next = builder.append({0x30, kT0}, 0x4003, Bytes(20, 0xCD));
  builder.append({0x40, kT0}, 0x4004, {});
  for (uint32_t cell : {next - 1, next}) {
    uint8_t* c = builder.cell(cell);
    c[0] = trelbo::cellHeader(trelbo::CellType::kMiddle, trelbo::cellLastUsed(c), true);
    c[trelbo::kCheckByte] = trelbo::cellCheck(c);
  }
  return builder.bytes();
}

TEST_F(ParserVer2, DamagedSessionsGiveTheirLogLinesAndAPartialJournal) {
  const std::vector<RecordSpec> three = {
      {1, kT0, 0x4001, {}}, {2, kT0, 0x4002, {}}, {3, kT0, 0x4004, {}}};
  const Bytes image = Image(three);
  // An image whose records lie beyond the first 65535 bytes.
  trelbo::ImageBuilder large(70000);
  large.setWritePosition(4300);
  for (const RecordSpec& r : three) large.append({r.low, r.high}, r.code, r.data);

  struct Case {
    const char* name;
    std::string values;
    std::vector<uint32_t> journal;  // record numbers in the collection
    const char* log;                // a line that must be logged, or nullptr for none
  };
  const Case cases[] = {
      {"descriptor names an absent variable",
       Pieces(image, 4096) + Value(16380, Le(16401, 4), 1),
       {1, 2, 3},
       "[TParserVer2.LoadJournal] Не найдены данные для индекса 16401"},
      {"absent piece in the middle",
       Pieces(Bytes(image.begin(), image.begin() + 36), 36) + Value(16380, Le(16405, 4), 1) +
           Value(16380, Le(16406, 4), 2) + Value(16406, Bytes(image.begin() + 52, image.end())),
       {1, 2},
       "[TParserVer2.LoadJournal] Не найдены данные для индекса 16405"},
      {"a piece longer than 65535 bytes", Pieces(large.bytes(), 70000), {1, 2, 3}, nullptr},
      {"more than 255 pieces", Pieces(Image(three, 4800), 16), {1, 2, 3}, nullptr},
      {"a record longer than the read buffer",
       Pieces(ImageWithOverlongRecord(), 40000),
       {0x40},
       "[TParserVer2.UnpackJournal] Error = -1"},
      {"foreign image header", Pieces(Bytes(100, 0x5A), 50), {}, nullptr},
      {"empty image", Pieces(Image({}), 4096), {}, nullptr},
      {"descriptor of variable 0 only",
       Value(16380, {0, 0, 0, 0}) + Value(16400, image),
       {},
       nullptr},
      {"descriptor with fewer than four bytes",
       Value(16380, {0x10, 0x40}) + Value(16400, image),
       {1, 2, 3},
       nullptr},
      {"no descriptor", Value(16400, image), {}, nullptr},
  };
  for (const Case& c : cases) {
    LogRecorder log;
    ASSERT_TRUE(Load(c.values)) << c.name;
    std::vector<std::string> keys;
    for (uint32_t n : c.journal) keys.push_back(Key(n));
    EXPECT_EQ(JournalKeys(), keys) << c.name;
    if (c.log) {
      EXPECT_TRUE(log.Contains(c.log)) << c.name;
    } else {
      EXPECT_TRUE(log.lines.empty()) << c.name << ": " << log.lines.front();
    }
  }
}

TEST_F(ParserVer2, StepsStopOnTheirFailures) {
  // A piece with no data stops the load: nothing is unpacked.
  ctx.slInputData.Add(std::make_unique<TInputData>(TInputData{16380, 0, 0, 0, Le(16400, 4)}));
  ctx.slInputData.Add(std::make_unique<TInputData>(TInputData{16400, 0, 0, 0, {}}));
  // A descriptor element without data stays in the table and names nothing.
  ctx.slInputData.Add(std::make_unique<TInputData>(TInputData{16380, 1, 0, 0, {}}));
  LogRecorder log;
  EXPECT_TRUE(parser->Parsing(ctx));
  EXPECT_TRUE(log.Contains("[TParserVer2.LoadJournal] Ошибка при загрузке индекса 16400"));
  EXPECT_EQ(parser->Descriptors().size(), 1u);
  EXPECT_EQ(parser->UnpackedCount(), 0);
  EXPECT_EQ(ctx.slInputData.Count(), 2);
  EXPECT_EQ(ctx.Journal.Count(), 0);

  // Without the library the journal is not unpacked and nothing is logged.
  TTrelbo unloaded;
  TParserVer2 without(dicts, unloaded);
  SessionContext other;
  other.slInputData.Add(std::make_unique<TInputData>(TInputData{16380, 0, 0, 0, Le(16400, 4)}));
  other.slInputData.Add(
      std::make_unique<TInputData>(TInputData{16400, 0, 0, 0, Image({{1, kT0, 0x4001, {}}})}));
  LogRecorder quiet;
  EXPECT_TRUE(without.Parsing(other));
  EXPECT_EQ(without.RecordCount(), 0);
  EXPECT_EQ(other.Journal.Count(), 0);
  EXPECT_TRUE(quiet.lines.empty());
}

}  // namespace
}  // namespace kalmet
