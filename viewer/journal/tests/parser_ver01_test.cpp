#include <gtest/gtest.h>

#include "journal/parser_routes.h"
#include "journal/parser_ver0.h"
#include "journal/parser_ver1.h"
#include "journal_v01_fixture.h"
#include "session/delphi_text.h"
#include "session/file_log.h"
#include "session/xml_session.h"

namespace kalmet {
namespace {

using testing::Clock;
using testing::LogRecorder;

const Clock kT = {12, 30, 0, 15, 3, 10};
const Clock kT2 = {13, 0, 0, 15, 3, 10};

std::string Hex(const TData& bytes) {
  std::string out;
  for (uint8_t b : bytes) out += Format("%X ", b);
  return out;
}

std::string Value(int id, const TData& data, int index = 0) {
  return "<Value VariableId=\"" + std::to_string(id) + "\" VariableValueArrayIndex=\"" +
         std::to_string(index) +
         "\" VariableValueQuality=\"0\" VariableValueTime=\"0 0 0 0 0 0\">" + Hex(data) +
         "</Value>\r\n";
}

std::string Session(const std::string& version, const std::string& body) {
  return Utf8ToCp1251(
      "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n"
      "<SessionReadedData CSCSoftwareVersion=\"" +
      version + "\">\r\n" + body + "</SessionReadedData>\r\n");
}

TData Cp1251Bytes(const std::string& utf8) {
  const std::string s = Utf8ToCp1251(utf8);
  TData out(s.begin(), s.end());
  out.push_back(0);
  return out;
}

TData Word32(uint32_t v) {
  TData out(4);
  testing::PutLE(out, 0, v, 4);
  return out;
}

TData Trace(size_t w, std::initializer_list<uint32_t> codes) {
  TData out(w, 0);
  for (uint32_t code : codes) {
    const size_t at = out.size();
    out.resize(at + w + 9, 0);
    testing::PutLE(out, at, code, w);
    std::copy(kT.begin(), kT.end(), out.begin() + static_cast<std::ptrdiff_t>(at + w + 3));
  }
  return out;
}

class ParserTest : public testing::JournalTest {
 protected:
  ParserTest() {
    ctx.Hooks.ParserVer0 = [this](SessionContext& c) { parser0.Parsing(c); };
    ctx.Hooks.ParserVer1 = [this](SessionContext& c) { parser1.Parsing(c); };
    ctx.Host.SetStatus = [this](const std::string& s) { statuses.push_back(s); };
  }

  bool Load(const std::string& version, const std::string& body) {
    statuses.clear();
    return LoadXmlSessionBytes(ctx, Session(version, body));
  }

  // The setup rows that received a value, as "id=value".
  std::vector<std::string> SetupValues() const {
    std::vector<std::string> out;
    for (int p = 0; p < dicts.Setups->PageCount(); ++p) {
      for (const TSetupRow& r : dicts.Setups->Page(p)->Rows()) {
        if (r.HasValue) out.push_back(std::to_string(r.VariableId) + "=" + std::to_string(r.Value));
      }
    }
    return out;
  }

