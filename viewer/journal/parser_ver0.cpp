#include "journal/parser_ver0.h"

#include "dictionaries/dictionaries.h"
#include "journal/jrn_trasser.h"
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
    case TLoader::Trasser:
      JrnTrasser(ctx, dicts_, route.Kind, value.Data);
      return true;
    case TLoader::FieldName:
      ctx.sFieldName = ConvertToStr(value.Data);
      return true;
    case TLoader::LoadStartGraph0:
    case TLoader::Graphic5:
    case TLoader::GraphHour:
      NotHandledYet(LoaderName(route.Loader), value);
      return true;
    default:
      if (dicts_.Setups) dicts_.Setups->Parsing(value.Id, value.ArrayIndex, value.Data);
      return true;
  }
}

}  // namespace kalmet
