#include "journal/journal2.h"

#include <cmath>

#include "journal_v2_fixture.h"

namespace kalmet {
namespace {

using namespace testing;

class Journal2 : public JournalV2Test {
 protected:
  TJournal2 decoder{dicts};

  // Decodes one event record and returns the copy the collection took, or null.
  const TEventData* Event(uint16_t code, const Bytes& data, uint32_t number = 1) {
    decoder.ParsingEvent(ctx, number, kT0, code, data);
    return ctx.Journal.Find(RecordKey(number));
  }
  static std::vector<std::string> Texts(const TEventData& e) {
    std::vector<std::string> texts;
    for (int i = 0; e.ExData && i < e.ExData->Count(); ++i) {
      texts.push_back(e.ExData->Key(i) + " " + e.ExData->Object(i)->DisplayText());
    }
    return texts;
  }
};

TEST_F(Journal2, GraphCodesSetTheirChannels) {
  const std::pair<uint32_t, int> table[] = {
      {0x9000, 9},  {0x9001, 1},  {0x9002, 2},  {0x9003, 3},  {0x9004, 10}, {0x9005, 4},
      {0x9006, 5},  {0x9007, 6},  {0x9008, 7},  {0x9009, 11}, {0x900A, 8},  {0x900B, 12},
      {0x900C, 13}, {0x900D, 14}, {0x900E, 15}, {0x900F, 0},  {0x9010, 0},  {0x902F, 0},
      {0x9030, 8},  {0x9031, 12}, {0x9032, 13}, {0x9033, 14}, {0x9034, 15}, {0x9035, 0},
      {0x8FFF, 0},  {0, 0}};
  for (const auto& [code, channel] : table) {
    EXPECT_EQ(TJournal2::GraphChannel(code), channel) << std::hex << code;
  }
}

TEST_F(Journal2, GraphRecordsFillSamples) {
  const float nan = NAN;
  struct Case {
    const char* name;
    uint16_t code;
    Bytes data;
    bool result;
    int channel;
    float value;  // nan: marked missing
  };
  const Case cases[] = {
      {"value", 0x9005, GraphValue(12.5f), true, 4, 12.5f},
      {"marked invalid", 0x9005, GraphValue(12.5f, 0), true, 4, nan},
      {"validity byte missing counts as valid", 0x9005, Float(3.0f), true, 4, 3.0f},
      {"value cut short is missing", 0x9005, {0x00, 0x00}, true, 4, nan},
      {"no data", 0x9005, {}, true, 4, nan},
      {"second code of the range", 0x9032, GraphValue(-1.5f), true, 13, -1.5f},
  };
  for (const Case& c : cases) {
    ctx.slGraph.Clear();
    EXPECT_EQ(decoder.ParsingGraph(ctx, 5, 0, c.code, c.data), c.result) << c.name;
    ASSERT_EQ(ctx.slGraph.Count(), 1) << c.name;
    const TEventData* s = ctx.slGraph.Object(0);
    EXPECT_EQ(ctx.slGraph.Key(0), "$000000000000005") << c.name;
    EXPECT_EQ(s->Key, "$000000000000005") << c.name;
    EXPECT_EQ(s->DateTime, 25569.0) << c.name;
    EXPECT_EQ(s->GraphPoint, 1) << c.name;
    EXPECT_EQ(s->Code, 0u) << c.name;
    for (int ch = 1; ch <= 27; ++ch) {
      const float v = s->GetValue(ch);
      if (ch != c.channel) {
        EXPECT_TRUE(std::isinf(v)) << c.name << " channel " << ch;
      } else if (std::isnan(c.value)) {
        EXPECT_EQ(std::bit_cast<uint32_t>(v), 0xFFC00000u) << c.name;
      } else {
        EXPECT_EQ(v, c.value) << c.name;
      }
    }
  }
}

TEST_F(Journal2, GraphRecordsOfOneNumberShareASample) {
  TGraphIndex index(ctx.slGraph);
  LogRecorder log;
  EXPECT_TRUE(decoder.ParsingGraph(ctx, 9, kT0, 0x9001, GraphValue(1), &index));
  EXPECT_TRUE(decoder.ParsingGraph(ctx, 9, kT0, 0x9002, GraphValue(2), &index));
  EXPECT_TRUE(decoder.ParsingGraph(ctx, 10, kT0, 0x9001, GraphValue(3)));  // found by search
  EXPECT_TRUE(decoder.ParsingGraph(ctx, 10, kT0, 0x9003, GraphValue(4)));
  EXPECT_FALSE(decoder.ParsingGraph(ctx, 11, kT0, 0x9010, GraphValue(5), &index));
  ASSERT_EQ(ctx.slGraph.Count(), 2);
  EXPECT_EQ(ctx.slGraph.Object(0)->GetValue(1), 1);
  EXPECT_EQ(ctx.slGraph.Object(0)->GetValue(2), 2);
  EXPECT_EQ(ctx.slGraph.Object(1)->GetValue(1), 3);
  EXPECT_EQ(ctx.slGraph.Object(1)->GetValue(3), 4);
  EXPECT_EQ(log.lines,
            std::vector<std::string>{
                "[TJournal2.ParsingGraph] График с кодом 0x9010 не описан в словаре событий"});
}

TEST_F(Journal2, EventsGoToTheListsOfTheirGroups) {
  struct Case {
    uint16_t code;
    bool result, journal, trace;
    int stop;
  };
  const Case cases[] = {
      {0x2010, true, true, false, 1},   // protection trip
      {0x1001, true, true, false, 2},   // motor start
      {0xA001, true, true, false, 3},   // station power off
      {0x5001, true, false, true, 0},   // operator action: trace only
      {0x4001, true, true, true, 0},    // message: both
      {0x9001, true, false, false, 0},  // a graph code reaches neither list
      {0x7777, false, false, false, 0},
  };
  uint32_t number = 100;
  for (const Case& c : cases) {
    ++number;
    LogRecorder log;
    const int counter = c.result ? dicts.KsuVocEvent->SeekEvent(uint32_t(c.code))->Counter : 0;
    EXPECT_EQ(decoder.ParsingEvent(ctx, number, kT0, c.code, Bytes(8, 1)), c.result)
        << std::hex << c.code;
    const TEventData* j = ctx.Journal.Find(RecordKey(number));
    const int t = ctx.slTrasser.IndexOf(RecordKey(number));
    EXPECT_EQ(j != nullptr, c.journal) << std::hex << c.code;
    EXPECT_EQ(t >= 0, c.trace) << std::hex << c.code;
    if (j) {
      EXPECT_EQ(j->Stop, c.stop) << std::hex << c.code;
    }
    if (j && t >= 0) {
      EXPECT_NE(j, ctx.slTrasser.Object(t));
    }
    if (c.result) {
      EXPECT_EQ(dicts.KsuVocEvent->SeekEvent(uint32_t(c.code))->Counter,
                counter + (c.stop == 1 ? 1 : 0));
    } else {
      EXPECT_TRUE(
          log.Contains("[TJournal2.ParsingEvent] Событие с кодом 0x7777 не описано в "
                       "словаре событий"));
    }
  }
}

TEST_F(Journal2, ExtraValuesAreRenderedByTheirFormats) {
  struct Case {
    const char* name;
    uint16_t code;
    Bytes data;
    std::vector<std::string> texts;  // key, then "Name Text Ed"
    const char* log;
  };
  const Case cases[] = {
      {"float and byte",
       0x2010,
       Join({Float(12.5f), {80}}),
       {"00001 Ток 12,5 А", "00002 Загрузка 80 %"},
       nullptr},
      {"float cast to an integer",
       0x2017,
       Float(1234.7f),
       {"00001 Сопротивление 1234 кОм"},
       nullptr},
      {"list item", 0x1001, {1}, {"00001 Источник команды Телемеханика "}, nullptr},
      {"hexadecimal", 0x201D, Le(0xBEEF, 2), {"00001 Код аварии 0xBEEF "}, nullptr},
      {"text cut at its size",
       0xA006,
       Join({Le(20, 2), Bytes(20, 'x')}),
       {"00001 Версия xxxxxxxxxxxx "},
       nullptr},
      {"text cut at zero",
       0xA006,
       Join({Le(5, 2), {'1', '.', 0, '4', '5'}, Bytes(7, 0)}),
       {"00001 Версия 1. "},
       nullptr},
      {"text longer than the data",
       0xA005,
       Join({Le(5, 2), {'A', 'd'}}),
       {"00001 Пользователь  "},
       nullptr},
      {"data ends before the second value",
       0x2010,
       Float(2.0f),
       {"00001 Ток 2,0 А"},
       "[TJournal2.FormattingEx] Для события 0x2010 нет данных для вывода."},
      {"no data at all",
       0x2013,
       {},
       {},
       "[TJournal2.FormattingEx] Для события 0x2013 нет данных для вывода."},
  };
  uint32_t number = 0;
  for (const Case& c : cases) {
    LogRecorder log;
    const TEventData* e = Event(c.code, c.data, ++number);
    ASSERT_NE(e, nullptr) << c.name;
    EXPECT_EQ(Texts(*e), c.texts) << c.name;
    if (c.log) {
      EXPECT_TRUE(log.Contains(c.log)) << c.name;
    } else {
      EXPECT_TRUE(log.lines.empty()) << c.name << ": " << log.lines.front();
    }
  }

  // A bit mask adds one value per listed bit instead of its own.
  const TEventData* mask = Event(0x201E, Le(0b101, 4), ++number);
  ASSERT_NE(mask, nullptr);
  const std::vector<std::string> texts = Texts(*mask);
  ASSERT_EQ(texts.size(), 14u);
  EXPECT_EQ(texts[0], "00000 Недогруз Да ");
  EXPECT_EQ(texts[1], "00001 Перегруз Нет ");
  EXPECT_EQ(texts[2], "00002 МТЗ Да ");
}

TEST_F(Journal2, BadDescriptionsStopOrSkipValues) {
  auto ex = [](int num, int size, const char* type, const char* format) {
    TExEvent e;
    e.Num = num;
    e.Size = size;
    e.Type = type;
    e.Name = "V" + std::to_string(num);
    e.VFormat = format;
    return e;
  };
  struct Case {
    const char* name;
    std::vector<TExEvent> values;
    bool result;
    std::vector<std::string> texts;
    const char* log;
  };
  const Case cases[] = {
      {"unknown format skips its bytes",
       {ex(1, 2, "INT16U", "F_NONE"), ex(2, 1, "INT8U", "F_UINT")},
       true,
       {"00002 V2 3 "},
       "[TJournal2.FormattingEx] Для события 0x4001 неправильно описан формат."},
      {"type without size",
       {ex(1, 1, "BYTE", "F_UINT")},
       false,
       {},
       "[TJournal2.FormattingEx] Error: Не определить размер BYTE"},
      {"size below the type's",
       {ex(1, 1, "INT16U", "F_UINT")},
       false,
       {},
       "[TJournal2.FormattingEx] Error: Size=1, Type=INT16U"},
      {"size above the type's skips the rest",
       {ex(1, 2, "INT8U", "F_UINT"), ex(2, 1, "INT8U", "F_UINT")},
       true,
       {"00001 V1 1 ", "00002 V2 3 "},
       nullptr},
      {"values sorted by number",
       {ex(9, 1, "INT8U", "F_UINT"), ex(3, 1, "INT8U", "F_UINT")},
       true,
       {"00003 V3 2 ", "00009 V9 1 "},
       nullptr},
      {"negative size reads nothing",
       {ex(1, -4, "STRING", "F_STRING")},
       true,
       {"00001 V1  "},
       nullptr},
  };
  const Bytes data = {1, 2, 3};
  for (const Case& c : cases) {
    TEvent description;
    description.Code = 0x4001;
    description.Name = "E";
    description.ExEvents = c.values;
    TEventData event;
    event.Code = 0x4001;
    LogRecorder log;
    EXPECT_EQ(decoder.Formatting(event, description, data), c.result) << c.name;
    EXPECT_EQ(event.Name, "E");
    if (c.result) {
      EXPECT_EQ(Texts(event), c.texts) << c.name;
    }
    if (c.log) {
      EXPECT_TRUE(log.Contains(c.log)) << c.name;
    } else {
      EXPECT_TRUE(log.lines.empty()) << c.name << ": " << log.lines.front();
    }
  }
}

TEST_F(Journal2, ParameterChanges) {
  struct Case {
    const char* name;
    Bytes data;
    const char* eventName;  // nullptr: the event is dropped
    std::vector<std::string> texts;
    const char* log;
  };
  const std::string base = "Изменение параметра с пульта";
  const std::string underload = base + " [Уставка защиты от недогруза]";
  const Case cases[] = {
      {"all four values",
       Join({Le(10001, 2), {3}, Le(40, 4), Le(45, 4)}),
       underload.c_str(),
       {"00001   ", "00002 Уровень доступа 3 %", "00003 Старое значение 40 %",
        "00004 Новое значение 45 %"},
       nullptr},
      {"values ignored for the variable",
       Join({Le(10086, 2), {3}, Le(0, 4), Le(1, 4)}),
       "Изменение параметра с пульта [Пароль доступа установлен]",
       {},
       nullptr},
      {"text variable",
       Join({Le(62, 2), {3}, Le(0, 4), Le(1, 4)}),
       "Изменение параметра с пульта [Номер скважины]",
       {},
       nullptr},
      {"index not in the dictionary",
       Join({Le(9999, 2), {3}, Le(0, 4), Le(1, 4)}),
       nullptr,
       {},
       "[TJournal2.FormattingChangeIndex]  Индекс:9999 отсутствует в словаре."},
      {"data ends inside the index", {0x11}, nullptr, {}, nullptr},
      {"data ends before the detail", Le(10001, 2), nullptr, {}, nullptr},
      {"data ends before the new value",
       Join({Le(10001, 2), {3}, Le(40, 4)}),
       nullptr,
       {},
       nullptr},
  };
  uint32_t number = 0;
  for (const Case& c : cases) {
    LogRecorder log;
    const TEventData* e = Event(0x3001, c.data, ++number);
    if (!c.eventName) {
      EXPECT_EQ(e, nullptr) << c.name;
    } else {
      ASSERT_NE(e, nullptr) << c.name;
      EXPECT_EQ(e->Name, c.eventName) << c.name;
      EXPECT_EQ(Texts(*e), c.texts) << c.name;
    }
    if (c.log) {
      EXPECT_TRUE(log.Contains(c.log)) << c.name;
    } else {
      EXPECT_TRUE(log.lines.empty()) << c.name << ": " << log.lines.front();
    }
  }

  // A description with the index only: the name and the index entry.
  TEvent description = *dicts.KsuVocEvent->SeekEvent(0x3001u);
  description.ExEvents.resize(1);
  TEventData event;
  ASSERT_TRUE(decoder.Formatting(event, description, Le(10001, 2)));
  EXPECT_EQ(event.Name, underload);
  ASSERT_EQ(event.ExData->Count(), 1);
  EXPECT_EQ(event.ExData->Object(0)->Raw, (std::array<uint8_t, 4>{0x11, 0x27, 0, 0}));
}

}  // namespace
}  // namespace kalmet
