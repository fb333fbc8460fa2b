#include "journal/parser_ver0.h"

#include "journal/not_handled_yet.h"
#include "journal/parser_routes.h"
#include "session/session_context.h"

namespace kalmet {

bool TParserVer0::Parsing(SessionContext& ctx) {
  // The stops of an earlier session must not name this session's events.
  journal_.ClearStops();
  return WalkTable(
      ctx, "TParserVer0", true, [&](const TInputData& value) { return Route(ctx, value); },
      [&] {
        journal_.DecodeErrorMsg(ctx);
        NotHandledYet("CountStartGraphs", TInputData{});
      });
}

bool TParserVer0::Route(SessionContext& ctx, const TInputData& value) {
  const TParserRoute route = RouteVer0(value.Id);
  if (route.Status) ctx.Host.Status(route.Status);
  switch (route.Loader) {
    case TLoader::Journal0Event:
      return journal_.ParsingEvent(ctx, value.Data);
    case TLoader::Journal0Stop:
      return journal_.ParsingStop(ctx, value.Data);
    case TLoader::Journal0Work:
      return journal_.ParsingWork(ctx, 0, value.Data);
    default:
      return RouteShared(ctx, dicts_, route, value);
  }
}

}  // namespace kalmet
