#include "dictionaries/setup_collection.h"

#include <gtest/gtest.h>

#include "dict_fixture.h"
#include "dictionaries/dictionary.h"
#include "dictionaries/voc_format.h"
#include "session/tests/log_recorder.h"

namespace kalmet {
namespace {

class SetupCollectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(
        dict_.Create(WriteDict(dir_, "Variables/Variables.xml", R"(<PultexConsole><Variables>
  <Variable VariableId="100" VariableFormat="F_D" VariableType="T_SHORT" VariableName="Уставка" VariableEd="В"/>
  <Variable VariableId="101" VariableFormat="F_S" VariableType="T_STRING" VariableName="Имя"/>
  <Variable VariableId="102" VariableFormat="F_D" VariableType="T_INT" VariableName="Без единиц"/>
  <Variable VariableId="103" VariableFormat="F_S" VariableType="T_INT" VariableName="Сломанный"/>
  <Variable VariableId="1021" VariableFormat="F_S" VariableType="T_STRING" VariableName="Версия ПО"/>
</Variables></PultexConsole>)"),
                     host_.host));
    ASSERT_TRUE(formats_.Create(WriteDict(dir_, "Dictionary/VocFormat.xml", R"(<PultexConsole>
  <VocFormat Type="0" NM="F_D" MaskBorland="%d"/><VocFormat Type="0" NM="F_S" MaskBorland="%s"/>
</PultexConsole>)"),
                                host_.host));
    formats_.SetDictionary(&dict_);
    setups_ = std::make_unique<TSetupCollection>(DictPath(), &dict_, &formats_, &host_.host);
  }
  std::string DictPath() const { return dir_.path().string() + "/"; }
  void WriteSetup(const std::string& version, const std::string& body) {
    WriteDict(dir_, "Dictionary/KSU_" + version + ".xml",
              "<PultexConsole>" + body + "</PultexConsole>");
  }
  std::vector<std::string> Titles() const {
    std::vector<std::string> t;
    for (int i = 0; i < setups_->PageCount(); ++i) t.push_back(setups_->Page(i)->Title());
    return t;
  }

  TempDir dir_;
  ReportRecorder host_;
  TDictionary dict_;
  TVocFormat formats_;
  std::unique_ptr<TSetupCollection> setups_;
};

TEST_F(SetupCollectionTest, FileLookupFallsBackToLowerMinorVersions) {
  WriteSetup("2.3", "<A VariableID='100' VariableSubId='0'/>");
  WriteSetup("3.0", "<A VariableID='100' VariableSubId='0'/>");
  setups_->SetVersion(2, 5);
  EXPECT_EQ(setups_->FileName(), DictPath() + "Dictionary/KSU_2.3.xml");
  EXPECT_EQ(setups_->PageCount(), 1);

  LogRecorder log;
  setups_->SetVersion(4, 1);
  EXPECT_TRUE(setups_->PlaceholderVisible());
  EXPECT_EQ(setups_->FileName(), "");
  ASSERT_EQ(log.lines.size(), 1u);
  EXPECT_EQ(log.lines[0],
            "[TSetupCollection.GetFileName] Не найден файл настройки уставок для версии 4.1");
}

TEST_F(SetupCollectionTest, PagesFollowTheElementNames) {
  WriteSetup("1.0", R"(<A VariableID="0" VariableSubId="0" VariableNM="Заголовок"/>
    <a VariableID="100" VariableSubId="0"/><B VariableID="100" VariableSubId="1"/>
    <A VariableID="102" VariableSubId="0"/>)");
  setups_->SetVersion(1, 0);
  EXPECT_EQ(Titles(), (std::vector<std::string>{"A", "B", "A"}));
  EXPECT_EQ(setups_->Page(0)->Slot(), 1);
  EXPECT_EQ(setups_->Page(2)->Slot(), 3);
  EXPECT_EQ(setups_->Page(0)->Rows().size(), 2u);
}

TEST_F(SetupCollectionTest, AtMostTwelvePages) {
  std::string body;
  for (int i = 0; i < 14; ++i)
    body += "<P" + std::to_string(i) + " VariableID='100' VariableSubId='0'/>";
  WriteSetup("1.0", body);
  setups_->SetVersion(1, 0);
  EXPECT_EQ(setups_->PageCount(), 12);
  EXPECT_EQ(setups_->Page(11)->Title(), "P11");
}

TEST_F(SetupCollectionTest, FaultyElementsAndRoots) {
  WriteSetup("1.0", R"(<A VariableID="x"/><A VariableID="0" VariableNM="Без подномера"/>
    <A VariableID="100" VariableNM="Без подномера"/>)");
  LogRecorder log;
  setups_->SetVersion(1, 0);
  ASSERT_EQ(log.lines.size(), 2u);
  const std::string p = "[TSetupCollection.LoadXML] Строка XML=";
  EXPECT_EQ(log.lines[0], p + "<A VariableID=\"x\"/> Exception: 'x' is not a valid integer value");
  EXPECT_EQ(log.lines[1], p + "<A VariableID=\"0\" VariableNM=\"Без подномера\"/> Exception: "
                              "Could not convert variant of type (Null) into type (Integer)");
  const auto& rows = setups_->Page(0)->Rows();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].VariableId, 100);
  EXPECT_EQ(rows[0].Caption, "");  // dropped together with the missing sub-id

  WriteDict(dir_, "Dictionary/KSU_2.0.xml",
            "<pultexconsole><A VariableID='100' VariableSubId='0'/></pultexconsole>");
  setups_->SetVersion(2, 0);
  EXPECT_EQ(setups_->PageCount(), 0);
  EXPECT_EQ(log.lines.back(),
            "[TSetupCollection.LoadXML] Некорректный файл настроек. Неверное имя "
            "корневого элемента документа: pultexconsole");
}

