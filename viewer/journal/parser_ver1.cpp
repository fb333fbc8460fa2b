#include "journal/parser_ver1.h"

#include "journal/alarm_log.h"
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
    case TLoader::AlarmLog:
      return AlarmLog().ParsingAlarmLog(value.Data, &ctx.Host);
    default:
      return RouteShared(ctx, dicts_, route, value);
  }
}

}  // namespace kalmet
