#include "journal/parser_ver1.h"

#include "dictionaries/dictionaries.h"
#include "journal/alarm_log.h"
#include "journal/jrn_trasser.h"
#include "journal/not_handled_yet.h"
#include "journal/parser_routes.h"
#include "session/session_context.h"

namespace kalmet {

bool TParserVer1::Parsing(SessionContext& ctx) {
  return WalkTable(
      ctx, "TParserVer1", false, [&](const TInputData& value) { return Route(ctx, value); },
      [] { NotHandledYet("CountStartGraphs", TInputData{}); });
}

bool TParserVer1::Route(SessionContext& ctx, const TInputData& value) {
  const TParserRoute route = RouteVer1(value.Id);
  if (route.Status) ctx.Host.Status(route.Status);
  switch (route.Loader) {
    case TLoader::Journal1Event:
      return journal_.ParsingEvent(ctx, value.Data);
    case TLoader::Journal1Work:
      return journal_.ParsingWork(ctx, route.Kind, value.Data);
    case TLoader::Trasser:
      JrnTrasser(ctx, dicts_, route.Kind, value.Data);
      return true;
    case TLoader::FieldName:
      ctx.sFieldName = ConvertToStr(value.Data);
      return true;
    case TLoader::AlarmLog:
      return AlarmLog().ParsingAlarmLog(value.Data, &ctx.Host);
    case TLoader::ParsingGraphicArchive:
    case TLoader::LoadStartTime1:
    case TLoader::LoadStartCurve1:
    case TLoader::ParsingGraphStartMulty:
      NotHandledYet(LoaderName(route.Loader), value);
      return true;
    default:
      if (dicts_.Setups) dicts_.Setups->Parsing(value.Id, value.ArrayIndex, value.Data);
      return true;
  }
}

}  // namespace kalmet
