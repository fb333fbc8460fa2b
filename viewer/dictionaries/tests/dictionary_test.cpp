#include "dictionaries/dictionary.h"

#include <gtest/gtest.h>

#include "dict_fixture.h"
#include "session/tests/log_recorder.h"

namespace kalmet {
namespace {

const std::string kPrefix = "[TDictionary.Create] ";

TEST(TDictionaryTest, ReadsEntriesAndSkipsBadElements) {
  TempDir dir;
  const std::string path = WriteDict(dir, "Variables.xml", R"(<pultexconsole><Variables>
  <Variable VariableId="007" VariableFormat="FORMAT_F1" VariableType="T_FLOAT" VariableName="Ток фазы A" VariableEd="А" IgnoreEvent3=" YES "/>
  <Variable VariableId="8" VariableName="Второй" IgnoreEvent3="no"/>
  <Variable VariableId="7" VariableName="Повтор"/>
  <Variable VariableName="Без номера"/>
  <Variable VariableId="abc"/>
  <variable VariableId="9"/>
  <Other VariableId="10"/>
  <Variable VariableId="11" VariableType="T_SOMETHING"/>
</Variables><Ignored/></pultexconsole>)");
  LogRecorder log;
  ReportRecorder boxes;
  TDictionary dict;
  ASSERT_TRUE(dict.Create(path, boxes.host));
  EXPECT_TRUE(boxes.boxes.empty());
  EXPECT_EQ(dict.Count(), 3);

  const TDictIndex* a = dict.GetDict(7);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->VariableName, "Ток фазы A");
  EXPECT_EQ(a->VariableEd, "А");
  EXPECT_EQ(a->VariableFormat, "FORMAT_F1");
  EXPECT_EQ(a->VariableType, "T_FLOAT");
  EXPECT_TRUE(a->IgnoreEvent3);
  EXPECT_FALSE(dict.GetDict(8)->IgnoreEvent3);
  EXPECT_EQ(dict.GetDict(8)->VariableFormat, "");
  EXPECT_EQ(dict.GetDict(11)->VariableType, "T_SOMETHING");
  EXPECT_EQ(dict.GetDict(9), nullptr);
  EXPECT_EQ(dict.GetDict(10), nullptr);
  EXPECT_EQ(dict.GetDict("007"), nullptr);
  EXPECT_EQ(dict.GetDict("7"), a);

  ASSERT_EQ(log.lines.size(), 3u);
  EXPECT_EQ(log.lines[0], kPrefix + "Индекс 7 уже есть в словаре.");
  EXPECT_EQ(log.lines[1], kPrefix +
                              "Строка XML=<Variable VariableName=\"Без номера\"/> Exception: " +
                              "Could not convert variant of type (Null) into type (Integer)");
  EXPECT_EQ(log.lines[2], kPrefix + "Строка XML=<Variable VariableId=\"abc\"/> Exception: " +
                              "'abc' is not a valid integer value");
  // Key order is text order.
  EXPECT_EQ(dict.At(0)->VariableId, 11);
  EXPECT_EQ(dict.At(1)->VariableId, 7);
}

TEST(TDictionaryTest, EmptyVariablesGivesAnEmptyDictionary) {
  TempDir dir;
  const std::string path =
      WriteDict(dir, "Variables.xml", "<PultexConsole><Variables/></PultexConsole>");
  ReportRecorder boxes;
  TDictionary dict;
  EXPECT_TRUE(dict.Create(path, boxes.host));
  EXPECT_EQ(dict.Count(), 0);
  EXPECT_EQ(dict.GetDict(1), nullptr);
}

struct FailureCase {
  const char* name;
  const char* body;  // null: no file
  const char* logLine;
  const char* box;  // null: no message box
};

TEST(TDictionaryTest, StartupFailures) {
  const std::string tail = "\rПродлжение работы невозможно!";
  const std::vector<FailureCase> cases = {
      {"missing file", nullptr, "Запуск программы. Словарь <<Variables.xml>> не найден.",
       "Словарь <<Variables.xml>> не найден."},
      {"wrong root", "<Pultex><Variables/></Pultex>",
       "Некорректный файл словаря <<Variables.xml>>. Неверное имя корневого элемента документа: "
       "Pultex",
       "Некорректный файл словаря <<Variables.xml>>."},
      {"wrong first child", "<PultexConsole><Vars/><Variables/></PultexConsole>",
       "Некорректный файл словаря <<Variables.xml>>. Неверное имя элемента документа: Vars",
       "Некорректный файл словаря <<Variables.xml>>."},
      {"root without child", "<PultexConsole/>", "Exception: List index out of bounds (0)",
       nullptr},
  };
  for (const FailureCase& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const std::string path =
        c.body ? WriteDict(dir, "Variables.xml", c.body) : (dir.path() / "Variables.xml").string();
    LogRecorder log;
    ReportRecorder boxes;
    TDictionary dict;
    EXPECT_FALSE(dict.Create(path, boxes.host));
    EXPECT_EQ(dict.Count(), 0);
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_EQ(log.lines[0], kPrefix + c.logLine);
    if (c.box) {
      ASSERT_EQ(boxes.boxes.size(), 1u);
      EXPECT_EQ(boxes.boxes[0].text, c.box + tail);
      EXPECT_EQ(boxes.boxes[0].caption, "Ошибка!");
    } else {
      EXPECT_TRUE(boxes.boxes.empty());
    }
  }
}

TEST(TDictionaryTest, UnparsableFileStopsStartup) {
  TempDir dir;
  const std::string path = WriteDict(dir, "Variables.xml", "<PultexConsole><Variables>");
  LogRecorder log;
  ReportRecorder boxes;
  TDictionary dict;
  EXPECT_FALSE(dict.Create(path, boxes.host));
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text,
            "Некорректный файл словаря <<Variables.xml>>.\rПродлжение работы невозможно!");
  ASSERT_EQ(log.lines.size(), 1u);
  EXPECT_TRUE(log.Contains("Ошибка разбора XML"));
}

TEST(TDictionaryTest, FileWithoutDeclarationHasNoReachableRoot) {
  TempDir dir;
  const std::string path =
      dir.Write("Variables.xml", "<PultexConsole><Variables/></PultexConsole>");
  LogRecorder log;
  ReportRecorder boxes;
  TDictionary dict;
  EXPECT_FALSE(dict.Create(path, boxes.host));
  EXPECT_TRUE(boxes.boxes.empty());
  EXPECT_TRUE(log.Contains("Exception: List index out of bounds (1)"));
}

}  // namespace
}  // namespace kalmet