TEST_F(SetupCollectionTest, ValuesBecomeGridRows) {
  WriteSetup("1.0", R"(<Main VariableID="0" VariableSubId="0" VariableNM="Раздел"/>
    <Main VariableID="100" VariableSubId="0" VariableNM=" 1"/>
    <Main VariableID="100" VariableSubId="1" VariableNM=" 2"/>
    <Main VariableID="101" VariableSubId="0"/>
    <Main VariableID="102" VariableSubId="0"/>
    <Main VariableID="1021" VariableSubId="0"/>
    <Main VariableID="555" VariableSubId="0"/>
    <Main VariableID="103" VariableSubId="0"/>
    <Other VariableID="0" VariableSubId="0" VariableNM="Только заголовок"/>
    <Other VariableID="102" VariableSubId="7"/>)");
  setups_->SetVersion(1, 0);
  ASSERT_EQ(setups_->PageCount(), 2);

  LogRecorder log;
  EXPECT_TRUE(setups_->Parsing(100, 0, {0x10, 0x27, 0x99}));
  EXPECT_TRUE(setups_->Parsing(101, 0, {'A', 'B', 'C', 0, 0, 'Z'}));
  EXPECT_TRUE(setups_->Parsing(103, 0, {1}));
  EXPECT_FALSE(setups_->Parsing(100, 5, {1}));
  EXPECT_FALSE(setups_->Parsing(555, 0, {1}));
  EXPECT_FALSE(setups_->Parsing(999, 0, {1}));
  setups_->FillGrids("2.13.4");

  const auto& grid = setups_->Page(0)->Grid();
  ASSERT_EQ(grid.size(), 4u);
  EXPECT_EQ(grid[0].Name, "Раздел");
  EXPECT_EQ(grid[0].Value, "");
  EXPECT_EQ(grid[0].Marker, 1);
  EXPECT_EQ(grid[1].Name, "Уставка 1 (В)");
  EXPECT_EQ(grid[1].Value, "10000");  // two bytes of a T_SHORT
  EXPECT_EQ(grid[1].Marker, 0);
  EXPECT_EQ(grid[2].Name, "Имя");
  EXPECT_EQ(grid[2].Value, "ABC");
  EXPECT_EQ(grid[3].Name, "Версия ПО");
  EXPECT_EQ(grid[3].Value, "2.13.4");
  const auto& other = setups_->Page(1)->Grid();
  ASSERT_EQ(other.size(), 1u);
  EXPECT_EQ(other[0].Name, "Только заголовок");

  const std::vector<std::string> expected = {
      "[TSetup.Parsing] Индекс 555 не описан в словаре.",
      "[TSetup.GridFill] Индекс 555 не описан в словаре.",
      "[TSetup.GridFill] Exception: Format '%s' invalid or incompatible with argument",
  };
  EXPECT_EQ(log.lines, expected);
}

TEST_F(SetupCollectionTest, SameVersionKeepsPagesAndForgetsValues) {
  WriteSetup("1.0", R"(<Main VariableID="102" VariableSubId="0"/>)");
  setups_->SetVersion(1, 0);
  const TSetup* page = setups_->Page(0);
  setups_->Parsing(102, 0, {7});
  setups_->FillGrids("");
  EXPECT_EQ(page->Grid().at(0).Value, "7");

  setups_->SetVersion(1, 0);
  EXPECT_EQ(setups_->Page(0), page);
  EXPECT_FALSE(page->Rows()[0].HasValue);
  ASSERT_EQ(page->Grid().size(), 1u);
  EXPECT_EQ(page->Grid()[0].Name, "");
  setups_->FillGrids("");
  EXPECT_EQ(page->Grid().size(), 1u);  // no value: the row is not shown

  // Another version that falls back to the same file keeps the pages too.
  setups_->SetVersion(1, 4);
  EXPECT_EQ(setups_->Page(0), page);
}

TEST_F(SetupCollectionTest, FileComesBackAfterAVersionWithoutOne) {
  WriteSetup("1.0", R"(<Main VariableID="102" VariableSubId="0"/>)");
  setups_->SetVersion(1, 0);
  setups_->SetVersion(7, 0);
  EXPECT_EQ(setups_->PageCount(), 0);
  setups_->SetVersion(1, 0);
  EXPECT_EQ(setups_->PageCount(), 1);
}

TEST_F(SetupCollectionTest, LongCaptionsAreCut) {
  TSetup page("P", 1);
  page.AddIndex(0, 0, std::string(300, 'x'));
  page.AddIndex(0, 0, std::string(200, 'x') + std::string(100, 'a') + "яя");
  EXPECT_EQ(page.Rows()[0].Caption.size(), 255u);
  EXPECT_EQ(page.Rows()[1].Caption, std::string(200, 'x') + std::string(55, 'a'));
}

}  // namespace
}  // namespace kalmet
