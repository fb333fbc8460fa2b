// kalmet-cli journal FILE: the journal rows as the view shows them, or (--json) every
// entry of the merged list.
#include <cstdio>
#include <iostream>

#include "cli_command.h"
#include "cli_session.h"
#include "engine.h"
#include "exit_codes.h"
#include "journal/journal_rows.h"
#include "json_writer.h"
#include "session/date_time.h"
#include "session/delphi_text.h"

namespace kalmet::cli {
namespace {

void Flush(std::string& out, bool force) {
  if (force || out.size() > (1u << 20)) {
    std::fwrite(out.data(), 1, out.size(), stdout);
    out.clear();
  }
}

void PrintRows(const TJournalRows& rows) {
  std::string out;
  const int columns = static_cast<int>(rows.Columns().size());
  for (int r = 0; r < rows.Count(); ++r) {
    out += rows.Cell(r, 0);
    if (rows.IsSample(r)) {
      for (int c = 1; c < columns; ++c) {
        out += '\t';
        out += rows.Cell(r, c);
      }
    } else {
      out += '\t';
      out += rows.Cell(r, 1);
    }
    out += '\n';
    for (int k = 0; k < rows.ChildCount(r); ++k) {
      out += '\t';
      out += rows.ChildText(r, k);
      out += '\n';
    }
    Flush(out, false);
  }
  Flush(out, true);
}

std::string RecordJson(const std::string& key, const TEventData& e) {
  std::string s = "{\"key\":" + JsonString(key) +
                  ",\"time\":" + JsonString(DateTimeKey(e.DateTime)) +
                  ",\"code\":" + std::to_string(e.Code) + ",\"name\":" + JsonString(e.Name) +
                  ",\"stop\":" + std::to_string(e.Stop) + ",\"color\":" + std::to_string(e.Color) +
                  ",\"graph\":" + (e.GraphPoint > 0 ? "1" : "0");
  if (e.ExData && e.ExData->Count() > 0) {
    s += ",\"ex\":[";
    for (int i = 0; i < e.ExData->Count(); ++i) {
      const TExData* ex = e.ExData->Object(i);
      if (!ex) continue;
      const uint32_t raw =
          ex->Raw[0] | ex->Raw[1] << 8 | ex->Raw[2] << 16 | static_cast<uint32_t>(ex->Raw[3]) << 24;
      if (s.back() != '[') s += ',';
      s += "{\"key\":" + JsonString(e.ExData->Key(i)) + ",\"name\":" + JsonString(ex->Name) +
           ",\"text\":" + JsonString(ex->Text) + ",\"ed\":" + JsonString(ex->Ed) +
           ",\"raw\":" + std::to_string(raw) + "}";
    }
    s += "]";
  }
  if (e.GraphPoint > 0) {
    s += ",\"values\":[";
    for (int i = 1; i <= e.ValueCount(); ++i) {
      if (i > 1) s += ',';
      s += JsonNumber(e.GetValue(i));
    }
    s += "]";
  }
  s += "}\n";
  return s;
}

int Run(SessionContext&, const CommandArgs& args) {
  TJournalMode mode = TJournalMode::kAll;
  const std::string modeText = args.Option("mode", "all");
  if (modeText == "events") {
    mode = TJournalMode::kEvents;
  } else if (modeText == "stops") {
    mode = TJournalMode::kStops;
  } else if (modeText != "all") {
    return kExitUsage;
  }
  const std::string order = args.Option("order", "newest");
  if (order != "newest" && order != "oldest") return kExitUsage;

  return WithSession(args, [&](TEngine& engine, const OpenResult&) {
    const SessionContext& ctx = engine.ctx;

    if (args.Has("json")) {
      std::string out;
      for (int i = 0; i < ctx.slJournal.Count(); ++i) {
        if (const TEventData* e = ctx.slJournal.Object(i))
          out += RecordJson(ctx.slJournal.Key(i), *e);
        Flush(out, false);
      }
      Flush(out, true);
      return kExitOk;
    }
    TJournalRows rows;
    rows.Build(ctx, mode,
               order == "oldest" ? TJournalOrder::kOldestFirst : TJournalOrder::kNewestFirst,
               args.Option("from"), args.Option("to"));
    PrintRows(rows);
    return kExitOk;
  });
}

const bool registered = RegisterCommand(
    {"journal",
     "journal FILE [--mode all|events|stops] [--order newest|oldest] [--from KEY] [--to KEY] "
     "[--json]",
     {"mode", "order", "from", "to"},
     Run});

}  // namespace
}  // namespace kalmet::cli
