#include "session/binary_session.h"

#include <gtest/gtest.h>

#include "log_recorder.h"
#include "session/cp1251.h"
#include "session/delphi_text.h"
#include "session/session_error.h"
#include "session/stream_writer.h"
#include "session/xml_session.h"
#include "temp_dir.h"

namespace kalmet {
namespace {

using testing::TempDir;

struct Value {
  uint16_t id;
  uint8_t index;
  uint8_t quality;
  TDateTime time;  // whole seconds (a stream has no "no time": its stamp 0 is 1970)
  std::string data;
};

// One session's content, as the controller holds it.
std::vector<Value> Content() {
  const TDateTime t = EncodeDate(2012, 7, 9) + EncodeTime(8, 5, 59, 0);
  return {
      {63, 0, 0, t, Utf8ToCp1251("Куст 12") + std::string(1, '\0')},
      {62, 0, 0, t, Utf8ToCp1251("Скв 7")},
      {9401, 0, 0, t, "\x01"},
      {10315, 0, 0, t, std::string("\x02\x00", 2)},
      {10316, 0, 0, t, std::string("\x05\x00", 2)},
      {10317, 0, 0, t, std::string("\x01\x00", 2)},
      {16370, 0, 0, t, std::string("\x01\x00", 2)},
      {500, 3, 192, t + 1.5, std::string("\xA0\x00\x01", 3)},
      {500, 4, 0, t, ""},
      {7000, 0, 1, t, std::string(3000, '\x33')},
  };
}

std::string StreamOf(const std::vector<Value>& values) {
  std::string out;
  for (const Value& v : values) {
    AppendStreamRecord(out, v.id, v.index, v.quality, StreamTime(v.time), v.data);
    AppendStreamFiller(out);
  }
  return out;
}

// The XML session of the same content: clock fields as BCD bytes written in decimal.
std::string XmlOf(const std::vector<Value>& values) {
  std::string xml =
      "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n<SessionReadedData "
      "WellClusterName=\"Куст 12\" OilWellName=\"Скв 7\" CSCSoftwareVersion=\"2.5.1\">\r\n";
  const auto bcd = [](int n) { return std::to_string(n / 10 * 16 + n % 10); };
  for (const Value& v : values) {
    std::string time = "0 0 0 0 0 0";
    if (v.time != 0) {
      const DateTimeParts p = DecodeDateTime(v.time);
      time = bcd(p.hour) + " " + bcd(p.minute) + " " + bcd(p.second) + " " + bcd(p.day) + " " +
             bcd(p.month) + " " + bcd(p.year % 100);
    }
    std::string hex;
    for (unsigned char c : v.data) hex += Format("%X ", c);
    xml += Format(
        "<V VariableId=\"%d\" VariableValueArrayIndex=\"%d\" VariableValueQuality=\"%d\" "
        "VariableValueTime=\"%s\">%s</V>\r\n",
        v.id, v.index, v.quality, time.c_str(), hex.empty() ? "" : hex.c_str());
  }
  return Utf8ToCp1251(xml + "</SessionReadedData>\r\n");
}

class BinarySessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ctx.SetProgramFolder(KALMET_PROGRAM_DIR);
    ctx.Hooks.SelectSetupVersion = [this](SessionContext& c) {
      calls.push_back(Format("setup %d.%d", c.iVersionMajor, c.iVersionMinor));
    };
    ctx.Hooks.ParserVer0 = [this](SessionContext&) { calls.push_back("v0"); };
    ctx.Hooks.ParserVer1 = [this](SessionContext& c) {
      calls.push_back(Format("v1 %d values", c.slInputData.Count()));
    };
  }

  // The table as text, in table order.
  std::vector<std::string> Table() const {
    std::vector<std::string> rows;
    for (int i = 0; i < ctx.slInputData.Count(); ++i) {
      const TInputData* d = ctx.slInputData.Object(i);
      rows.push_back(Format("%d/%d/%d/%.9f/", d->Id, d->ArrayIndex, d->Quality, d->Time) +
                     std::string(d->Data.begin(), d->Data.end()));
    }
    return rows;
  }

  SessionContext ctx;
  std::vector<std::string> calls;
  TempDir dir;
};

