#include "dictionaries/voc_format.h"

#include <gtest/gtest.h>

#include <cstring>

#include "dict_fixture.h"
#include "dictionaries/dictionary.h"
#include "dictionaries/dictionary_file.h"
#include "session/date_time.h"
#include "session/tests/log_recorder.h"

namespace kalmet {
namespace {

uint32_t FloatBits(float f) {
  uint32_t u;
  std::memcpy(&u, &f, sizeof u);
  return u;
}

TEST(SplitListTextTest, Items) {
  const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
      {"Выкл,Вкл", {"Выкл", "Вкл"}},
      {"A,\"Два слова\",C", {"A", "Два слова", "C"}},
      {"A,Два слова,C", {"A", "Два", "слова", "C"}},
      {"  \r\n A , B ,C", {"A", "B", "C"}},
      {"A,B,", {"A", "B", ""}},
      {"A,,B", {"A", "", "B"}},
      {"\"say \"\"hi\"\"\",x", {"say \"hi\"", "x"}},
      {"\"open", {"open"}},
      {"", {}},
      {"   ", {}},
  };
  for (const auto& [text, items] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(SplitListText(text), items);
  }
}

class VocFormatTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = RegionalSettings();
    RegionalSettings().decimalSeparator = ',';
    const std::string vars = WriteDict(dir_, "Variables.xml", R"(<PultexConsole><Variables>
  <Variable VariableId="1" VariableFormat="F_D" VariableType="T_S_CHAR"/>
  <Variable VariableId="2" VariableFormat="F_D" VariableType="T_CHAR"/>
  <Variable VariableId="3" VariableFormat="F_1" VariableType="T_FLOAT"/>
  <Variable VariableId="4" VariableFormat="ONOFF" VariableType="T_CHAR"/>
  <Variable VariableId="5" VariableFormat="MASK" VariableType="T_INT"/>
  <Variable VariableId="6" VariableFormat="FORMAT_HMS" VariableType="T_INT"/>
  <Variable VariableId="7" VariableFormat="nothing" VariableType="T_INT"/>
  <Variable VariableId="8" VariableFormat="F_S" VariableType="T_STRING"/>
  <Variable VariableId="9" VariableFormat="F_D" VariableType="T_WEIRD"/>
  <Variable VariableId="10" VariableFormat="F_S" VariableType="T_INT"/>
  <Variable VariableId="11" VariableFormat="FORMAT_DMY" VariableType="T_STRING"/>
  <Variable VariableId="12" VariableFormat="F_D" VariableType="T_BOOL"/>
  <Variable VariableId="13" VariableFormat="F_D" VariableType="t_s_short"/>
  <Variable VariableId="14" VariableFormat="F_U" VariableType="T_INT"/>
</Variables></PultexConsole>)");
    const std::string formats = WriteDict(dir_, "VocFormat.xml", R"(<PultexConsole>
  <VocFormat Type="0" NM="F_D" MaskBorland="%d"/>
  <VocFormat Type="0" NM="F_U" MaskBorland="%u"/>
  <VocFormat Type="0" NM="F_1" MaskBorland="%.1f"/>
  <VocFormat Type="0" NM="F_S" MaskBorland="%s"/>
  <VocFormat Type="0" NM="F_X" MaskBorland="%x"/>
  <vocformat Type="1" NM="ONOFF">Выкл,Вкл</vocformat>
  <VocFormat Type="1" NM="EMPTY"></VocFormat>
  <VocFormat Type="3" NM="MASK">A,B,C</VocFormat>
  <VocFormat Type="2" NM="FORMAT_HMS" MaskBorland="%.2d:%.2d:%.2d"/>
  <VocFormat Type="2" NM="format_hm" MaskBorland="%.2d:%.2d"/>
  <VocFormat Type="2" NM="FORMAT_MS" MaskBorland="%.2d:%.2d"/>
  <VocFormat Type="2" NM="FORMAT_DHM" MaskBorland="%d-%d-%d-%d"/>
  <VocFormat Type="2" NM="FORMAT_ADR" MaskBorland="%d.%d.%d"/>
  <VocFormat Type="2" NM="FORMAT_DMY" MaskBorland="%s.%s.%s"/>
  <VocFormat Type="2" NM="FORMAT_XYZ" MaskBorland="%d"/>
  <VocFormat Type="7" NM="ODD" MaskBorland="%d"/>
  <VocFormat Type="256" NM="WRAPPED">X,Y</VocFormat>
  <VocFormat Type="0" NM="f_d" MaskBorland="%u"/>
  <VocFormat NM="NO_TYPE"/>
  <Comment/>
</PultexConsole>)");
    ASSERT_TRUE(dict_.Create(vars, host_.host));
    ASSERT_TRUE(voc_.Create(formats, host_.host));
    voc_.SetDictionary(&dict_);
  }
  void TearDown() override { RegionalSettings() = saved_; }

  FormatSettings saved_;
  TempDir dir_;
  ReportRecorder host_;
  TDictionary dict_;
  TVocFormat voc_;
};