  TParserVer0 parser0{dicts};
  TParserVer1 parser1{dicts};
  std::vector<std::string> statuses;
};

TEST_F(ParserTest, Version1SessionRoutesEveryVariable) {
  const TData journal =
      testing::Journal1(0,
                        {{0, testing::Slot1(4, kT)},
                         {1, testing::Slot1(10, kT2, {0x50, 0, 0x0C, 0, 0, 0})},
                         {2, testing::Slot1(96, kT2, {50, 0, 0, 0, 60, 0, 0, 0}, 10001)}},
                        3);
  LogRecorder log;
  ASSERT_TRUE(Load("2.13.1", Value(16370, {1, 0}) + Value(10001, {0x20, 0}) +
                                 Value(10353, {1, 2, 3}, 0) + Value(10353, {4, 5, 6}, 1) +
                                 Value(10370, journal) + Value(10371, Trace(2, {32, 300})) +
                                 Value(9995, Word32(10000)) + Value(9996, Word32(5)) +
                                 Value(9991, Word32(7)) + Value(10304, Cp1251Bytes("Поле"))));
  EXPECT_EQ(ctx.iProtocol, 1);
  // The walk goes from the last key text to the first: "9996" before "10370".
  EXPECT_EQ(statuses,
            (std::vector<std::string>{"Загрузка журнала КСУ", "Общий простой двигателя",
                                      "Полное время работы двигателя", "Счетчик пусков двигателя",
                                      "Загрузка журнала событий", "Загрузка графика тока фазы А",
                                      "Загрузка графика тока фазы А"}));
  EXPECT_EQ(Codes(), (std::vector<uint32_t>{4, 10, 96}));
  EXPECT_EQ(ctx.Journal.GetEvent(2)->Name, "Изменение параметра [Уставка]");
  // The counters read before the journal survive it.
  EXPECT_EQ(ctx.Journal.WorkTime, 10000u);
  EXPECT_EQ(ctx.Journal.IdleTime, 5u);
  EXPECT_EQ(ctx.Journal.StartCount, 7u);
  EXPECT_EQ(ctx.sFieldName, "Поле");
  ASSERT_EQ(ctx.slTrasser.Count(), 2);
  EXPECT_EQ(ctx.slTrasser.Object(0)->Name, "Клавиша  [0]");
  EXPECT_EQ(ctx.slTrasser.Object(1)->Name, "Служебное");
  // Graph variables go to their (not yet built) loaders: no samples, no setup values.
  EXPECT_EQ(ctx.slGraph.Count(), 0);
  EXPECT_EQ(SetupValues(), std::vector<std::string>{"10001=32"});
  EXPECT_TRUE(log.lines.empty()) << log.lines.front();
}

TEST_F(ParserTest, Version0SessionRoutesEveryVariableAndNamesStops) {
  TData work(20, 0);
  testing::PutLE(work, 4, 3600, 4);
  testing::PutLE(work, 12, 3, 4);
  const std::string common =
      Value(1014,
            testing::Journal0(0, {{0, testing::Record0(10, kT)}, {1, testing::Record0(4, kT2)}})) +
      Value(1016, work) + Value(1024, Trace(1, {114})) + Value(1001, {0x21, 0}) +
      Value(9906, {1, 2}) + Value(10304, Cp1251Bytes("Поле"));
  const std::string stops =
      Value(1015, testing::StopJournal0(0, {{0, testing::Stop0(1, 12.5f, kT)}}));
  LogRecorder log;
  ASSERT_TRUE(Load("КСУ-1.2", common + stops));
  EXPECT_EQ(ctx.iProtocol, 0);
  EXPECT_EQ(statuses,
            (std::vector<std::string>{"Загрузка журнала КСУ", "Загрузка журнала событий",
                                      "Загрузка журнала остановов", "Загрузка журнала работы",
                                      "Загрузка 5-мин. графика I"}));
  EXPECT_EQ(Codes(), (std::vector<uint32_t>{10, 4}));
  EXPECT_EQ(ctx.Journal.GetEvent(0)->Name, "Недогруз:[Недогруз]    12.50");
  // 1016 comes after 1014, so the event journal does not clear it.
  EXPECT_EQ(ctx.Journal.WorkTime, 3600u);
  EXPECT_EQ(ctx.Journal.StartCount, 3u);
  EXPECT_EQ(ctx.sFieldName, "Поле");
  ASSERT_EQ(ctx.slTrasser.Count(), 1);
  EXPECT_EQ(ctx.slTrasser.Object(0)->Name, "Запрос  Приоритет: 0");
  EXPECT_EQ(ctx.slGraph.Count(), 0);
  EXPECT_EQ(SetupValues(), std::vector<std::string>{"1001=33"});
  EXPECT_TRUE(log.lines.empty()) << log.lines.front();

  // The next session has no stop journal: the stops of the previous one name nothing.
  ASSERT_TRUE(Load("КСУ-1.2", common));
  EXPECT_EQ(ctx.Journal.GetEvent(0)->Name, "Недогруз");
}

TEST_F(ParserTest, WalkOrderOfRepeatedVariables) {
  // Version 0 hands the element read later first, so the one read first stays.
  ASSERT_TRUE(
      Load("КСУ-1.2", Value(1014, testing::Journal0(0, {{0, testing::Record0(4, kT)}}), 0) +
                          Value(1014, testing::Journal0(0, {{0, testing::Record0(1, kT)}}), 1)));
  EXPECT_EQ(Codes(), std::vector<uint32_t>{4});
  // Version 1 hands them in file order, so the one read last stays.
  const auto j1 = [](uint16_t code) {
    return testing::Journal1(0, {{0, testing::Slot1(code, kT)}}, 1);
  };
  ASSERT_TRUE(Load("2.13.1", Value(10370, j1(4), 0) + Value(10370, j1(300), 1)));
  EXPECT_EQ(Codes(), std::vector<uint32_t>{300});
}

TEST_F(ParserTest, FailuresAndUnknownVariables) {
  {
    LogRecorder log;
    ASSERT_TRUE(Load("2.13.1", Value(9995, {1, 2}) + Value(9996, Word32(4)) + Value(10371, {0}) +
                                   Value(10371, {1, 2, 3, 4, 5})));
    // The short counter fails; the trace's result is not taken.
    EXPECT_EQ(log.lines,
              (std::vector<std::string>{"[TJournal1.ParsingWork] Exception: Range check error",
                                        "[TParserVer1.Parsing] Ошибка при разборе индекса: 9995"}));
    EXPECT_EQ(ctx.Journal.IdleTime, 4u);
  }
  {
    LogRecorder log;
    ASSERT_TRUE(Load("КСУ-1.2", Value(1016, {1}) + Value(1024, {1, 2, 3, 4, 5})));
    EXPECT_EQ(log.lines,
              (std::vector<std::string>{"[TJournal0.ParsingWork] Exception: Range check error",
                                        "[TParserVer0.Parsing] Ошибка при разборе индекса: 1016"}));
  }
  for (const char* version : {"2.13.1", "КСУ-1.2"}) {
    SCOPED_TRACE(version);
    LogRecorder log;
    ASSERT_TRUE(Load(version, Value(10001, {5, 0}) + Value(1001, {6, 0}) + Value(12345, {1})));
    EXPECT_EQ(statuses, std::vector<std::string>{"Загрузка журнала КСУ"});
    EXPECT_EQ(SetupValues(), (std::vector<std::string>{"10001=5", "1001=6"}));
    EXPECT_TRUE(log.lines.empty()) << log.lines.front();
  }
}

TEST(ParserRoutes, NumbersWithoutARowGoToTheSetups) {
  // Numbers of the other protocol's table are setups here.
  EXPECT_EQ(RouteVer0(10370).Loader, TLoader::Setups);
  EXPECT_EQ(RouteVer1(1014).Loader, TLoader::Setups);
  EXPECT_EQ(RouteVer1(16370).Loader, TLoader::Setups);
  EXPECT_EQ(RouteVer1(10371).Kind, 2);
  EXPECT_EQ(RouteVer0(1024).Kind, 1);
  EXPECT_EQ(RouteVer1(10371).Status, nullptr);
  EXPECT_STREQ(LoaderName(RouteVer1(16304).Loader), "ParsingGraphicArchive");
  EXPECT_EQ(RouteVer1(16304).Kind, 15);
}

}  // namespace
}  // namespace kalmet