// The edge cases of the table reads ("empty data" is written as an element without content
// in XML, which the XML reader does not accept), so the empty record is left out there.
TEST_F(BinarySessionTest, AllThreeKindsGiveTheSameTableAndParserRun) {
  std::vector<Value> content = Content();
  content.erase(content.begin() + 8);
  const std::string stream = StreamOf(content);

  ASSERT_TRUE(LoadXmlSession(ctx, dir.Write("s.xml", XmlOf(content))));
  const auto xmlTable = Table();
  const auto xmlCalls = calls;
  ASSERT_EQ(xmlTable.size(), content.size());
  EXPECT_EQ(xmlCalls,
            (std::vector<std::string>{"setup 2.5", Format("v1 %zu values", content.size())}));

  for (const char* kind : {"Z4K", "Z5K"}) {
    SCOPED_TRACE(kind);
    calls.clear();
    const bool z5k = kind[2] == '5';
    const std::string file =
        dir.Write(std::string("s.") + kind, z5k ? Z5KContainer(stream) : stream);
    ctx.bZ5K = !z5k;
    ASSERT_TRUE(z5k ? LoadZ5KSession(ctx, file) : LoadZ4KSession(ctx, file));
    EXPECT_EQ(Table(), xmlTable);
    EXPECT_EQ(calls, xmlCalls);
    EXPECT_EQ(ctx.bZ5K, z5k);
    EXPECT_EQ(ctx.iProtocol, 1);
    EXPECT_EQ(ctx.sClusterName, "Куст 12");
    EXPECT_EQ(ctx.sWellName, "Скв 7");
    EXPECT_EQ(ctx.sSoftwareVersion, "2.5.1");
    EXPECT_EQ(ctx.sSessionTime, "09.07.2012 08:05:59");
  }
}

TEST_F(BinarySessionTest, Z5KAppendsTheMeasurementJournalAfterTheParsers) {
  std::string slices;
  for (uint32_t n : {5u, 6u, 7u}) {
    TMeasurementSlice s;
    s.Number = n;
    s.Time = 1000000000u + n;
    AppendMeasurementSlice(slices, s);
  }
  ctx.Hooks.ParserVer1 = [this](SessionContext& c) {
    c.slGraph.Add("2012.07.09 08:05:59.000", std::make_unique<TEventData>());
    calls.push_back("v1");
  };
  int count = -1;
  const std::string file = dir.Write("m.z5k", Z5KContainer(StreamOf(Content()), slices));
  ASSERT_TRUE(LoadZ5KSession(ctx, file, &count));
  EXPECT_EQ(count, 3);
  ASSERT_EQ(ctx.slGraph.Count(), 4);
  EXPECT_EQ(ctx.slGraph.Key(1), "$000000000000005");
  EXPECT_EQ(ctx.slGraph.Key(3), "$000000000000007");
  EXPECT_EQ(ctx.slInputData.Count(), 10);

  // A stream-only file after it: bZ5K back to false, slGraph cleared by the reader.
  ASSERT_TRUE(LoadZ4KSession(ctx, dir.Write("s.Z4K", StreamOf(Content()))));
  EXPECT_FALSE(ctx.bZ5K);
  EXPECT_EQ(ctx.slGraph.Count(), 1);
}

TEST_F(BinarySessionTest, DamagedFilesRaiseTheMessageForTheUser) {
  const std::string h = Z5KHeader();
  std::string measurementPastEnd = Z5KContainer(StreamOf(Content()));
  measurementPastEnd += std::string("\x02\xFF\x00\x00\x00", 5) + "short";
  struct Case {
    const char* name;
    std::string file;
    std::string message;
  };
  const Case cases[] = {
      {"short header", dir.Write("a.Z5K", "abc"), "Неверный формат заголовка"},
      {"short section header", dir.Write("b.Z5K", h + "\x01\x02"), "Неверный заголовок секции"},
      {"huge section", dir.Write("c.Z5K", h + "\x01\xFF\xFF\xFF\xFF" + "x"),
       "Неверный размер секции"},
      {"damaged measurement section", dir.Write("d.Z5K", measurementPastEnd),
       "Ошибка открытия библиотеки"},
      {"missing Z5K", (dir.path() / "none.Z5K").string(), "Cannot open file"},
  };
  for (const Case& c : cases) {
    try {
      LoadZ5KSession(ctx, c.file);
      ADD_FAILURE() << c.name << ": no error";
    } catch (const TSessionError& e) {
      EXPECT_EQ(std::string(e.what()).rfind(c.message, 0), 0u) << c.name << ": " << e.what();
    }
  }
  EXPECT_THROW(LoadZ4KSession(ctx, (dir.path() / "none.Z4K").string()), TSessionError);
  EXPECT_THROW(LoadZ4KSession(ctx, dir.path().string()), TSessionError);
}

}  // namespace
}  // namespace kalmet
