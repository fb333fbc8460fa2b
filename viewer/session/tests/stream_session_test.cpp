#include "session/stream_session.h"

#include <chronel.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "log_recorder.h"
#include "session/cp1251.h"
#include "session/memory_stream.h"
#include "session/session_error.h"
#include "session/stream_writer.h"
#include "temp_dir.h"

namespace kalmet {
namespace {

using testing::LogRecorder;
using testing::TempDir;

const std::string kReadError = "[xmlLoad] Exception: Stream read error";

TDateTime At(int y, int mo, int d, int h, int mi, int s) {
  return EncodeDate(y, mo, d) + EncodeTime(h, mi, s, 0);
}

std::string Record(uint16_t id, std::string_view data, uint32_t time = 0, uint8_t index = 0,
                   uint8_t quality = 0) {
  std::string out;
  AppendStreamRecord(out, id, index, quality, time, data);
  return out;
}

std::string Word(uint16_t v) {
  return std::string{static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
}

// A memory stream that remembers the size of every read.
class RecordingStream : public TMemoryStream {
 public:
  using TMemoryStream::TMemoryStream;
  size_t Read(void* dst, size_t n) override {
    reads.push_back(n);
    return TMemoryStream::Read(dst, n);
  }
  std::vector<size_t> reads;
};

struct ReadResult {
  bool ok;
  TInputTable table;
};

std::unique_ptr<ReadResult> ReadAll(const std::string& bytes, TimeT2ArrayFn fn = &TimeT2Array) {
  auto r = std::make_unique<ReadResult>();
  TMemoryStream stream(bytes);
  r->ok = ReadValueRecords(stream, r->table, fn);
  return r;
}

TEST(Chronel, TimeStampToClockFields) {
  struct Case {
    uint32_t time;
    uint8_t fields[6];
  };
  const Case cases[] = {
      {0, {70, 1, 1, 0, 0, 0}},
      {946684799, {99, 12, 31, 23, 59, 59}},
      {951782400, {0, 2, 29, 0, 0, 0}},  // leap day 2000
      {1268656200, {10, 3, 15, 12, 30, 0}},
      {4102444799u, {99, 12, 31, 23, 59, 59}},  // 2099
      {4294967295u, {6, 2, 7, 6, 28, 15}},      // 2106-02-07
  };
  for (const Case& c : cases) {
    uint8_t buf[6] = {};
    TimeT2Array(c.time, buf, 5);
    EXPECT_EQ(std::vector<uint8_t>(buf, buf + 6), std::vector<uint8_t>(c.fields, c.fields + 6))
        << c.time;
  }
  // Only fields 0..high are written; nothing for a null buffer or a negative high.
  uint8_t buf[8] = {0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
  TimeT2Array(1268656200, buf, 2);
  EXPECT_EQ(std::vector<uint8_t>(buf, buf + 4), (std::vector<uint8_t>{10, 3, 15, 0xEE}));
  TimeT2Array(1268656200, buf, -1);
  TimeT2Array(1268656200, nullptr, 5);
  TimeT2Array(1268656200, buf, 7);
  EXPECT_EQ(buf[6], 0xEE);
}

TEST(ReadValueRecords, ReadsRecordsFillersAndLengths) {
  const std::string big(3000, '\x5A');
  const std::string bytes = Word(0) + Record(7, "\x01\x02", 1268656200, 3, 192) + Word(0) +
                            Word(0) + Record(9, "") + Record(11, big) + Record(7, "\x03");
  const auto r = ReadAll(bytes);
  EXPECT_TRUE(r->ok);
  ASSERT_EQ(r->table.Count(), 4);
  const TInputData* eleven = r->table.Find(11);
  ASSERT_NE(eleven, nullptr);
  EXPECT_EQ(eleven->Data, TData(big.begin(), big.end()));
  EXPECT_TRUE(r->table.Find(9)->Data.empty());
  // Duplicates: both kept, the later one found first.
  EXPECT_EQ(r->table.Find(7)->Data, TData{3});
  EXPECT_EQ(r->table.Key(0), "11");
  EXPECT_EQ(r->table.Key(1), "7");
  const TInputData* first7 = r->table.Object(2);
  EXPECT_EQ(first7->Data, (TData{1, 2}));
  EXPECT_EQ(first7->ArrayIndex, 3);
  EXPECT_EQ(first7->Quality, 192);
  EXPECT_DOUBLE_EQ(first7->Time, At(2010, 3, 15, 12, 30, 0));
}

TEST(ReadValueRecords, ReadsDataInPiecesOf1024) {
  RecordingStream stream(Record(11, std::string(3000, 'x')));
  TInputTable table;
  ASSERT_TRUE(ReadValueRecords(stream, table, &TimeT2Array));
  // Number, record head, three data pieces, the final short read at the end.
  EXPECT_EQ(stream.reads, (std::vector<size_t>{2, 8, 1024, 1024, 952, 2}));
}

TEST(ReadValueRecords, TruncationAtEveryOffsetKeepsWholeRecords) {
  // Record boundaries of the stream, with a filler in between.
  std::vector<size_t> ends;
  std::string bytes;
  for (const std::string& part :
       {Record(1, "abc", 5), Word(0), Record(2, std::string(1500, 'q')), Record(3, "")}) {
    bytes += part;
    ends.push_back(bytes.size());
  }
  for (size_t cut = 0; cut <= bytes.size(); ++cut) {
    SCOPED_TRACE(cut);
    size_t whole = 0;
    bool clean = cut == 0 || cut == 1;
    for (size_t i = 0; i < ends.size(); ++i) {
      if (ends[i] <= cut) whole = i + 1;
      // A cut right after a record, or one byte after it, ends the stream cleanly.
      if (cut == ends[i] || cut == ends[i] + 1) clean = true;
    }
    const size_t records = whole - (whole >= 2 ? 1 : 0);  // the filler is no record
    LogRecorder log;
    const auto r = ReadAll(bytes.substr(0, cut));
    EXPECT_EQ(r->ok, clean);
    EXPECT_EQ(static_cast<size_t>(r->table.Count()), records);
    EXPECT_EQ(log.Contains(kReadError), !clean);
  }
}

TEST(ReadValueRecords, DeclaredLengthPastTheEndFailsWithoutReadingIt) {
  // A length of 65535 with five data bytes left: the record is dropped, the first kept.
  std::string bytes = Record(1, "ok");
  bytes += Word(2) + std::string("\0\0\0\0\0\0", 6) + Word(0xFFFF) + "12345";
  LogRecorder log;
  const auto r = ReadAll(bytes);
  EXPECT_FALSE(r->ok);
  EXPECT_EQ(r->table.Count(), 1);
  EXPECT_TRUE(log.Contains(kReadError));
}

TEST(ReadValueRecords, OutOfRangeClockGivesNoTime) {
  // A converter that gives month 0: the time is 0 and the conversion error is logged.
  const auto monthZero = [](uint32_t, uint8_t* b, int32_t) {
    const uint8_t f[6] = {10, 0, 15, 12, 30, 0};
    std::copy(f, f + 6, b);
  };
  LogRecorder log;
  const auto r = ReadAll(Record(9401, ""), monthZero);
  ASSERT_EQ(r->table.Count(), 1);
  EXPECT_EQ(r->table.Object(0)->Time, 0);
  EXPECT_TRUE(log.Contains("[HexDateTime] Ошибка конвертации в TDateTime"));
}

class LoadStreamSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ctx.SetProgramFolder(KALMET_PROGRAM_DIR);
    ctx.Hooks.SelectSetupVersion = [this](SessionContext& c) {
      calls.push_back("setup " + std::to_string(c.iVersionMajor) + "." +
                      std::to_string(c.iVersionMinor));
    };
    ctx.Hooks.ParserVer0 = [this](SessionContext&) { calls.push_back("v0"); };
    ctx.Hooks.ParserVer1 = [this](SessionContext&) { calls.push_back("v1"); };
    ctx.Hooks.ParserVer2 = [this](SessionContext&) { calls.push_back("v2"); };
    ctx.Host.SetTitle = [this](const std::string& t) { title = t; };
    ctx.Host.ReportToUser = [this](const std::string& text, const std::string& caption) {
      reports.push_back(caption + "|" + text);
    };
    // Leftovers of a previous session.
    ctx.slGraph.Add("old", std::make_unique<TEventData>());
    ctx.sStartGraphTime = "old";
  }

  bool Load(const std::string& bytes) {
    TMemoryStream stream(bytes);
    return LoadStreamSession(ctx, stream);
  }

  SessionContext ctx;
  std::vector<std::string> calls;
  std::vector<std::string> reports;
  std::string title;
};

TEST_F(LoadStreamSessionTest, SetsGlobalsFromWellKnownVariables) {
  const std::string bytes = Record(63, Utf8ToCp1251("Куст 5") + std::string("\0junk", 5)) +
                            Record(62, Utf8ToCp1251("Скв. 1012")) +
                            Record(9401, "\x01", 1268656200) + Record(10315, Word(2)) +
                            Record(10316, Word(13)) + Record(10317, Word(4)) +
                            Record(16370, Word(2));
  EXPECT_TRUE(Load(bytes));
  EXPECT_EQ(ctx.sClusterName, "Куст 5");
  EXPECT_EQ(ctx.sWellName, "Скв. 1012");
  EXPECT_EQ(ctx.sFieldName, "");
  EXPECT_EQ(ctx.sSessionTime, "15.03.2010 12:30:00");
  EXPECT_EQ(ctx.iVersionMajor, 2);
  EXPECT_EQ(ctx.iVersionMinor, 13);
  EXPECT_EQ(ctx.sSoftwareVersion, "2.13.4");
  EXPECT_EQ(ctx.iProtocol, 2);
  EXPECT_EQ(calls, (std::vector<std::string>{"setup 2.13", "v2", "v1"}));
  EXPECT_EQ(ctx.slGraph.Count(), 0);
  EXPECT_EQ(ctx.sStartGraphTime, "");
  EXPECT_EQ(
      title,
      "Kalmet. Просмотр файлов сеансов.  15.03.2010 12:30:00 Месторождение: ,  Куст: Куст 5,  "
      "Скважина: Скв. 1012");
  EXPECT_EQ(ctx.sTitle, title);
}

TEST_F(LoadStreamSessionTest, EmptyOrTruncatedStreamStillOpens) {
  EXPECT_TRUE(Load(""));
  EXPECT_EQ(ctx.slInputData.Count(), 0);
  EXPECT_EQ(ctx.sSoftwareVersion, "0.0.0");
  EXPECT_EQ(ctx.sSessionTime, "30.12.1899");
  EXPECT_EQ(ctx.iProtocol, 0);
  EXPECT_EQ(calls, (std::vector<std::string>{"setup 0.0", "v0"}));

  // The records before the damaged one are used; protocol 1 for a version-3 controller.
  calls.clear();
  LogRecorder log;
  const std::string bytes = Record(10315, Word(3)) + Record(16370, Word(7)) + Record(62, "tail");
  EXPECT_TRUE(Load(bytes.substr(0, bytes.size() - 2)));
  EXPECT_EQ(ctx.slInputData.Count(), 2);
  EXPECT_EQ(ctx.iProtocol, 1);
  EXPECT_EQ(calls, (std::vector<std::string>{"setup 3.0", "v1"}));
  EXPECT_TRUE(log.Contains(kReadError));
}

TEST_F(LoadStreamSessionTest, MissingOrBrokenChronelEndsTheProgram) {
  TempDir dir;
  const std::string quorvo = std::string(KALMET_PROGRAM_DIR) + "/libquorvo.so";
  struct Case {
    const char* name;
    std::function<void()> prepare;  // what lies in the program folder
    std::string log;
    std::string report;
  };
  const std::string path = dir.path().string() + "/libchrn.so";
  const Case cases[] = {
      {"missing", [] {}, "Библиотека " + path + " не найдена.",
       "Ошибка!|Библиотека libchrn.so не найдена.\rПродлжение работы невозможно!"},
      {"not a library", [&] { dir.Write("libchrn.so", "not an ELF file"); },
       "LoadLibrary error: ", "Ошибка!|LoadLibrary error: "},
      {"no TimeT2Array",
       [&] {
         std::filesystem::copy_file(quorvo, path,
                                    std::filesystem::copy_options::overwrite_existing);
       },
       "Load TimeT2Array() error: ", "Ошибка!|Load TimeT2Array() error: "},
  };
  ctx.SetProgramFolder(dir.path().string());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.prepare();
    reports.clear();
    calls.clear();
    LogRecorder log;
    EXPECT_THROW(Load(Record(1, "x")), TFatalError);
    EXPECT_TRUE(log.Contains(c.log));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].rfind(c.report, 0), 0u) << reports[0];
    EXPECT_NE(reports[0].find("\rПродлжение работы невозможно!"), std::string::npos);
    EXPECT_EQ(ctx.slInputData.Count(), 0);
    EXPECT_TRUE(calls.empty());
  }
}

}  // namespace
}  // namespace kalmet
