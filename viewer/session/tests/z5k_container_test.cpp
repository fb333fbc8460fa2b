#include "session/z5k_container.h"

#include <gtest/gtest.h>
#include <quorvo.h>

#include <cmath>

#include "session/measurement_journal.h"
#include "session/session_error.h"
#include "session/stream_writer.h"
#include "temp_dir.h"

namespace kalmet {
namespace {

using testing::TempDir;

const std::string kHeaderError = "Неверный формат заголовка";
const std::string kSectionHeaderError = "Неверный заголовок секции";
const std::string kSectionSizeError = "Неверный размер секции";

std::string Section(uint8_t type, std::string_view body) {
  std::string out;
  AppendZ5KSection(out, type, body);
  return out;
}

// A section header that declares size but carries no body.
std::string BareSection(uint8_t type, uint32_t size) {
  std::string out{static_cast<char>(type)};
  for (int i = 0; i < 4; ++i) out += static_cast<char>(size >> (8 * i) & 0xFF);
  return out;
}

// The unpacked body, or the error text.
std::string Unpack(const std::string& bytes) {
  TMemoryStream file(bytes), out("stale");
  try {
    UnpackZ5K(file, out);
  } catch (const TSessionError& e) {
    return std::string("error: ") + e.what();
  }
  EXPECT_EQ(out.Position(), 0u);
  return out.Bytes();
}

TEST(UnpackZ5K, FindsTheStreamSectionOrFailsWithTheRightText) {
  const std::string h = Z5KHeader();
  struct Case {
    const char* name;
    std::string bytes;
    std::string expected;
  };
  const Case cases[] = {
      {"first section", h + Section(1, "stream") + Section(2, "slices"), "stream"},
      {"empty sections before", h + Section(7, "") + Section(1, "") + Section(1, "s"), "s"},
      // A body of another type is passed over, so the next header is found.
      {"measurement section first", h + Section(2, std::string(96, '\x01')) + Section(1, "s"), "s"},
      {"body that looks like a header", h + Section(3, Section(1, "inner")) + Section(1, "outer"),
       "outer"},
      {"exactly 80 bytes", h, ""},
      {"no stream section", h + Section(2, "abc"), ""},
      {"empty file", "", "error: " + kHeaderError},
      {"79 bytes", h.substr(0, 79), "error: " + kHeaderError},
      {"4 bytes of a section header", h + BareSection(1, 3).substr(0, 4),
       "error: " + kSectionHeaderError},
      {"stream past the end", h + BareSection(1, 10) + "123456789", "error: " + kSectionSizeError},
      {"huge stream size", h + BareSection(1, 0xFFFFFFFF) + "x", "error: " + kSectionSizeError},
      {"other section past the end", h + BareSection(2, 0x7FFFFFFF) + Section(1, "s"),
       "error: " + kSectionSizeError},
      {"garbage after the other section", h + Section(2, "ab") + "\x01\x02",
       "error: " + kSectionHeaderError},
  };
  for (const Case& c : cases) EXPECT_EQ(Unpack(c.bytes), c.expected) << c.name;
}

TEST(UnpackZ5K, TruncationAtEveryOffsetGivesTheBodyOrAnError) {
  const std::string bytes = Z5KHeader() + Section(2, std::string(96, 'm')) + Section(1, "body!");
  for (size_t cut = 0; cut <= bytes.size(); ++cut) {
    const std::string got = Unpack(bytes.substr(0, cut));
    EXPECT_TRUE(got == "body!" || got == "" || got.rfind("error: ", 0) == 0) << cut;
    if (cut == bytes.size()) {
      EXPECT_EQ(got, "body!");
    }
    if (cut == 80 || cut == 80 + 5 + 96) {
      EXPECT_EQ(got, "") << cut;
    }
  }
}

std::string Slice(const TMeasurementSlice& s) {
  std::string out;
  AppendMeasurementSlice(out, s);
  return out;
}

std::unique_ptr<TEventData> EventOf(const TMeasurementSlice& s) {
  const std::string bytes = Slice(s);
  return MeasurementEvent(std::span<const uint8_t, kMeasurementSliceSize>(
      reinterpret_cast<const uint8_t*>(bytes.data()), kMeasurementSliceSize));
}

TEST(MeasurementEvent, MapsEveryFieldOfTheSlice) {
  TMeasurementSlice s;
  s.Number = 42;
  s.Time = 1268656200;
  s.Uab = 380, s.Ubc = 381, s.Uca = 382, s.UnbalanceUIn = 3, s.Udc = 540, s.Idc = 12.5f;
  s.Uuv = 1000, s.Uvw = 1001, s.Uwu = 65535, s.UnbalanceUOut = 4;
  s.Iu = 20.25f, s.Iv = 21.5f, s.Iw = -1.0f, s.UnbalanceIOut = 255;
  s.Pa = 100.5f, s.Ps = 120.75f, s.Cos = 0.85f, s.MotorLoad = 77, s.Fout = 50.0f;
  s.Flags = 0x01FE;  // rotation 2, values 21-27 present
  s.Riz = 9999, s.MotorPressure = 15.5f, s.MotorTemperature = 90, s.LiquidPressure = 10.25f;
  s.LiquidTemperature = 60, s.VibrationXY = 0.5f, s.VibrationZ = 0.75f;
  const auto e = EventOf(s);
  EXPECT_EQ(e->Key, "$00000000000002A");
  EXPECT_EQ(e->Id, 42u);
  EXPECT_EQ(e->GraphPoint, 1);
  EXPECT_DOUBLE_EQ(e->DateTime, EncodeDate(2010, 3, 15) + EncodeTime(12, 30, 0, 0));
  const float expected[27] = {380, 381,    382,   3,     540, 12.5f,  1000,    1001,  65535,
                              4,   20.25f, 21.5f, -1,    255, 100.5f, 120.75f, 0.85f, 77,
                              50,  2,      9999,  15.5f, 90,  10.25f, 60,      0.5f,  0.75f};
  for (int v = 1; v <= 27; ++v) EXPECT_EQ(e->GetValue(v), expected[v - 1]) << "value " << v;
}

TEST(MeasurementEvent, FlagsGiveRotationAndPresence) {
  struct Case {
    uint16_t flags;
    float rotation;
    const char* present;  // values 21..27
  };
  const Case cases[] = {
      {0x0000, 0, "-------"}, {0x0001, 1, "-------"}, {0x0003, -1, "-------"},
      {0x0104, 0, "+-----+"}, {0x0056, 2, "+-+-+--"}, {0xFFFF, -1, "+++++++"},
  };
  TMeasurementSlice s;
  s.Riz = 1, s.MotorPressure = 2, s.MotorTemperature = 3, s.LiquidPressure = 4;
  s.LiquidTemperature = 5, s.VibrationXY = 6, s.VibrationZ = 7;
  for (const Case& c : cases) {
    s.Flags = c.flags;
    const auto e = EventOf(s);
    EXPECT_EQ(e->GetValue(20), c.rotation) << c.flags;
    for (int v = 21; v <= 27; ++v) {
      if (c.present[v - 21] == '+') {
        EXPECT_EQ(e->GetValue(v), v - 20) << c.flags << " value " << v;
      } else {
        EXPECT_TRUE(std::isnan(e->GetValue(v))) << c.flags << " value " << v;
      }
    }
  }
}

std::string Slices(uint32_t first, int count) {
  std::string out;
  for (int i = 0; i < count; ++i) {
    TMeasurementSlice s;
    s.Number = first + static_cast<uint32_t>(i);
    s.Time = 1268656200u + 60u * static_cast<uint32_t>(i);
    s.Uab = static_cast<uint16_t>(i);
    AppendMeasurementSlice(out, s);
  }
  return out;
}

TEST(ReadMeasurementJournal, ReadsTheMeasurementSectionThroughQuorvo) {
  TempDir dir;
  const std::string h = Z5KHeader();
  struct Case {
    const char* name;
    std::string bytes;
    int slices;  // -1: Quorvo cannot open it
  };
  const Case cases[] = {
      {"after the stream", Z5KContainer("stream", Slices(10, 3)), 3},
      {"after another section", h + Section(5, "abcdef") + Section(2, Slices(1, 2)), 2},
      {"partial slice at the end", h + Section(2, Slices(1, 2) + "tail"), 2},
      {"no measurement section", Z5KContainer("stream"), 0},
      {"exactly 80 bytes", h, 0},
      {"section past the end", h + BareSection(2, 200) + Slices(1, 1), -1},
      {"section before it past the end", h + BareSection(1, 0xFFFFFFF0) + Slices(1, 1), -1},
      {"short header", h.substr(0, 10), -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string file = dir.Write("s.Z5K", c.bytes);
    TOwnedList<TEventData> list;
    list.Add("kept", std::make_unique<TEventData>());
    if (c.slices < 0) {
      try {
        ReadMeasurementJournal(file, list);
        ADD_FAILURE() << "no error";
      } catch (const TSessionError& e) {
        EXPECT_STREQ(e.what(), "Ошибка открытия библиотеки");
      }
      EXPECT_EQ(list.Count(), 1);
      continue;
    }
    EXPECT_EQ(ReadMeasurementJournal(file, list), c.slices);
    ASSERT_EQ(list.Count(), 1 + c.slices);
    for (int i = 1; i < list.Count(); ++i) {
      EXPECT_EQ(list.Key(i), list.Object(i)->Key);
      EXPECT_EQ(list.Object(i)->GetValue(1), static_cast<float>(i - 1));
    }
  }
  TOwnedList<TEventData> list;
  EXPECT_THROW(ReadMeasurementJournal((dir.path() / "missing.Z5K").string(), list), TSessionError);
}

TEST(Quorvo, CallOrderAndArguments) {
  TempDir dir;
  const std::string file = dir.Write("s.Z5K", Z5KContainer("s", Slices(7, 1)));
  uint8_t slice[QUORVO_SLICE_SIZE];
  QV_Close();
  EXPECT_EQ(QV_ReadNextSlice(slice), QV_E_NOT_OPEN);
  EXPECT_EQ(QV_Create(nullptr), QV_E_ARGUMENT);
  EXPECT_EQ(QV_Create((dir.path() / "none").c_str()), QV_E_OPEN);
  EXPECT_EQ(QV_Create(dir.path().c_str()), QV_E_OPEN);  // a folder
  ASSERT_EQ(QV_Create(file.c_str()), QV_OK);
  EXPECT_EQ(QV_ReadNextSlice(nullptr), QV_E_ARGUMENT);
  EXPECT_EQ(QV_ReadNextSlice(slice), QV_OK);
  EXPECT_EQ(slice[0], 7);
  EXPECT_EQ(QV_ReadNextSlice(slice), QV_END);
  EXPECT_EQ(QV_ReadNextSlice(slice), QV_END);
  // Opening again starts over.
  ASSERT_EQ(QV_Create(file.c_str()), QV_OK);
  EXPECT_EQ(QV_ReadNextSlice(slice), QV_OK);
  QV_Close();
  QV_Close();
  EXPECT_EQ(QV_ReadNextSlice(slice), QV_E_NOT_OPEN);
}

}  // namespace
}  // namespace kalmet
