#include "session/xml_session.h"

#include <gtest/gtest.h>

#include "log_recorder.h"
#include "session/cp1251.h"
#include "temp_dir.h"

namespace kalmet {
namespace {

using testing::LogRecorder;
using testing::TempDir;

const std::string kDecl = "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n";

// A session file in Windows-1251 from UTF-8 text.
std::string Session(const std::string& attributes, const std::string& body,
                    const std::string& decl = kDecl) {
  return Utf8ToCp1251(decl + "<SessionReadedData " + attributes + ">\r\n" + body +
                      "</SessionReadedData>\r\n");
}

std::string Value(int id, const std::string& data, const std::string& time = "0 0 0 0 0 0",
                  int index = 0, int quality = 0) {
  return "<Value VariableId=\"" + std::to_string(id) + "\" VariableValueArrayIndex=\"" +
         std::to_string(index) + "\" VariableValueQuality=\"" + std::to_string(quality) +
         "\" VariableValueTime=\"" + time + "\">" + data + "</Value>\r\n";
}

TEST(HexDateTimeText, DecodesBcdFieldsAndRejectsGarbage) {
  EXPECT_DOUBLE_EQ(HexDateTime("18 48 0 21 3 16"),
                   EncodeDate(2010, 3, 15) + EncodeTime(12, 30, 0, 0));
  EXPECT_DOUBLE_EQ(HexDateTime("  18  48 0 21 3 16 "),
                   EncodeDate(2010, 3, 15) + EncodeTime(12, 30, 0, 0));
  // Years below 2004 are not moved on here.
  EXPECT_DOUBLE_EQ(HexDateTime("0 0 0 1 1 2"), EncodeDate(2002, 1, 1));

  struct Case {
    const char* text;
    bool logged;
  };
  const Case zero[] = {
      {"0 0 0 0 0 0", false},      {"255 255 255 255 255 255", false},
      {" 0 0 0 0 0 0 ", false},    {"18 48 0 0 3 16", false},  // day 0
      {"18 48 0 21 19 16", false},                             // month 0x13
      {"18 48 0 21 3 26", true},                               // 26 is 0x1A
      {"18 48 0 x 3 16", true},    {"18 48 0 21 3", true},
      {"18 48 0 21 3 16 1", true}, {"", true},
      {"36 0 0 1 1 16", true},  // hour 24 passes the range, fails to encode
      {"0 0 0 49 2 16", true},  // 31 February
      {"-1 0 0 1 1 16", true},
  };
  for (const Case& c : zero) {
    LogRecorder log;
    EXPECT_DOUBLE_EQ(HexDateTime(c.text), 0) << c.text;
    EXPECT_EQ(log.Contains(std::string("[HexDateTime] Ошибка конвертации \"") + c.text +
                           "\" в TDateTime"),
              c.logged)
        << c.text;
  }
}

TEST(ValueText, BlanksAndDigits) {
  struct Case {
    const char* text;
    TData bytes;
  };
  const Case cases[] = {
      {"A0 1", {0xA0, 0x01}},
      {"A0 1 ", {0xA0, 0x01}},
      {" A0", {0x00, 0xA0}},
      {"1F 0 A0", {0x1F, 0, 0xA0}},
      {"1  2", {1, 0, 2}},
      {"123", {0x23}},
      {"", {0}},
      {"g", {static_cast<uint8_t>('g' - 48)}},
      {"ff", {0xFF}},
  };
  for (const Case& c : cases) EXPECT_EQ(DecodeValueText(c.text), c.bytes) << c.text;
}

TEST(SessionTime, ReformatsEitherOrderAndKeepsOddForms) {
  const std::pair<const char*, const char*> cases[] = {
      {"2003.05.06 10:11:12", "06.05.2007 10:11:12."},
      {"10:11:12 2010.05.06", "06.05.2010 10:11:12."},
      {"06.05.2010 10:11", "06.05.2010 10:11:00."},
      {"10:11 06.05.2010", "06.05.2010 10:11:00."},
      {"yesterday evening", "yesterday evening"},
      {"2010.13.06 10:11:12", "2010.13.06 10:11:12"},
      {"2010.05.06", "2010.05.06"},
      {"", ""},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(ReformatSessionTime(in), out) << in;
}

struct VersionCase {
  const char* attribute;  // nullptr: no attribute
  int major, minor;
};

TEST(GetVersion, ReadsMajorAndMinor) {
  const VersionCase cases[] = {
      {"КСУ-1.2", 0, 0}, {"2.13.4", 2, 13}, {"2.13", 2, 0},  {nullptr, 0, 0},
      {"3", 0, 0},       {"x.1.2", 0, 0},   {"5.y.1", 5, 0}, {"10.2.3.4", 10, 2},
  };
  for (const VersionCase& c : cases) {
    pugi::xml_document doc;
    auto root = doc.append_child("SessionReadedData");
    if (c.attribute) root.append_attribute("CSCSoftwareVersion") = c.attribute;
    SessionContext ctx;
    GetVersion(ctx, root);
    EXPECT_EQ(ctx.iVersionMajor, c.major) << (c.attribute ? c.attribute : "(none)");
    EXPECT_EQ(ctx.iVersionMinor, c.minor) << (c.attribute ? c.attribute : "(none)");
  }
}

TEST(LoadXmlSession, FillsTableGlobalsAndTitle) {
  TempDir dir;
  const std::string file = dir.Write(
      "s.xml", Session("WellClusterName=\"Куст 12\" OilWellName=\"Скв. 345\" "
                       "SessionTime=\"2010.03.15 12:30:00\" CSCSoftwareVersion=\"2.13.4\"",
                       Value(16370, "2 0") + Value(62, "4B 53 55", "18 48 0 21 3 16", 3, 7) +
                           Value(62, "1") + Value(0, "FF") + Value(9401, "A0 1 ")));
  SessionContext ctx;
  std::string title;
  ctx.Host.SetTitle = [&](const std::string& t) { title = t; };
  bool parser1 = false, parser2 = false, parser2_first = false, setups = false;
  ctx.Hooks.SelectSetupVersion = [&](SessionContext& c) {
    setups = c.iVersionMajor == 2 && c.iVersionMinor == 13;
  };
  ctx.Hooks.ParserVer2 = [&](SessionContext&) {
    parser2 = true;
    parser2_first = !parser1;
  };
  ctx.Hooks.ParserVer1 = [&](SessionContext&) { parser1 = true; };

  ASSERT_TRUE(LoadXmlSession(ctx, file));
  EXPECT_EQ(ctx.sClusterName, "Куст 12");
  EXPECT_EQ(ctx.sWellName, "Скв. 345");
  EXPECT_EQ(ctx.sSessionTime, "15.03.2010 12:30:00.");
  EXPECT_EQ(ctx.sSoftwareVersion, "2.13.4");
  EXPECT_EQ(ctx.iProtocol, 2);
  EXPECT_TRUE(setups);
  EXPECT_TRUE(parser1 && parser2 && parser2_first);
  EXPECT_EQ(title,
            "Kalmet 15.03.2010 12:30:00. Месторождение: ,  Куст: Куст 12,  Скважина: Скв. 345");

  // Variable 0 is skipped; the later 62 comes first.
  ASSERT_EQ(ctx.slInputData.Count(), 4);
  EXPECT_EQ(ctx.slInputData.Key(0), "16370");
  EXPECT_EQ(ctx.slInputData.Object(1)->Data, TData{1});
  const TInputData* first62 = ctx.slInputData.Object(2);
  EXPECT_EQ(first62->Data, (TData{0x4B, 0x53, 0x55}));
  EXPECT_EQ(first62->ArrayIndex, 3);
  EXPECT_EQ(first62->Quality, 7);
  EXPECT_DOUBLE_EQ(first62->Time, EncodeDate(2010, 3, 15) + EncodeTime(12, 30, 0, 0));
  EXPECT_EQ(ctx.slInputData.GetValueData(9401), (TData{0xA0, 0x01}));
}

TEST(LoadXmlSession, ProtocolChoice) {
  struct Case {
    const char* version;
    const char* protocolValue;  // nullptr: variable absent
    int protocol;
    const char* parsers;
  };
  const Case cases[] = {
      {"КСУ-1", "2 0", 0, "0"}, {"0.5.1", "2 0", 0, "0"},   {"2.1.0", "2 0", 2, "21"},
      {"2.1.0", "1 0", 1, "1"}, {"2.1.0", nullptr, 1, "1"}, {"2.1.0", "7 0", 1, "1"},
  };
  for (const Case& c : cases) {
    TempDir dir;
    const std::string body = c.protocolValue ? Value(16370, c.protocolValue) : Value(5, "1");
    const std::string file =
        dir.Write("s.xml", Session(std::string("CSCSoftwareVersion=\"") + c.version + "\"", body));
    SessionContext ctx;
    std::string ran;
    ctx.Hooks.ParserVer0 = [&](SessionContext&) { ran += "0"; };
    ctx.Hooks.ParserVer1 = [&](SessionContext&) { ran += "1"; };
    ctx.Hooks.ParserVer2 = [&](SessionContext&) { ran += "2"; };
    ASSERT_TRUE(LoadXmlSession(ctx, file)) << c.version;
    EXPECT_EQ(ctx.iProtocol, c.protocol) << c.version;
    EXPECT_EQ(ran, c.parsers) << c.version;
  }
}

TEST(LoadXmlSession, DeclarationRule) {
  TempDir dir;
  const std::string body = Value(5, "1");
  // No declaration: it is inserted and the file loads.
  SessionContext a;
  EXPECT_TRUE(LoadXmlSession(a, dir.Write("a.xml", Session("", body, ""))));
  EXPECT_EQ(a.slInputData.Count(), 1);
  // Another declaration: the inserted one makes it fail to parse.
  LogRecorder log;
  SessionContext b;
  EXPECT_FALSE(LoadXmlSession(
      b, dir.Write("b.xml", Session("", body, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"))));
  EXPECT_TRUE(log.Contains("[xmlOpen] Exception: "));
}

TEST(LoadXmlSession, DamagedFiles) {
  struct Case {
    const char* name;
    std::string bytes;
    bool result;
    const char* log;  // a line that must be logged, or nullptr for none
    int values;       // table entries afterwards
  };
  const std::string good = Value(5, "1") + Value(6, "2");
  const Case cases[] = {
      {"empty file", "", false, "[xmlOpen] Exception: ", 0},
      {"not xml", "hello world\x01\x02", false, "[xmlOpen] Exception: ", 0},
      {"truncated", Session("", good).substr(0, 90), false, "[xmlOpen] Exception: ", 0},
      {"another root", kDecl + "<Other/>", false, nullptr, 0},
      {"element without content",
       Session("", Value(5, "1") + "<Value VariableId=\"6\"/>" + Value(7, "3")), true,
       "[xmlLoad] Exception: ", 1},
      {"odd separators and garbage", Session("", Value(5, "1,2;3") + Value(6, "\t7")), true,
       nullptr, 2},
      {"huge element", Session("", Value(5, std::string(200000, 'F'))), true, nullptr, 1},
      {"bad time", Session("", Value(5, "1", "26 0 0 1 1 16")), true, "[HexDateTime]", 1},
  };
  for (const Case& c : cases) {
    TempDir dir;
    const std::string file = dir.Write("s.xml", c.bytes);
    LogRecorder log;
    SessionContext ctx;
    EXPECT_EQ(LoadXmlSession(ctx, file), c.result) << c.name;
    if (c.log) {
      EXPECT_TRUE(log.Contains(c.log)) << c.name;
    } else {
      EXPECT_TRUE(log.lines.empty()) << c.name << ": " << (log.lines.empty() ? "" : log.lines[0]);
    }
    EXPECT_EQ(ctx.slInputData.Count(), c.values) << c.name;
  }
  LogRecorder log;
  SessionContext ctx;
  EXPECT_FALSE(LoadXmlSession(ctx, "/nonexistent/file.xml"));
  EXPECT_TRUE(log.Contains("[xmlOpen] Exception: "));
}

TEST(LoadXmlSession, ANewSessionReplacesThePrevious) {
  TempDir dir;
  SessionContext ctx;
  ctx.slGraph.Add("k", std::make_unique<TEventData>());
  ctx.slTrasser.Add("k", std::make_unique<TEventData>());
  ctx.slJournal.Add("k", ctx.slGraph.Object(0));
  ctx.Journal.Add("k", std::make_unique<TEventData>());
  ctx.Journal.StartCount = 4;
  ctx.sStartGraphTime = "old";
  ASSERT_TRUE(LoadXmlSession(ctx, dir.Write("a.xml", Session("", Value(5, "1")))));
  EXPECT_EQ(ctx.slGraph.Count(), 0);
  EXPECT_EQ(ctx.slTrasser.Count(), 0);
  EXPECT_EQ(ctx.slJournal.Count(), 0);
  EXPECT_EQ(ctx.Journal.Count(), 0);
  EXPECT_EQ(ctx.Journal.StartCount, 0u);
  EXPECT_EQ(ctx.sStartGraphTime, "");
  ASSERT_TRUE(LoadXmlSession(ctx, dir.Write("b.xml", Session("", Value(6, "1") + Value(7, "1")))));
  EXPECT_EQ(ctx.slInputData.Count(), 2);
  EXPECT_EQ(ctx.slInputData.IndexOf(5), -1);
}

}  // namespace
}  // namespace kalmet
