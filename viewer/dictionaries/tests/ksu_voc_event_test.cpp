#include "dictionaries/ksu_voc_event.h"

#include <gtest/gtest.h>

#include "dict_fixture.h"
#include "journal/event_data.h"
#include "session/tests/log_recorder.h"

namespace kalmet {
namespace {

struct Loaded {
  ReportRecorder boxes;
  TKsuVocEvent events;
  std::unique_ptr<TKsuVocFormat> formats;
  std::unique_ptr<TKsuVocGroups> groups;
  bool ok = false;
};

void Load(Loaded& l, const std::string& body) {
  TempDir dir;
  l.ok = l.events.Create(WriteDict(dir, "KSUEvents.xml", body), l.boxes.host, l.formats, l.groups);
}

const char* kGroupsFile = R"(<PultexConsole>
<Formats>
  <Format Category="1" NM="F_FLOAT" MaskBorland="%.1f"/>
  <Format Category="3" NM="F_LIST">Раз,Два</Format>
  <Format Category="4" NM="F_BITS">A,B,C</Format>
  <Format Category="3" NM="f_list">Дубль</Format>
  <Format NM="F_NOCAT"/>
  <format Category="1" NM="F_LOWER"/>
</Formats>
<EventGroups>
  <EventGroup Id="1" Name="Base"><Range>1-2</Range></EventGroup>
  <EventGroup Id="2" Name="Mixed"><Range>0xA001-0xA003</Range><GroupList>1</GroupList></EventGroup>
  <EventGroup Id="3" Name="Start"><Range>$10-0X11</Range></EventGroup>
  <EventGroup Id="4" Name="Empty range"><Range>5-3</Range></EventGroup>
  <EventGroup Id="5" Name="Stop"><Range>0x11-0x12</Range><Range>5-3</Range><Junk/></EventGroup>
  <EventGroup Id="6" Name="Forward"><GroupList>9</GroupList></EventGroup>
  <EventGroup Id="7" Name="Refers to empty"><GroupList>4</GroupList></EventGroup>
  <EventGroup Id="8" Name="No data"></EventGroup>
  <EventGroup Id="1" Name="Again"><Range>7-8</Range></EventGroup>
  <EventGroup Id="9" Name="Later"><Range>20-21</Range></EventGroup>
  <EventGroup Id="10" Name="Bad range"><Range>20</Range></EventGroup>
  <EventGroup Id="11" Name="Zero"><Range>0-5</Range></EventGroup>
  <EventGroup Id="12" Name="Huge"><Range>1-2147483647</Range></EventGroup>
  <EventGroup Id="13" Name="Text"><Range>a-b</Range></EventGroup>
  <EventGroup Name="No id"><Range>1-2</Range></EventGroup>
  <EventGroup Id="14" Name="Via hex"><GroupList>0x2</GroupList></EventGroup>
</EventGroups>
<Events>
  <Event EventId="0x11" EventName=" Стоп и старт " Except=" YES "/>
  <Event EventId="0x10" EventName="Старт" Color="Green"/>
  <Event EventId="0xA001" EventName="Питание выкл"/>
  <Event EventId="40962" EventName="Питание вкл"/>
  <Event EventId="40962" EventName="Повтор"/>
  <Event EventId="0x12" EventName="  "/>
  <event EventId="0x13" EventName="Не тот регистр"/>
  <Event EventId="0xA003" EventName="С форматом">
    <ExData Num="1" Name="Ошибка" Size="1" Type="INT8U" VFormat="F_MISSING"/>
    <ExData Num="2" Name="Верно" Size="4" Type="FP32" VFormat="F_FLOAT"/>
  </Event>
</Events>
</PultexConsole>)";

TEST(TKsuVocEventTest, GroupsFromRangesAndReferences) {
  LogRecorder log;
  Loaded l;
  Load(l, kGroupsFile);
  ASSERT_TRUE(l.ok);
  const TKsuVocGroups& g = *l.groups;
  ASSERT_NE(g.Group(2), nullptr);
  EXPECT_EQ(g.Group(2)->Codes, (std::vector<uint32_t>{1, 2, 40961, 40962, 40963}));
  EXPECT_EQ(g.Group(2)->CodeKey(2), "0000040961");
  EXPECT_EQ(g.Group(3)->Codes, (std::vector<uint32_t>{16, 17}));
  EXPECT_EQ(g.Group(5)->Codes, (std::vector<uint32_t>{17, 18}));
  EXPECT_EQ(g.Group(1)->Name, "Base");
  EXPECT_EQ(g.Group(1)->Codes, (std::vector<uint32_t>{1, 2}));  // the first group 1 wins
  ASSERT_NE(g.Group(4), nullptr);                               // stored without codes
  EXPECT_TRUE(g.Group(4)->Codes.empty());
  EXPECT_FALSE(g.SeekInGroup(4, 4));
  EXPECT_EQ(g.Group(14)->CodeCount(), 5);
  for (int dropped : {6, 7, 8, 10, 11, 12, 13}) EXPECT_EQ(g.Group(dropped), nullptr) << dropped;
  EXPECT_EQ(g.Count(), 7);
  EXPECT_TRUE(g.SeekInGroup(2, 40963));
  EXPECT_FALSE(g.SeekInGroup(2, 3));
  EXPECT_FALSE(g.SeekInGroup(99, 1));
  EXPECT_TRUE(g.InGroup3(16));
  EXPECT_TRUE(g.InGroup5(18));

  const std::vector<std::string> expected = {
      "[TKsuVocFormat.Create] Формат f_list уже есть в словаре.",
      "[TKsuVocFormat.Create] Строка XML=<Format NM=\"F_NOCAT\"/> Exception: Could not convert "
      "variant of type (Null) into type (Integer)",
      "[TKsuVocGroups.SetGroupList] Для группы 5 что-то непонятное.",
      "[TKsuVocGroups.SetGroupList] Группа 6. Error: 9",
      "[TKsuVocGroups.SetGroupList] Группа 7. Error: Group 4 count=0",
      "[TKsuVocGroups.Create] Для группы 8 нет данных.",
      "[TKsuVocGroups.Create] Группа с номером 1 уже есть в словаре.",
      "[TKsuVocGroups.SetRange] Группа 10. Error: 20",
      "[TKsuVocGroups.SetRange] Группа 11. Error: 0-5",
      "[TKsuVocGroups.SetRange] Группа 12. Error: 1-2147483647",
      "[TKsuVocGroups.SetRange] Группа 13. Exception: 'a' is not a valid integer value",
      "[TKsuVocGroups.Create] Строка XML=<EventGroup Name=\"No "
      "id\"><Range>1-2</Range></EventGroup> "
      "Exception: Could not convert variant of type (Null) into type (Integer)",
      "[TKsuVocEvent.LoadEvents] Код 40962 уже есть в словаре.",
      "[TEvent.SetExEvent] EventID=0xA003 F_MISSING не описан в словаре.",
  };
  EXPECT_EQ(log.lines, expected);
}

TEST(TKsuVocEventTest, EventsTakeTheirStopFromTheGroups) {
  Loaded l;
  Load(l, kGroupsFile);
  ASSERT_TRUE(l.ok);
  EXPECT_EQ(l.events.Count(), 5);
  const TEvent* both = l.events.SeekEvent(17u);
  ASSERT_NE(both, nullptr);
  EXPECT_EQ(both->Name, "Стоп и старт");
  EXPECT_TRUE(both->Except);
  EXPECT_EQ(both->Stop, 1);  // group 5 before group 3
  EXPECT_EQ(l.events.SeekEvent(16u)->Stop, 2);
  EXPECT_EQ(l.events.SeekEvent(16u)->Color, 0x008000u);
  EXPECT_EQ(l.events.SeekEvent(40961u)->Stop, 3);
  EXPECT_EQ(l.events.SeekEvent(40962u)->Name, "Питание вкл");
  EXPECT_EQ(l.events.SeekEvent(40962u)->Stop, 4);
  EXPECT_EQ(l.events.SeekEvent(40963u)->Stop, 0);
  EXPECT_EQ(l.events.SeekEvent(40963u)->ExCount(), 2);
  EXPECT_EQ(l.events.SeekEvent(18u), nullptr);
  EXPECT_EQ(l.events.SeekEvent(19u), nullptr);

  EXPECT_EQ(l.formats->Count(), 3);
  EXPECT_EQ(l.formats->GetFormat("f_list")->List->size(), 2u);
  EXPECT_EQ(l.formats->GetFormat("F_LOWER"), nullptr);
}

TEST(TKsuVocEventTest, FormatRenderers) {
  Loaded l;
  Load(l, kGroupsFile);
  const TKsuVocFormat& f = *l.formats;
  EXPECT_EQ(f.FormatEventValue(*f.GetFormat("F_LIST"), 31), "0x1F");
  EXPECT_EQ(f.FormatCombo(*f.GetFormat("F_LIST"), 1, 17), "Два");
  LogRecorder log;
  EXPECT_EQ(f.FormatCombo(*f.GetFormat("F_LIST"), 2, 17), "?");
  EXPECT_EQ(log.lines.at(0),
            "[TKsuVocFormat.FormatCombo]  Значение 2 больше списочного для F_LIST. Код:17");

  TEventData event;
  EXPECT_EQ(f.FormatBitMask(*f.GetFormat("F_BITS"), 2, event, 17), "");
  ASSERT_NE(event.ExData, nullptr);
  ASSERT_EQ(event.ExData->Count(), 3);
  const char* names[] = {"A", "B", "C"};
  const char* texts[] = {"Нет", "Да", "Нет"};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(event.ExData->Key(i), "0000" + std::to_string(i));
    EXPECT_EQ(event.ExData->Object(i)->Name, names[i]);
    EXPECT_EQ(event.ExData->Object(i)->Text, texts[i]);
    EXPECT_EQ(event.ExData->Object(i)->Raw[0], i == 1 ? 1 : 0);
    EXPECT_EQ(event.ExData->Object(i)->Ed, "");
  }
  TFormat noList{4, "NOLIST", "", std::nullopt};
  TEventData other;
  EXPECT_EQ(f.FormatBitMask(noList, 1, other, 9), "");
  EXPECT_EQ(other.ExData, nullptr);
  EXPECT_EQ(log.lines.at(1),
            "[TKsuVocFormat.FormatBitMask]  Для формата NOLIST не задан список. Код:9");
}

