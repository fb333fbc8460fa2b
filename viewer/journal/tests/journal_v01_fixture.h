// Small dictionaries and journal images for the tests of the version-0 and version-1
// decoders, the trace journal and their parsers.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "dictionaries/dictionaries.h"
#include "session/conversions.h"
#include "session/cp1251.h"
#include "session/date_time.h"
#include "session/session_context.h"
#include "session/tests/log_recorder.h"
#include "session/tests/temp_dir.h"

namespace kalmet::testing {

// Events: 1 start (one 1-byte value), 4 stop by command, 10 red trip with a 4-byte and a
// 2-byte value, 11 three values of 4, 4 and 1 bytes, 12 an unnamed value before a named
// one, 13 one 8-byte value, 32 a key, 96 a parameter change with index, before and after,
// 97 a parameter change with the index only, 99 a parameter change without extra values,
// 114 a trace request, 300 a code above one byte.
inline const char* const kVocEvent = R"(<PultexConsole>
  <Event EventId="1" EventName="Пуск" Color="Green" Stop="2">
    <ExData Num="1" Name="Источник" Size="1" Type="INT8U" Ed="" VFormat="FORMAT_D"/>
  </Event>
  <Event EventId="4" EventName="Останов" Color="Navy" Stop="1"/>
  <Event EventId="10" EventName="Недогруз" Color="Red" Stop="1">
    <ExData Num="2" Name="Уставка" Size="2" Type="INT16U" Ed="%" VFormat="FORMAT_D"/>
    <ExData Num="1" Name="Ток" Size="4" Type="INT32U" Ed="А" VFormat="FORMAT_D"/>
  </Event>
  <Event EventId="11" EventName="Три значения" Color="Red" Stop="1">
    <ExData Num="1" Name="A" Size="4" Type="INT32U" VFormat="FORMAT_D"/>
    <ExData Num="2" Name="B" Size="4" Type="INT32U" VFormat="FORMAT_D"/>
    <ExData Num="3" Name="C" Size="1" Type="INT8U" VFormat="FORMAT_D"/>
  </Event>
  <Event EventId="12" EventName="С пропуском" Color="Black">
    <ExData Num="1" Name="" Size="2" Type="INT16U" VFormat="FORMAT_D"/>
    <ExData Num="2" Name="Значение" Size="2" Type="INT16U" Ed="В" VFormat="FORMAT_D"/>
  </Event>
  <Event EventId="13" EventName="Широкое" Color="Black">
    <ExData Num="1" Name="Слово" Size="8" Type="INT64" VFormat="FORMAT_X"/>
  </Event>
  <Event EventId="32" EventName="Клавиша" Color="Black"/>
  <Event EventId="96" EventName="Изменение параметра" Color="Black" Except="yes">
    <ExData Num="1" Name="Индекс" Size="2" Type="INT16U"/>
    <ExData Num="2" Name="Было" Size="4" Type="INT32U"/>
    <ExData Num="3" Name="Стало" Size="4" Type="INT32U"/>
  </Event>
  <Event EventId="97" EventName="Изменение" Color="Black" Except="yes">
    <ExData Num="1" Name="Индекс" Size="2" Type="INT16U"/>
  </Event>
  <Event EventId="99" EventName="Изменение без описания" Color="Black" Except="yes"/>
  <Event EventId="114" EventName="Запрос" Color="Black"/>
  <Event EventId="300" EventName="Служебное" Color="Black"/>
</PultexConsole>)";

inline const char* const kVariables = R"(<PultexConsole><Variables>
  <Variable VariableId="1001" VariableFormat="FORMAT_D" VariableType="T_SHORT" VariableName="Уставка недогруза" VariableEd="%"/>
  <Variable VariableId="1050" VariableFormat="format_s" VariableType="T_STRING" VariableName="Название" VariableEd=""/>
  <Variable VariableId="1060" VariableFormat="FORMAT_D" VariableType="T_SHORT" VariableName="Пароль" VariableEd="" IgnoreEvent3="yes"/>
  <Variable VariableId="10001" VariableFormat="FORMAT_D" VariableType="T_SHORT" VariableName="Уставка" VariableEd="%"/>
