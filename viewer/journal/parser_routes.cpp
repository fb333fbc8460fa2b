#include "journal/parser_routes.h"

#include <span>

#include "dictionaries/dictionaries.h"
#include "journal/jrn_trasser.h"
#include "journal/not_handled_yet.h"
#include "session/file_log.h"
#include "session/session_context.h"

namespace kalmet {
namespace {

using L = TLoader;

constexpr TParserRoute kRoutesVer0[] = {
    {1014, "Загрузка журнала событий", L::Journal0Event, 0},
    {1015, "Загрузка журнала остановов", L::Journal0Stop, 0},
    {1016, "Загрузка журнала работы", L::Journal0Work, 0},
    {1024, nullptr, L::Trasser, 1},
    {9900, "Загрузка графика пуска тока А", L::LoadStartGraph0, 4},
    {9901, "Загрузка графика пуска тока B", L::LoadStartGraph0, 5},
    {9902, "Загрузка графика пуска тока C", L::LoadStartGraph0, 6},
    {9903, "Загрузка графика пуска напр. AB", L::LoadStartGraph0, 1},
    {9904, "Загрузка графика пуска напр. BC", L::LoadStartGraph0, 2},
    {9905, "Загрузка графика пуска напр. CA", L::LoadStartGraph0, 3},
    {9906, "Загрузка 5-мин. графика I", L::Graphic5, 2},
    {9908, "Загрузка 5-мин. графика U", L::Graphic5, 1},
    {9910, "Загрузка 5-мин. графика Cos", L::Graphic5, 3},
    {9920, "Загрузка часового графика T", L::GraphHour, 0},
    {9922, "Загрузка часового графика P", L::GraphHour, 1},
    {9976, "Загрузка 5-мин. графика T", L::Graphic5, 4},
    {9978, "Загрузка 5-мин. графика P", L::Graphic5, 5},
    {10304, nullptr, L::FieldName, 0},
};

constexpr TParserRoute kRoutesVer1[] = {
    {9991, "Счетчик пусков двигателя", L::Journal1Work, 2},
    {9995, "Полное время работы двигателя", L::Journal1Work, 0},
    {9996, "Общий простой двигателя", L::Journal1Work, 1},
    {10304, nullptr, L::FieldName, 0},
    {10353, "Загрузка графика тока фазы А", L::ParsingGraphicArchive, 4},
    {10354, "Загрузка графика тока фазы B", L::ParsingGraphicArchive, 5},
    {10355, "Загрузка графика тока фазы C", L::ParsingGraphicArchive, 6},
    {10356, "Загрузка графика напряжения AB", L::ParsingGraphicArchive, 1},
    {10357, "Загрузка графика напряжения BC", L::ParsingGraphicArchive, 2},
    {10358, "Загрузка графика напряжения CA", L::ParsingGraphicArchive, 3},
    {10359, "Загрузка графика COS", L::ParsingGraphicArchive, 7},
    {10360, "Загрузка графика давления", L::ParsingGraphicArchive, 13},
    {10361, "Загрузка графика температуры", L::ParsingGraphicArchive, 12},
    {10362, "Загрузка графика сопротивления", L::ParsingGraphicArchive, 8},
    {10363, "Загрузка времени графика пуска", L::LoadStartTime1, 0},
    {10364, "Загрузка графика пуска тока А", L::LoadStartCurve1, 4},
    {10365, "Загрузка графика пуска тока B", L::LoadStartCurve1, 5},
    {10366, "Загрузка графика пуска тока C", L::LoadStartCurve1, 6},
    {10367, "Загрузка графика пуска напр. AB", L::LoadStartCurve1, 1},
    {10368, "Загрузка графика пуска напр. BC", L::LoadStartCurve1, 2},
    {10369, "Загрузка графика пуска напр. CA", L::LoadStartCurve1, 3},
    {10370, "Загрузка журнала событий", L::Journal1Event, 0},
    {10371, nullptr, L::Trasser, 2},
    {10432, "Загрузка архива пусковых графиков тока фазы А", L::ParsingGraphStartMulty, 4},
    {10433, "Загрузка архива пусковых графиков тока фазы B", L::ParsingGraphStartMulty, 5},
    {10434, "Загрузка архива пусковых графиков тока фазы C", L::ParsingGraphStartMulty, 6},
    {10435, "Загрузка архива пусковых графиков напряжения AB", L::ParsingGraphStartMulty, 1},
    {10436, "Загрузка архива пусковых графиков напряжения BC", L::ParsingGraphStartMulty, 2},
    {10437, "Загрузка архива пусковых графиков напряжения CA", L::ParsingGraphStartMulty, 3},
    {15620, "Загрузка журнала аварий", L::AlarmLog, 0},
    {16300, "Загрузка графика Выходной частоты", L::ParsingGraphicArchive, 11},
    {16301, "Загрузка графика Загрузки ПЭД", L::ParsingGraphicArchive, 9},
    {16302, "Загрузка графика Выходного напряжения", L::ParsingGraphicArchive, 10},
    {16303, "Загрузка графика Вибраций XY", L::ParsingGraphicArchive, 14},
    {16304, "Загрузка графика Вибраций Z", L::ParsingGraphicArchive, 15},
};

TParserRoute FindRoute(std::span<const TParserRoute> routes, int32_t id) {
  for (const TParserRoute& r : routes) {
    if (r.Id == id) return r;
  }
  return TParserRoute{id, nullptr, TLoader::Setups, 0};
}

}  // namespace

TParserRoute RouteVer0(int32_t id) {
  return FindRoute(kRoutesVer0, id);
}

TParserRoute RouteVer1(int32_t id) {
  return FindRoute(kRoutesVer1, id);
}

const char* LoaderName(TLoader loader) {
  switch (loader) {
    case L::Setups:
      return "TSetupCollection.Parsing";
    case L::FieldName:
      return "sFieldName";
    case L::Journal0Event:
      return "TJournal0.ParsingEvent";
    case L::Journal0Stop:
      return "TJournal0.ParsingStop";
    case L::Journal0Work:
      return "TJournal0.ParsingWork";
    case L::Journal1Event:
      return "TJournal1.ParsingEvent";
    case L::Journal1Work:
      return "TJournal1.ParsingWork";
    case L::Trasser:
      return "JrnTrasser";
    case L::AlarmLog:
      return "ParsingAlarmLog";
    case L::Graphic5:
      return "Graphic5";
    case L::GraphHour:
      return "TGraphHour.Parse";
    case L::LoadStartGraph0:
      return "LoadStartGraph0";
    case L::ParsingGraphicArchive:
      return "ParsingGraphicArchive";
    case L::LoadStartTime1:
      return "LoadStartTime1";
    case L::LoadStartCurve1:
      return "LoadStartCurve1";
    case L::ParsingGraphStartMulty:
      return "ParsingGraphStartMulty";
  }
  return "";
}

bool RouteShared(SessionContext& ctx, TDictionaries& dicts, const TParserRoute& route,
                 const TInputData& value) {
  switch (route.Loader) {
    case L::Trasser:
      JrnTrasser(ctx, dicts, route.Kind, value.Data);
      return true;
    case L::FieldName:
      ctx.sFieldName = ConvertToStr(value.Data);
      return true;
    case L::Graphic5:
    case L::GraphHour:
    case L::LoadStartGraph0:
    case L::ParsingGraphicArchive:
    case L::LoadStartTime1:
    case L::LoadStartCurve1:
    case L::ParsingGraphStartMulty:
      NotHandledYet(LoaderName(route.Loader), value);
      return true;
    default:
      if (dicts.Setups) dicts.Setups->Parsing(value.Id, value.ArrayIndex, value.Data);
      return true;
  }
}

bool WalkTable(SessionContext& ctx, const std::string& parserName, bool ascending,
               const std::function<bool(const TInputData&)>& route,
               const std::function<void()>& closing) {
  bool result = true;
  try {
    const int count = ctx.slInputData.Count();
    for (int n = 0; n < count; ++n) {
      ctx.Host.Pump();
      const TInputData* record = ctx.slInputData.Object(ascending ? n : count - 1 - n);
      if (!record) continue;
      result = route(*record);
      if (!result) {
        WriteLog("[" + parserName +
                 ".Parsing] Ошибка при разборе индекса: " + std::to_string(record->Id));
      }
    }
    if (closing) closing();
  } catch (const std::exception& e) {
    WriteLog("[" + parserName + ".Parsing] Exception: " + e.what());
    return false;
  }
  return result;
}

}  // namespace kalmet