TEST_F(VocFormatTest, LoadsFormatsWithTheirLists) {
  EXPECT_EQ(voc_.Count(), 17);
  const TFormat* onoff = voc_.GetFormat("onoff");
  ASSERT_NE(onoff, nullptr);
  EXPECT_EQ(onoff->Kind, 1);
  EXPECT_EQ(*onoff->List, (std::vector<std::string>{"Выкл", "Вкл"}));
  EXPECT_FALSE(voc_.GetFormat("F_D")->List.has_value());
  EXPECT_EQ(voc_.GetFormat("F_D")->Mask, "%d");  // the first of two names wins
  EXPECT_EQ(voc_.GetFormat("WRAPPED")->Kind, 0);
  EXPECT_FALSE(voc_.GetFormat("WRAPPED")->List.has_value());
  EXPECT_EQ(voc_.GetFormat("NO_TYPE"), nullptr);
  EXPECT_EQ(voc_.GetFormat("missing"), nullptr);
}

TEST_F(VocFormatTest, LoadLogLines) {
  TempDir dir;
  const std::string path = WriteDict(dir, "VocFormat.xml", R"(<PultexConsole>
  <VocFormat Type="0" NM="A" MaskBorland="%d"/><VocFormat Type="1" NM="a">x</VocFormat>
  <VocFormat Type="z" NM="B"/></PultexConsole>)");
  LogRecorder log;
  TVocFormat voc;
  ASSERT_TRUE(voc.Create(path, host_.host));
  ASSERT_EQ(log.lines.size(), 2u);
  EXPECT_EQ(log.lines[0], "[TVocFormat.Create] Формат a уже есть в словаре.");
  EXPECT_EQ(log.lines[1],
            "[TVocFormat.Create] Строка XML=<VocFormat Type=\"z\" NM=\"B\"/> "
            "Exception: 'z' is not a valid integer value");
}

TEST_F(VocFormatTest, EmptyRootStopsStartup) {
  TempDir dir;
  const std::string path = WriteDict(dir, "VocFormat.xml", "<PultexConsole></PultexConsole>");
  LogRecorder log;
  ReportRecorder boxes;
  TVocFormat voc;
  EXPECT_FALSE(voc.Create(path, boxes.host));
  ASSERT_EQ(log.lines.size(), 1u);
  EXPECT_EQ(log.lines[0],
            "[TVocFormat.Create] Некорректный файл словаря. Нет данных. PultexConsole");
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text,
            "Некорректный файл словаря. Нет данных. \rПродлжение работы невозможно!");
}

TEST_F(VocFormatTest, ListTextIsTheFirstChildsXml) {
  TempDir dir;
  const std::string path = WriteDict(dir, "VocFormat.xml", R"(<PultexConsole>
  <VocFormat Type="1" NM="AMP">"A &amp; B",C</VocFormat>
  <VocFormat Type="3" NM="ELEM"><b>x</b>,y</VocFormat></PultexConsole>)");
  TVocFormat voc;
  ASSERT_TRUE(voc.Create(path, host_.host));
  EXPECT_EQ(*voc.GetFormat("AMP")->List, (std::vector<std::string>{"A &amp; B", "C"}));
  EXPECT_EQ(*voc.GetFormat("ELEM")->List, (std::vector<std::string>{"<b>x</b>"}));
}