</Variables></PultexConsole>)";

inline const char* const kVocFormat = R"(<PultexConsole>
  <VocFormat Type="0" NM="FORMAT_S" MaskBorland="%s"/>
  <VocFormat Type="0" NM="FORMAT_D" MaskBorland="%d"/>
  <VocFormat Type="0" NM="FORMAT_X" MaskBorland="%.4x"/>
</PultexConsole>)";

// Two setup pages: a setup variable and, on the second, numbers the parsers route
// elsewhere (none of them may receive a value here).
inline const char* const kSetups = R"(<PultexConsole>
  <Уставки VariableID="10001" VariableSubId="0" VariableNM="Уставка"/>
  <Уставки VariableID="1001" VariableSubId="0" VariableNM="Уставка 0"/>
  <Прочее VariableID="10353" VariableSubId="0" VariableNM="График"/>
  <Прочее VariableID="10370" VariableSubId="0" VariableNM="Журнал"/>
  <Прочее VariableID="9995" VariableSubId="0" VariableNM="Работа"/>
  <Прочее VariableID="1014" VariableSubId="0" VariableNM="Журнал 0"/>
  <Прочее VariableID="9906" VariableSubId="0" VariableNM="График 0"/>
</PultexConsole>)";

inline std::string WriteCp1251(const TempDir& dir, const std::string& name,
                               const std::string& body) {
  return dir.Write(name,
                   Utf8ToCp1251("<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n" + body));
}

// A session with the small dictionaries loaded, message boxes recorded.
class JournalTest : public ::testing::Test {
 protected:
  JournalTest() {
    ctx.SetProgramFolder(dir_.path().string());
    const std::string d = ctx.sDictPath;
    WriteCp1251(dir_, "Dictionary/Variables/Variables.xml", kVariables);
    WriteCp1251(dir_, "Dictionary/Dictionary/VocFormat.xml", kVocFormat);
    WriteCp1251(dir_, "Dictionary/Dictionary/VocEvent.xml", kVocEvent);
    WriteCp1251(dir_, "Dictionary/Dictionary/KSU_0.0.xml", kSetups);
    WriteCp1251(dir_, "Dictionary/Dictionary/KSU_2.13.xml", kSetups);
    dicts.Dictionary = std::make_unique<TDictionary>();
    EXPECT_TRUE(dicts.Dictionary->Create(d + kVariablesFile, ctx.Host));
    dicts.VocFormat = std::make_unique<TVocFormat>();
    EXPECT_TRUE(dicts.VocFormat->Create(d + kVocFormatFile, ctx.Host));
    dicts.VocFormat->SetDictionary(dicts.Dictionary.get());
    dicts.VocEvent = std::make_unique<TVocEvent>();
    EXPECT_TRUE(dicts.VocEvent->Create(d + kVocEventFile, ctx.Host, nullptr));
    dicts.Setups = std::make_unique<TSetupCollection>(d, dicts.Dictionary.get(),
                                                      dicts.VocFormat.get(), &ctx.Host);
    AttachDictionaries(ctx, dicts);
    ctx.Host.ReportToUser = [this](const std::string& text, const std::string&) {
      boxes.push_back(text);
    };
  }

  TEvent* Description(uint32_t code) { return dicts.VocEvent->SeekEvent(code); }

  // "Name|Text|Ed" of every extended value of an event, in list order.
  static std::vector<std::string> Values(const TEventData& e) {
    std::vector<std::string> out;
    if (!e.ExData) return out;
    for (int i = 0; i < e.ExData->Count(); ++i) {
      const TExData* x = e.ExData->Object(i);
      out.push_back(e.ExData->Key(i) + ":" + x->Name + "|" + x->Text + "|" + x->Ed);
    }
    return out;
  }