TEST(TKsuVocEventTest, MissingSectionStopsStartupButKeepsWhatLoaded) {
  LogRecorder log;
  Loaded l;
  Load(l, R"(<PultexConsole><Formats><Format Category="1" NM="F" MaskBorland="%d"/></Formats>
    <Events/></PultexConsole>)");
  EXPECT_FALSE(l.ok);
  ASSERT_NE(l.formats, nullptr);
  EXPECT_NE(l.formats->GetFormat("F"), nullptr);
  EXPECT_EQ(l.groups, nullptr);
  ASSERT_EQ(log.lines.size(), 1u);
  EXPECT_EQ(
      log.lines[0],
      "[TKsuVocEvent.Create] Некорректный файл словаря <<KSUEvents.xml>>. Не найден: EventGroups");
  ASSERT_EQ(l.boxes.boxes.size(), 1u);
  EXPECT_EQ(l.boxes.boxes[0].text,
            "Некорректный файл словаря <<KSUEvents.xml>>.\rПродлжение работы невозможно!");
}

TEST(TKsuVocEventTest, UnreachableRootLeavesAnEmptyVocabulary) {
  TempDir dir;
  LogRecorder log;
  ReportRecorder boxes;
  TKsuVocEvent events;
  std::unique_ptr<TKsuVocFormat> formats;
  std::unique_ptr<TKsuVocGroups> groups;
  EXPECT_TRUE(
      events.Create(dir.Write("KSUEvents.xml", "<PultexConsole/>"), boxes.host, formats, groups));
  EXPECT_EQ(formats, nullptr);
  EXPECT_EQ(groups, nullptr);
  EXPECT_EQ(events.Count(), 0);
  EXPECT_TRUE(boxes.boxes.empty());
  EXPECT_EQ(log.lines.at(0), "[TKsuVocEvent.Create] Exception: List index out of bounds (1)");
}

}  // namespace
}  // namespace kalmet