TEST_F(VocFormatTest, FormattingIndex) {
  struct Case {
    int32_t index;
    TRawValue value;
    const char* expected;
  };
  const std::vector<Case> cases = {
      {1, 0x1FF, "-1"},
      {2, 0x1FF, "255"},
      {12, 0xFE, "0"},
      {12, 3, "1"},
      {13, 0xFFFF, "-1"},
      {14, 0xFFFFFFFF, "4294967295"},
      {3, FloatBits(1.5f), "1,5"},
      {4, 1, "Вкл"},
      {4, 0x100, "Выкл"},
      {6, 3725, "01:02:05"},
      {6, 100000, "27:46:40"},
      {8, TRawValue::OfText("ABC"), "ABC"},
      {8, TRawValue::OfText("яяяя"), ""},
      {8, TRawValue::OfText(""), ""},
      {8, 5, ""},
      {11, TRawValue::OfText("251299"), "25.12.99"},
      {11, TRawValue::OfText("яяяяяя"), ""},
      {11, TRawValue::OfText(""), ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.index);
    EXPECT_EQ(voc_.FormattingIndex(c.index, c.value), c.expected);
  }
}

TEST_F(VocFormatTest, FormattingIndexRefusals) {
  struct Case {
    int32_t index;
    uint32_t value;
    const char* logLine;
  };
  const std::vector<Case> cases = {
      {99, 0, "[TVocFormat.FormattingIndex] Индекс 99 не описан в словаре."},
      {7, 0, "[TVocFormat.FormattingIndex] Для индекса 7 неправильно описан формат."},
      {5, 5, "[TVocFormat.FormattingIndex] Проверить формат MASK"},
      {9, 5, "[TVocFormat.FormatIndexValue] Формат F_D не простой тип. Индекс:9"},
      {4, 2, "[TVocFormat.FormatCombo]  Значение 2 больше списочного для ONOFF. Код:4"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.index);
    LogRecorder log;
    EXPECT_EQ(voc_.FormattingIndex(c.index, c.value), "?");
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_EQ(log.lines[0], c.logLine);
  }
  LogRecorder log;
  TVocFormat bare;
  EXPECT_EQ(bare.FormattingIndex(1, 0), "?");
  EXPECT_EQ(log.lines.at(0), "[TVocFormat.FormattingIndex] Словарь не определен.");
}

TEST_F(VocFormatTest, NumericFormattingErrorsReachTheCaller) {
  // A text mask on an integer variable, and a too short address.
  EXPECT_THROW(voc_.FormattingIndex(10, 5), ConvertError);
  EXPECT_THROW(voc_.FormatCalc(*voc_.GetFormat("FORMAT_ADR"), 123), ConvertError);
  // A text variable whose mask fails gives "?" quietly.
  LogRecorder log;
  TFormat bad{0, "BAD", "%d", std::nullopt};
  EXPECT_EQ(voc_.FormatIndexValue(bad, "T_STRING", TRawValue::OfText("x"), 8), "?");
  EXPECT_TRUE(log.lines.empty());
}

