#include "dictionaries/voc_custom_graphs.h"

#include <gtest/gtest.h>

#include "dict_fixture.h"
#include "session/tests/log_recorder.h"

namespace kalmet {
namespace {

TEST(TVocCustomGraphsTest, ValidGraphsAndRules) {
  TempDir dir;
  const std::string path = WriteDict(dir, "CustomGraph.xml", R"(<PultexConsole>
<Graph Name="Частота" ShortName="Гц">
  <Variant Num="2" VarID="0x10" SubID="1">
    <Event Num="0x1F" Select="1" SelectValue="1016" ExData="3" Value="9" BeginExData="2"/>
    <Event Num="5" Value="50" BeginValue="$10"/>
  </Variant>
  <Variant Num="1"><Event Num="7"/></Variant>
</Graph>
<graph Name="Без короткого имени"><Variant Num="31"><Event Num="31" ExData="1" BeginExData="1" Select="1"/></Variant></graph>
<Other/>
</PultexConsole>)");
  LogRecorder log;
  ReportRecorder boxes;
  TVocCustomGraphs voc;
  voc.Create(path, boxes.host);
  EXPECT_TRUE(boxes.boxes.empty());
  ASSERT_EQ(voc.Count(), 3);
  EXPECT_EQ(voc.Items()[0].Text, "Выбрать...");
  EXPECT_EQ(voc.Items()[0].Graph, nullptr);
  const TCustomGraph* g = voc.Items()[1].Graph;
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(voc.Items()[1].Text, "Частота");
  EXPECT_EQ(g->ShortName, "Гц");
  ASSERT_EQ(g->Count(), 1);  // the variant without a valid rule is dropped
  const TCustomVariant* v = g->Variants.Object(0);
  EXPECT_EQ(g->Variants.Key(0), "00002");
  EXPECT_EQ(v->VarID, 16);
  EXPECT_EQ(v->SubID, 1);
  ASSERT_EQ(v->Count(), 2);
  EXPECT_EQ(v->Events.Key(0), "00005");
  EXPECT_EQ(v->Events.Key(1), "0001F");
  const TCustomEvent* r = v->Events.Object(1);
  EXPECT_EQ(r->Code, 31);
  EXPECT_TRUE(r->HasTest);
  EXPECT_EQ(r->SelectNum, 1);
  EXPECT_EQ(r->SelectValue, 1016);
  EXPECT_TRUE(r->ValueFromExtra);  // ExData wins over Value
  EXPECT_EQ(r->ValueNum, 3);
  EXPECT_TRUE(r->BeginFromExtra);
  EXPECT_EQ(r->BeginNum, 2);
  const TCustomEvent* c = v->Events.Object(0);
  EXPECT_FALSE(c->HasTest);
  EXPECT_FALSE(c->ValueFromExtra);
  EXPECT_EQ(c->ValueConst, 50);
  EXPECT_EQ(c->BeginConst, 16);

  const TCustomGraph* blank = voc.Items()[2].Graph;
  EXPECT_EQ(blank->ShortName, " ");
  EXPECT_FALSE(blank->Variants.Object(0)->Events.Object(0)->HasTest);  // SelectValue missing
  EXPECT_EQ(blank->Variants.Key(0), "0001F");

  const std::vector<std::string> expected = {
      "[TCustomEvent.Create] ERROR: Неправильная строка XML=<Event Num=\"7\"/>",
      "[TCustomVariant.Create] ERROR: Неправильный Event в Variant 1",
      "[TCustomVariant.Create] ERROR: В Variant 1 нет Event",
      "[TCustomGraph.Create] ERROR: Неправильный Variant в Частота",
  };
  EXPECT_EQ(log.lines, expected);
}

TEST(TVocCustomGraphsTest, GraphWithoutValidVariantIsLeftOut) {
  TempDir dir;
  const std::string path = WriteDict(dir, "CustomGraph.xml", R"(<PultexConsole>
<Graph Name="G"><Variant Num="4"><Event Num="x" ExData="1" BeginValue="0"/></Variant></Graph>
<Graph Name="H"><Variant VarID="5"><Event Num="1" Value="1" BeginValue="0"/></Variant></Graph>
</PultexConsole>)");
  LogRecorder log;
  ReportRecorder boxes;
  TVocCustomGraphs voc;
  voc.Create(path, boxes.host);
  EXPECT_EQ(voc.Count(), 1);
  EXPECT_EQ(voc.GraphCount(), 0);
  const std::vector<std::string> expected = {
      "[TCustomEvent.Create] Строка XML=<Event Num=\"x\" ExData=\"1\" BeginValue=\"0\"/> "
      "Exception: "
      "'x' is not a valid integer value",
      "[TCustomVariant.Create] ERROR: Неправильный Event в Variant 4",
      "[TCustomVariant.Create] ERROR: В Variant 4 нет Event",
      "[TCustomGraph.Create] ERROR: Неправильный Variant в G",
      "[TCustomGraph.Create] ERROR: В Graph G нет Variant",
      "[TVocCustomGraphs.Create] Ошибка в <Graph Name=\"G\"><Variant Num=\"4\"><Event Num=\"x\" "
      "ExData=\"1\" BeginValue=\"0\"/></Variant></Graph>.",
      "[TCustomVariant.Create] Строка XML=<Variant VarID=\"5\"><Event Num=\"1\" Value=\"1\" "
      "BeginValue=\"0\"/></Variant> Exception: Could not convert variant of type (Null) into type "
      "(Integer)",
      "[TCustomGraph.Create] ERROR: Неправильный Variant в H",
      "[TCustomGraph.Create] ERROR: В Graph H нет Variant",
      "[TVocCustomGraphs.Create] Ошибка в <Graph Name=\"H\"><Variant VarID=\"5\"><Event Num=\"1\" "
      "Value=\"1\" BeginValue=\"0\"/></Variant></Graph>.",
  };
  EXPECT_EQ(log.lines, expected);
}

TEST(TVocCustomGraphsTest, MissingFileIsReportedWithoutStoppingTheProgram) {
  TempDir dir;
  LogRecorder log;
  ReportRecorder boxes;
  TVocCustomGraphs voc;
  voc.Create((dir.path() / "CustomGraph.xml").string(), boxes.host);
  EXPECT_EQ(voc.Count(), 1);
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text, "Словарь <<CustomGraph.xml>> не найден.");
  EXPECT_EQ(boxes.boxes[0].caption, "Ошибка!");
  EXPECT_EQ(log.lines.at(0),
            "[TVocCustomGraphs.Create] Запуск программы. Словарь <<CustomGraph.xml>> не найден.");

  voc.Create(WriteDict(dir, "CustomGraph.xml", "<Graphs/>"), boxes.host);
  ASSERT_EQ(boxes.boxes.size(), 2u);
  EXPECT_EQ(boxes.boxes[1].text, "Некорректный файл словаря <<CustomGraph.xml>>.");
  EXPECT_EQ(voc.Count(), 1);
}

}  // namespace
}  // namespace kalmet
