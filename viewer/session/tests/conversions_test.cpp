#include "session/conversions.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>

#include "log_recorder.h"
#include "session/cp1251.h"
#include "session/delphi_text.h"

namespace kalmet {
namespace {

using testing::LogRecorder;

TDateTime At(int y, int mo, int d, int h, int mi, int s, int ms = 0) {
  return EncodeDate(y, mo, d) + EncodeTime(h, mi, s, ms);
}

TEST(DecDateTime, Bytes) {
  struct Case {
    const char* name;
    std::array<uint8_t, 6> bytes;
    TDateTime expected;
    bool logged;
  };
  const Case cases[] = {
      {"year 2002 moves on by four", {10, 20, 30, 15, 6, 2}, At(2006, 6, 15, 10, 20, 30), false},
      {"year 2004 stays", {10, 20, 30, 15, 6, 4}, At(2004, 6, 15, 10, 20, 30), false},
      {"day 0 is no time", {10, 20, 30, 0, 6, 4}, 0, false},
      {"month 13 is no time", {10, 20, 30, 1, 13, 4}, 0, false},
      {"hour 25 is no time", {25, 20, 30, 1, 1, 4}, 0, false},
      {"hour 24 passes the range test and fails to encode", {24, 0, 0, 1, 1, 10}, 0, true},
      {"minute 60 fails to encode", {1, 60, 0, 1, 1, 10}, 0, true},
      {"31 April fails to encode", {1, 0, 0, 31, 4, 10}, 0, true},
      {"all 255 is no time", {255, 255, 255, 255, 255, 255}, 0, false},
  };
  for (const Case& c : cases) {
    LogRecorder log;
    EXPECT_DOUBLE_EQ(DecDateTime(c.bytes, 5), c.expected) << c.name;
    EXPECT_EQ(!log.lines.empty(), c.logged) << c.name;
  }
}

TEST(DecDateTime, LogLineDumpsBytesInHexAndWordsInDecimal) {
  {
    LogRecorder log;
    const std::array<uint8_t, 6> b = {24, 0, 0, 31, 4, 10};
    DecDateTime(b, 5);
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_EQ(log.lines[0], "[DecDateTime] Ошибка конвертации.18 0 0 1F 4 A");
  }
  {
    LogRecorder log;
    const std::array<uint16_t, 6> w = {24, 0, 0, 31, 4, 10};
    DecDateTime(w, 5);
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_EQ(log.lines[0], "[DecDateTime] Ошибка конвертации.24 0 0 31 4 10");
  }
  const std::array<uint16_t, 6> ok = {10, 20, 30, 15, 6, 2};
  EXPECT_DOUBLE_EQ(DecDateTime(ok, 5), At(2006, 6, 15, 10, 20, 30));
}

TEST(HexDateTimeBytes, StrictTimeLimitsAndLoggedDateErrors) {
  struct Case {
    std::array<uint8_t, 6> bytes;
    TDateTime expected;
    bool logged;
  };
  const Case cases[] = {
      {{10, 3, 15, 12, 30, 0}, At(2010, 3, 15, 12, 30, 0), false},
      {{2, 3, 15, 12, 30, 0}, At(2002, 3, 15, 12, 30, 0), false},  // no shift by four
      {{10, 0, 15, 12, 30, 0}, 0, true},                           // month 0
      {{10, 2, 30, 12, 30, 0}, 0, true},                           // 30 February
      {{10, 3, 15, 24, 0, 0}, 0, false},                           // hour 24
      {{10, 3, 15, 23, 60, 0}, 0, false},                          // minute 60
      {{10, 13, 15, 1, 1, 1}, 0, false},                           // month 13
  };
  for (const Case& c : cases) {
    LogRecorder log;
    EXPECT_DOUBLE_EQ(HexDateTime(c.bytes, 5), c.expected);
    EXPECT_EQ(log.Contains("[HexDateTime] Ошибка конвертации в TDateTime"), c.logged);
  }
}

TEST(ConvertClockHexToDec, ConvertsInPlaceAndStopsAtTheFirstBadByte) {
  std::array<uint8_t, 6> good = {0x12, 0x05, 0x59, 0x31, 0x12, 0x99};
  EXPECT_TRUE(ConvertClockHexToDec(good));
  EXPECT_EQ(good, (std::array<uint8_t, 6>{12, 5, 59, 31, 12, 99}));

  LogRecorder log;
  std::array<uint8_t, 6> bad = {0x12, 0x1A, 0x30, 0, 0, 0};
  EXPECT_FALSE(ConvertClockHexToDec(bad));
  EXPECT_EQ(bad[0], 12);
  EXPECT_EQ(bad[1], 0x1A);
  ASSERT_EQ(log.lines.size(), 1u);
  EXPECT_EQ(log.lines[0], "[ConvertClockHexToDec] Ошибка конвертации.C 1A 30 0 0 0");
}

TEST(ConvertToStr, StopsAtZeroAndDecodesWindows1251) {
  EXPECT_EQ(ConvertToStr({}), "");
  EXPECT_EQ(ConvertToStr({'A', 'B', 0, 'C'}), "AB");
  EXPECT_EQ(ConvertToStr({0xCA, 0xD1, 0xD3}), "КСУ");
  EXPECT_EQ(Utf8ToCp1251("Журнал аварий"), "\xC6\xF3\xF0\xED\xE0\xEB \xE0\xE2\xE0\xF0\xE8\xE9");
  EXPECT_EQ(Cp1251ToUtf8(Utf8ToCp1251("ёЁ№ test")), "ёЁ№ test");
  EXPECT_EQ(Utf8ToCp1251("\xE2\x82"), "??");  // truncated sequence
}

TEST(GetSize, TestsInOrder) {
  const std::pair<const char*, int> cases[] = {{"FLOAT32", 4}, {"INT8U", 1},  {"INT64", 8},
                                               {"BIT", 0},     {"INT16S", 2}, {"INT32_8", 4},
                                               {"", 0}};
  for (const auto& [name, size] : cases) EXPECT_EQ(GetSize(name), size) << name;
}

TEST(CastFloat2Int, TruncatesAndKeepsLowBits) {
  struct Case {
    const char* type;
    float x;
    int64_t expected;
  };
  const Case cases[] = {
      {"INT8U", 300.7f, 44},         {"INT8S", -1.9f, -1},         {"int8s", 200.0f, -56},
      {"INT16U", -1.0f, 65535},      {"INT16S", 40000.0f, -25536}, {"INT32U", -2.0f, 4294967294},
      {"INT32S", 3e9f, -1294967296},
  };
  for (const Case& c : cases) {
    int64_t v = 0;
    EXPECT_TRUE(CastFloat2Int(c.type, v, c.x)) << c.type;
    EXPECT_EQ(v, c.expected) << c.type << " " << c.x;
  }
  LogRecorder log;
  int64_t v = 7;
  EXPECT_TRUE(CastFloat2Int("FLOAT", v, 1.5f));
  EXPECT_EQ(v, 7);
  EXPECT_TRUE(log.Contains("CastFloat2IntНе понятный формат: FLOAT"));
  EXPECT_FALSE(CastFloat2Int("INT8U", v, NAN));
}

TEST(ConvertKeyToDouble, TimeKeysRecordKeysAndErrors) {
  EXPECT_DOUBLE_EQ(ConvertKeyToDouble("2010.03.15 12:30:00.250", 1),
                   At(2010, 3, 15, 12, 30, 0, 250));
  EXPECT_DOUBLE_EQ(ConvertKeyToDouble("$00000000000001A", 2), 26.0);
  EXPECT_DOUBLE_EQ(ConvertKeyToDouble("$0000000FFFFFFFF", 2), -1.0);
  EXPECT_DOUBLE_EQ(ConvertKeyToDouble(RecordKey(10), 2), 10.0);

  for (const auto& [key, protocol] : {std::pair<const char*, int>{"2010.03.15", 1},
                                      {"2010.13.15 12:30:00.250", 1},
                                      {"$100000000", 2},
                                      {"", 2}}) {
    LogRecorder log;
    const double v = ConvertKeyToDouble(key, protocol);
    EXPECT_TRUE(std::isnan(v)) << key;
    uint64_t bits;
    std::memcpy(&bits, &v, 8);
    EXPECT_EQ(bits, 0xFFF8000000000000ull);
    EXPECT_TRUE(log.Contains("[ConvertKeyToDouble] [" + std::string(key) + "] Exception: ")) << key;
  }
}

TEST(Keys, RecordKeysSortInNumberOrderAndRangesAreInclusive) {
  EXPECT_EQ(RecordKey(10), "$00000000000000A");
  EXPECT_LT(CompareText(RecordKey(9), RecordKey(10)), 0);
  EXPECT_TRUE(KeyInRange("anything", "", ""));
  EXPECT_TRUE(KeyInRange("2010.03.15", "2010.03.15", "2010.03.15"));
  EXPECT_FALSE(KeyInRange("2010.03.14", "2010.03.15", ""));
  EXPECT_FALSE(KeyInRange("2010.03.16", "", "2010.03.15"));
  EXPECT_TRUE(KeyInRange("$00000000000000a", "$00000000000000A", "$00000000000000A"));
}

TEST(SameMoment, TenMillisecondsApartIsNotTheSame) {
  const TDateTime t = At(2010, 3, 15, 12, 30, 0);
  EXPECT_TRUE(SameMoment(t, t + EncodeTime(0, 0, 0, 9)));
  EXPECT_FALSE(SameMoment(t, t + EncodeTime(0, 0, 0, 10)));
  EXPECT_FALSE(SameMoment(t + EncodeTime(0, 0, 0, 11), t));
}

TEST(ParseInt, DecimalHexAndLimits) {
  EXPECT_EQ(ParseInt("42"), 42);
  EXPECT_EQ(ParseInt("-42"), -42);
  EXPECT_EQ(ParseInt(" 7"), 7);
  EXPECT_EQ(ParseInt("$1F"), 31);
  EXPECT_EQ(ParseInt("0x1f"), 31);
  EXPECT_EQ(ParseInt("$FFFFFFFF"), -1);
  EXPECT_EQ(ParseInt("2147483647"), 2147483647);
  EXPECT_EQ(ParseInt("-2147483648"), INT32_MIN);
  for (const char* bad : {"", "-", "$", "2147483648", "12a", "7 ", "$100000000", "1.5"}) {
    EXPECT_FALSE(ParseInt(bad).has_value()) << bad;
  }
}

}  // namespace
}  // namespace kalmet