TEST_F(VocFormatTest, FormatCalc) {
  auto calc = [&](const char* name, TRawValue v) {
    return voc_.FormatCalc(*voc_.GetFormat(name), v);
  };
  EXPECT_EQ(calc("FORMAT_HM", 100000), "27:46");
  EXPECT_EQ(calc("FORMAT_MS", 3725), "02:05");
  EXPECT_EQ(calc("FORMAT_DHM", 86400 + 3600 + 60 + 1), "1-1-1-1");
  EXPECT_EQ(calc("FORMAT_ADR", 1234), "1.23.4");
  EXPECT_EQ(calc("FORMAT_ADR", 123456), "1.23.4");
  LogRecorder log;
  EXPECT_EQ(calc("FORMAT_XYZ", 1), "?");
  EXPECT_EQ(calc("FORMAT_DMY", 0x00313233), "?");
  EXPECT_EQ(calc("FORMAT_DMY", TRawValue::OfText("2512")), "?");
  ASSERT_EQ(log.lines.size(), 3u);
  EXPECT_EQ(log.lines[0], "[TVocFormat.FormatCalc]  Формат FORMAT_XYZ не вычисляемый тип.");
  EXPECT_EQ(log.lines[1],
            "[TVocFormat.FormatCalc]  Формат FORMAT_DMY Неверные данные [33 32 31 00]");
  EXPECT_EQ(log.lines[2], "[TVocFormat.FormatCalc]  Формат FORMAT_DMY Неверные данные [2512]");
}

TEST_F(VocFormatTest, FormattingEvent) {
  EXPECT_EQ(voc_.FormattingEvent("F_X", "INT8U", 31, 5), "0x1F");
  EXPECT_EQ(voc_.FormattingEvent("F_D", "INT16S", 0xFFFFFFFF, 5), "-1");
  EXPECT_EQ(voc_.FormattingEvent("F_U", "INT32U", 7, 5), "7");
  EXPECT_EQ(voc_.FormattingEvent("F_1", "FP32", FloatBits(2.25f), 5), "2,3");
  EXPECT_EQ(voc_.FormattingEvent("ONOFF", "INT8U", 0x101, 5), "Вкл");
  EXPECT_EQ(voc_.FormattingEvent("FORMAT_HMS", "INT32U", 61, 5), "00:01:01");
  EXPECT_EQ(voc_.FormattingEvent("MASK", "INT8U", 5, 5), "A; C");
  EXPECT_EQ(voc_.FormattingEvent("MASK", "INT8U", 0, 5), "");
  EXPECT_EQ(voc_.FormattingEvent("MASK", "FP32", FloatBits(5.9f), 5), "A; C");
  EXPECT_EQ(voc_.FormattingEvent("MASK", "FP32", FloatBits(2.0f), 5), "B");
  EXPECT_EQ(voc_.FormattingEvent("MASK", "fp32", FloatBits(2.0f), 5), "");  // raw bits
  EXPECT_THROW(voc_.FormattingEvent("MASK", "FP32", FloatBits(NAN), 5), ConvertError);

  LogRecorder log;
  EXPECT_EQ(voc_.FormattingEvent("NOPE", "INT8U", 1, 31), "?");
  EXPECT_EQ(voc_.FormattingEvent("ODD", "INT8U", 1, 31), "?");
  EXPECT_EQ(voc_.FormattingEvent("EMPTY", "INT8U", 1, 31), "?");
  ASSERT_EQ(log.lines.size(), 3u);
  EXPECT_EQ(log.lines[0],
            "[TVocFormat.FormattingEvent] Для события 0x1F неправильно описан формат.");
  EXPECT_EQ(log.lines[1], "[TVocFormat.FormattingEvent] Проверить формат ODD");
  EXPECT_EQ(log.lines[2], "[TVocFormat.FormatCombo]  Для формата EMPTY не задан список. Код:31");
}

TEST_F(VocFormatTest, EventValueFailureIsLogged) {
  LogRecorder log;
  TFormat f{0, "F", "%d %s", std::nullopt};
  EXPECT_EQ(voc_.FormatEventValue(f, 1), "?");
  EXPECT_EQ(log.lines.at(0),
            "[TVocFormat.FormatEventValue] Exception: No argument for format '%s'");
}

TEST_F(VocFormatTest, BitMaskIgnoresBitsFromThirtyTwoOn) {
  TFormat f{3, "WIDE", "", std::vector<std::string>(40, "b")};
  (*f.List)[31] = "last";
  EXPECT_EQ(voc_.FormatBitMask(f, 0xFFFFFFFF00000000ull | 0x80000000u, 1), "last");
}

}  // namespace
}  // namespace kalmet
