// The rows of the journal view, built once from the merged list or the journal collection
// and shared by the window's tree, the workbook export, the journal report and the CLI.
// A row refers to a record of the session's lists (which live until the next session is
// opened); nothing is copied, and texts are made when asked for.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "journal/event_data.h"

namespace kalmet {

class SessionContext;

enum class TJournalMode { kAll, kEvents, kStops };
enum class TJournalOrder { kNewestFirst, kOldestFirst };
// The column layout of graph-sample rows.
enum class TJournalLayout { kMeasurement, kProtocol0, kProtocol1, kProtocol2 };

struct TJournalColumn {
  std::string caption;  // shown as is (one blank before the text)
  int width = 50;
};

// The colour of a motor stop's record: pure red.
inline constexpr uint32_t kStopColor = 0x000000FF;

class TJournalRows {
 public:
  // Rebuilds the rows. Events and samples come from slJournal in the "all" mode, events
  // from the journal collection in the other two; only keys within [lower, upper]
  // (trimmed; empty is open) are kept.
  void Build(const SessionContext& ctx, TJournalMode mode, TJournalOrder order,
             std::string_view lower, std::string_view upper);
  void Clear();

  TJournalLayout Layout() const { return layout_; }
  // The visible columns of the layout, column 0 being the time.
  const std::vector<TJournalColumn>& Columns() const { return columns_; }

  int Count() const { return static_cast<int>(rows_.size()); }
  const TEventData* Record(int row) const;
  // A graph sample (values in the columns) rather than a journal event (a name).
  bool IsSample(int row) const;
  // Column 0: "DD.MM.YYYY HH:NN:SS"; an event's column 1: its name; a sample's columns:
  // its values in the layout's formats. Empty for anything else.
  std::string Cell(int row, int column) const;

  // Value rows of an event: its extended values with a name, in list order.
  int ChildCount(int row) const;
  const TExData* Child(int row, int child) const;
  // "Name Text Ed".
  std::string ChildText(int row, int child) const;

  // The first row showing the record with this key and code, or -1.
  int SeekNode(std::string_view key, uint32_t code) const;

  // Layout of a session; the columns of a layout.
  static TJournalLayout LayoutOf(const SessionContext& ctx);
  static std::vector<TJournalColumn> ColumnsOf(TJournalLayout layout);
  // The text of value `column` (1-based) of a sample in a layout.
  static std::string SampleCell(TJournalLayout layout, const TEventData& sample, int column);

 private:
  std::vector<const TEventData*> rows_;
  TJournalLayout layout_ = TJournalLayout::kProtocol1;
  std::vector<TJournalColumn> columns_;
};

// The time text of journal rows: "DD.MM.YYYY HH:NN:SS".
std::string JournalTimeText(double dateTime);

// Steps 9 and 10 of opening a session: sorts slGraph and slTrasser and builds slJournal
// from the journal collection and slGraph, sorted by key.
void BuildJournal(SessionContext& ctx);

}  // namespace kalmet
