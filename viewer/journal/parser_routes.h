// The routing tables of the protocol parsers for versions 0 and 1: which loader each
// variable number goes to, with its status text and argument, and the walk they share.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace kalmet {

class SessionContext;
struct TDictionaries;
struct TInputData;

enum class TLoader {
  Setups,  // the setup collection (every number no row names)
  FieldName,
  Journal0Event,
  Journal0Stop,
  Journal0Work,
  Journal1Event,
  Journal1Work,  // Kind: the counter (0 work time, 1 idle time, 2 start count)
  Trasser,       // Kind: the code width
  AlarmLog,
  // The graph loaders, which are not built yet.
  Graphic5,               // Kind: 1 U, 2 I, 3 Cos, 4 T, 5 P
  GraphHour,              // Kind: 0 the temperature store, 1 the pressure store
  LoadStartGraph0,        // Kind: the phase
  ParsingGraphicArchive,  // Kind: the archive graph
  LoadStartTime1,
  LoadStartCurve1,         // Kind: the phase
  ParsingGraphStartMulty,  // Kind: the phase
};

struct TParserRoute {
  int32_t Id = 0;
  const char* Status = nullptr;  // null: the status panel is left alone
  TLoader Loader = TLoader::Setups;
  int Kind = 0;
};

// The row for a variable number; numbers without a row go to the setup collection.
TParserRoute RouteVer0(int32_t id);
TParserRoute RouteVer1(int32_t id);

// The loader's name as the routes and the log know it.
const char* LoaderName(TLoader loader);

// The rows both parsers treat alike: the trace journal and the field name (results not
// taken), the graph loaders not built yet, and the setup collection for the rest. True
// unless a loader whose result is taken failed.
bool RouteShared(SessionContext& ctx, TDictionaries& dicts, const TParserRoute& route,
                 const TInputData& value);

// The common walk of both parsers over ctx.slInputData: ascending (version 0) or
// descending (version 1) table positions, empty slots skipped, messages pumped before
// each record. route shows the status, calls the loader and gives its result (true for
// loaders whose result is not taken); a false result logs parserName's failure text
// with the Id. closing runs after a complete walk. An exception ends the walk with
// "[<parserName>.Parsing] Exception: " and skips closing. The result is false when the
// last result taken was a failure or the walk raised.
bool WalkTable(SessionContext& ctx, const std::string& parserName, bool ascending,
               const std::function<bool(const TInputData&)>& route,
               const std::function<void()>& closing);

}  // namespace kalmet