  std::vector<std::string> Keys() const {
    std::vector<std::string> out;
    for (int i = 0; i < ctx.Journal.Count(); ++i) out.push_back(ctx.Journal.GetKey(i));
    return out;
  }

  std::vector<uint32_t> Codes() const {
    std::vector<uint32_t> out;
    for (int i = 0; i < ctx.Journal.Count(); ++i) out.push_back(ctx.Journal.GetEvent(i)->Code);
    return out;
  }

  TempDir dir_;
  SessionContext ctx;
  TDictionaries dicts;
  std::vector<std::string> boxes;
};

// Clock fields hour, minute, second, day, month, year within the century.
using Clock = std::array<uint8_t, 6>;

inline TDateTime At(const Clock& c) {
  return EncodeDate(2000 + c[5], c[4], c[3]) + EncodeTime(c[0], c[1], c[2], 0);
}

inline void PutLE(TData& out, size_t pos, uint32_t v, size_t n) {
  for (size_t i = 0; i < n; ++i) out[pos + i] = static_cast<uint8_t>(v >> (8 * i));
}

inline uint8_t Bcd(uint8_t n) {
  return static_cast<uint8_t>((n / 10) << 4 | (n % 10));
}

// One 20-byte version-1 slot; data are the 8 extended-data bytes, clock is decimal.
inline TData Slot1(uint16_t code, const Clock& clock, std::initializer_list<uint8_t> data = {},
                   uint16_t index = 0) {
  TData s(20, 0);
  PutLE(s, 0, code, 2);
  PutLE(s, 2, index, 2);
  size_t i = 6;
  for (uint8_t b : data) s[i++] = b;
  for (size_t k = 0; k < 6; ++k) s[14 + k] = Bcd(clock[k]);
  return s;
}

// A version-1 journal variable of the given number of slots (1000 for the full ring).
inline TData Journal1(uint16_t head, const std::vector<std::pair<int, TData>>& slots,
                      int slotCount = 1000) {
  TData v(2 + 20 * static_cast<size_t>(slotCount), 0);
  PutLE(v, 0, head, 2);
  for (const auto& [n, s] : slots) std::copy(s.begin(), s.end(), v.begin() + 2 + 20 * n);
  return v;
}

// One 23-byte version-0 record; before and after are the 8 data bytes, clock is binary.
inline TData Record0(uint8_t code, const Clock& clock, uint32_t before = 0, uint32_t after = 0,
                     uint16_t index = 0) {
  TData r(23, 0);
  r[0] = code;
  PutLE(r, 5, index, 2);
  PutLE(r, 9, before, 4);
  PutLE(r, 13, after, 4);
  std::copy(clock.begin(), clock.end(), r.begin() + 17);
  return r;
}

inline TData Journal0(uint8_t head, const std::vector<std::pair<int, TData>>& records) {
  TData v(1 + 23 * 255, 0);
  v[0] = head;
  for (const auto& [n, r] : records) std::copy(r.begin(), r.end(), v.begin() + 1 + 23 * n);
  return v;
}

// One 38-byte stop record.
inline TData Stop0(uint32_t reason, float value, const Clock& clock) {
  TData r(38, 0);
  PutLE(r, 0, reason, 4);
  uint32_t bits;
  std::memcpy(&bits, &value, 4);
  PutLE(r, 4, bits, 4);
  std::copy(clock.begin(), clock.end(), r.begin() + 32);
  return r;
}

inline TData StopJournal0(uint8_t head, const std::vector<std::pair<int, TData>>& records) {
  TData v(1 + 38 * 255, 0);
  v[0] = head;
  for (const auto& [n, r] : records) std::copy(r.begin(), r.end(), v.begin() + 1 + 38 * n);
  return v;
}

}  // namespace kalmet::testing
