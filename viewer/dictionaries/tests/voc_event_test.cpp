#include "dictionaries/voc_event.h"

#include <gtest/gtest.h>

#include "dict_fixture.h"
#include "dictionaries/ksu_voc_event.h"
#include "session/tests/log_recorder.h"

namespace kalmet {
namespace {

TEST(TVocEventTest, LoadsEventsWithDefaultsAndDuplicates) {
  TempDir dir;
  const std::string path = WriteDict(dir, "VocEvent.xml", R"(<PultexConsole>
  <Event EventId="0x1F" EventName="Первое" Color="Red" Stop="1" Except="yes"/>
  <Event EventId="$1F" EventName="Второе"/>
  <Event EventId="31" EventName="Третье"/>
  <event EventId="12" EventName="Двенадцать" Color=" Lime " Stop="x" Except=" yes"/>
  <Event EventId="9" EventName="Девять" Color="Розовый"/>
  <Event EventId="10" EventName="Системный" Color="BtnFace" Expand="yes"/>
  <Event EventId="0" EventName="Нулевой"/>
  <Event EventName="Без кода"/>
  <Event EventId="13" EventName=""/>
  <Event EventId="zz" EventName="Плохой код"/>
</PultexConsole>)");
  LogRecorder log;
  ReportRecorder boxes;
  TVocEvent voc;
  ASSERT_TRUE(voc.Create(path, boxes.host, nullptr));
  ASSERT_EQ(log.lines.size(), 2u);
  EXPECT_EQ(log.lines[0], "[TVocEvent.Create] Код 31 уже есть в словаре.");
  EXPECT_EQ(log.lines[1], "[TVocEvent.Create] Код 31 уже есть в словаре.");
  EXPECT_EQ(voc.Count(), 4);

  const TEvent* e31 = voc.SeekEvent(31u);
  ASSERT_NE(e31, nullptr);
  EXPECT_EQ(e31->Name, "Первое");
  EXPECT_EQ(e31->Color, 0x0000FFu);
  EXPECT_EQ(e31->Stop, 1);
  EXPECT_TRUE(e31->Except);
  EXPECT_EQ(e31->ExCount(), 0);
  const TEvent* e12 = voc.SeekEvent("12");
  EXPECT_EQ(e12->Color, 0x00FF00u);
  EXPECT_EQ(e12->Stop, 0);
  EXPECT_FALSE(e12->Except);                       // not trimmed in this vocabulary
  EXPECT_EQ(voc.SeekEvent(9u)->Color, 0xFF0000u);  // unknown name: Blue
  EXPECT_EQ(voc.SeekEvent(10u)->Color, 0xF0F0F0u);
  // Key-text order: "10", "12", "31", "9".
  EXPECT_EQ(voc.At(0)->Code, 10u);
  EXPECT_EQ(voc.At(1)->Code, 12u);
  EXPECT_EQ(voc.At(3)->Code, 9u);
  EXPECT_EQ(voc.At(4), nullptr);
  EXPECT_EQ(voc.At(-1), nullptr);
}

TEST(TVocEventTest, ExtraValues) {
  TempDir dir;
  const std::string path = WriteDict(dir, "VocEvent.xml", R"(<PultexConsole>
  <Event EventId="5" EventName="С данными">
    <ExData Num="1" Name=" Ток " Size="4" Type="FP32" Cast="INT16U" Ed="А" VFormat="F1"/>
    <ExData Num="0" Name="Ноль" Size="1"/>
    <ExData Name="Без номера" Size="1"/>
    <ExData Num="2" Name="Без размера"/>
    <ExData Num="2" Name="Повтор" Size="x"/>
    <Other Num="3"/>
  </Event>
  <Event EventId="0xA001" EventName="Старший код">
    <ExData Num="1" Name="Значение" Size="2" Type="INT16U" VFormat=" NOPE "/>
    <ExData Num="2" Name="Известный" Size="2" Type="INT16U" VFormat="F_OK"/>
    <ExData Num="3" Name="Пустой" Size="2" Type="INT16U" VFormat="  "/>
  </Event>
</PultexConsole>)");
  // The controller format list the high codes are checked against.
  const std::string ksuPath = WriteDict(dir, "KSUEvents.xml", R"(<PultexConsole>
  <Formats><Format Category="1" NM="F_OK" MaskBorland="%d"/></Formats>
  <EventGroups/><Events/></PultexConsole>)");
  ReportRecorder boxes;
  TKsuVocEvent ksu;
  std::unique_ptr<TKsuVocFormat> ksuFormats;
  std::unique_ptr<TKsuVocGroups> groups;
  ASSERT_TRUE(ksu.Create(ksuPath, boxes.host, ksuFormats, groups));

  LogRecorder log;
  TVocEvent voc;
  ASSERT_TRUE(voc.Create(path, boxes.host, ksuFormats.get()));
  const std::string p = "[TEvent.SetExEvent] EventID=0x   5 ";
  const std::string q = "[TEvent.SetExEvent] EventID=0xA001 ";
  ASSERT_EQ(log.lines.size(), 4u);
  EXPECT_EQ(log.lines[0],
            p + "Num Exception: Could not convert variant of type (Null) into type (Integer)");
  EXPECT_EQ(log.lines[1],
            p + "Size Exception: Could not convert variant of type (Null) into type (Integer)");
  EXPECT_EQ(log.lines[2], p + "Size Exception: 'x' is not a valid integer value");
  EXPECT_EQ(log.lines[3], q + " NOPE  не описан в словаре.");

  const TEvent* e = voc.SeekEvent(5u);
  ASSERT_EQ(e->ExCount(), 3);
  const TExEvent* x = e->ExEvent(0);
  EXPECT_EQ(x->Num, 1);
  EXPECT_EQ(x->Name, "Ток");
  EXPECT_EQ(x->Size, 4);
  EXPECT_EQ(x->Type, "FP32");
  EXPECT_EQ(x->Cast, "INT16U");
  EXPECT_EQ(x->Ed, "А");
  EXPECT_EQ(x->VFormat, "F1");
  EXPECT_EQ(x->Key(), "00001");
  EXPECT_EQ(e->ExEvent(1)->Name, "Без размера");
  EXPECT_EQ(e->ExEvent(1)->Size, 0);
  EXPECT_EQ(e->ExEvent(2)->Name, "Повтор");
  EXPECT_EQ(e->ExEvent(3), nullptr);
  EXPECT_EQ(voc.SeekEvent(40961u)->ExCount(), 3);  // stored although its format is unknown
}

TEST(TVocEventTest, CountersReset) {
  TempDir dir;
  const std::string path =
      WriteDict(dir, "VocEvent.xml",
                R"(<PultexConsole><Event EventId="1" EventName="A" Stop="1"/></PultexConsole>)");
  ReportRecorder boxes;
  TVocEvent voc;
  ASSERT_TRUE(voc.Create(path, boxes.host, nullptr));
  voc.SeekEvent(1u)->Counter = 5;
  voc.ResetCounters();
  EXPECT_EQ(voc.SeekEvent(1u)->Counter, 0);
}

TEST(TVocEventTest, StartupFailures) {
  TempDir dir;
  ReportRecorder boxes;
  LogRecorder log;
  TVocEvent voc;
  EXPECT_FALSE(voc.Create((dir.path() / "VocEvent.xml").string(), boxes.host, nullptr));
  EXPECT_FALSE(voc.Create(WriteDict(dir, "VocEvent.xml", "<Events/>"), boxes.host, nullptr));
  ASSERT_EQ(log.lines.size(), 2u);
  EXPECT_EQ(log.lines[0],
            "[TVocEvent.Create] Запуск программы. Словарь <<VocEvent.xml>> не найден.");
  EXPECT_EQ(log.lines[1],
            "[TVocEvent.Create] Некорректный файл словаря <<VocEvent.xml>>. Неверное "
            "имя корневого элемента документа: Events");
  ASSERT_EQ(boxes.boxes.size(), 2u);
  EXPECT_EQ(voc.Count(), 0);
  EXPECT_EQ(voc.SeekEvent(1u), nullptr);
}

}  // namespace
}  // namespace kalmet
