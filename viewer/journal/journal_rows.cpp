#include "journal/journal_rows.h"

#include <cmath>

#include "dictionaries/format_mask.h"
#include "session/date_time.h"
#include "session/delphi_text.h"
#include "session/file_log.h"
#include "session/session_context.h"

namespace kalmet {
namespace {

const char* const kMeasurementCaptions[] = {
    "Время",       "Uab,В",    "Ubc,В",   "Uca,В",       "Дисб.Uвх,%", "Udc,В",    "Idc,A",
    "Uuv,В",       "Uvw,В",    "Uwu,В",   "Дисб.Uвых,%", "Iu,А",       "Iv,А",     "Iw,А",
    "Дисб.Iвых,%", "Pa,кВт",   "Ps,кВА",  "Cos",         "Загр.ПЭД,%", "F,Гц",     "Вращ",
    "Rиз,кОм",     "Pпэд,атм", "Tпэд,°C", "Pжид,атм",    "Tжид,°C",    "Виб.XY,g", "Виб.Z,g"};
const char* const kProtocol0Captions[] = {"Время",      "Uab(max), В", "Uab(ср.), В", "Uab(min), В",
                                          "Ia(max), А", "Ia(ср.), А",  "Ia(min), А",  "Cos(max), ",
                                          "Cos(ср.), ", "Cos(min), ",  "Tдвиг, °C",   "Pдвиг, МПа"};
const char* const kProtocol1Captions[] = {
    "Время",   "Uab,В",  "Ubc,В",  "Uca,В",   "Ia, А",  "Ib, А",   "Ic, А",   "Cos,",
    "Rиз,Мом", "Загр,%", "Uвых,В", "Fвых,Гц", "Tдв,°C", "Pдв,МПа", "ВибXY,g", "ВибZ,g"};
const char* const kProtocol2Captions[] = {
    "Время",   "Uab,В",  "Ubc,В",  "Uca,В",   "Ia,А",   "Ib,А",    "Ic,А",    "Cos,",
    "Rиз,Мом", "Загр,%", "Uвых,В", "Fвых,Гц", "Tдв,°C", "Pдв,МПа", "ВибXY,g", "ВибZ,g"};

// Value formats by column, index 0 unused.
const char* const kProtocol0Formats[] = {"",      "%8.0f", "%8.0f", "%8.0f", "%8.1f", "%8.1f",
                                         "%8.1f", "%8.2f", "%8.2f", "%8.2f", "%8.1f", "%8.1f"};
const char* const kProtocol1Formats[] = {"",      "%8.0f", "%8.0f", "%8.0f", "%8.1f", "%8.1f",
                                         "%8.1f", "%8.2f", "%8.2f", "%8.1f", "%8.0f", "%8.2f",
                                         "%8.1f", "%8.1f", "%8.2f", "%8.2f"};
const char* const kMeasurementFormats[] = {
    "",      "%4.0f", "%4.0f", "%4.0f", "%4.0f", "%4.0f", "%5.1f", "%4.0f", "%4.0f", "%4.0f",
    "%4.0f", "%5.1f", "%5.1f", "%5.1f", "%4.0f", "%5.1f", "%5.1f", "%3.2f", "%4.1f", "%5.1f",
    "",      "%4.0f", "%5.2f", "%4.0f", "%5.2f", "%4.0f", "%3.2f", "%3.2f"};
constexpr int kRotationColumn = 20;

template <size_t N>
std::vector<TJournalColumn> MakeColumns(const char* const (&captions)[N], int valueWidth) {
  std::vector<TJournalColumn> out;
  out.reserve(N);
  for (size_t i = 0; i < N; ++i) {
    out.push_back({" " + std::string(Trim(captions[i])), i == 0 ? 150 : valueWidth});
  }
  return out;
}

bool IsEvent(const TEventData& r) {
  return r.GraphPoint <= 0;
}

}  // namespace

std::string JournalTimeText(double dateTime) {
  return FormatDateTime("DD.MM.YYYY HH:NN:SS", dateTime);
}

TJournalLayout TJournalRows::LayoutOf(const SessionContext& ctx) {
  if (ctx.bZ5K) return TJournalLayout::kMeasurement;
  switch (ctx.iProtocol) {
    case 0:
      return TJournalLayout::kProtocol0;
    case 2:
      return TJournalLayout::kProtocol2;
    default:
      return TJournalLayout::kProtocol1;
  }
}

std::vector<TJournalColumn> TJournalRows::ColumnsOf(TJournalLayout layout) {
  switch (layout) {
    case TJournalLayout::kMeasurement:
      return MakeColumns(kMeasurementCaptions, 55);
    case TJournalLayout::kProtocol0:
      return MakeColumns(kProtocol0Captions, 50);
    case TJournalLayout::kProtocol1:
      return MakeColumns(kProtocol1Captions, 50);
    case TJournalLayout::kProtocol2:
      return MakeColumns(kProtocol2Captions, 50);
  }
  return {};
}

std::string TJournalRows::SampleCell(TJournalLayout layout, const TEventData& sample, int column) {
  const char* format = nullptr;
  const char* missing = " -";
  switch (layout) {
    case TJournalLayout::kMeasurement:
      if (column < 1 || column > 27) return {};
      format = kMeasurementFormats[column];
      missing = "-";
      break;
    case TJournalLayout::kProtocol0:
      if (column < 1 || column > 11) return {};
      format = kProtocol0Formats[column];
      missing = "-";
      break;
    case TJournalLayout::kProtocol1:
    case TJournalLayout::kProtocol2:
      if (column < 1 || column > 15) return {};
      format = kProtocol1Formats[column];
      break;
  }
  const float v = sample.GetValue(column);
  if (std::isnan(v)) return missing;
  if (layout == TJournalLayout::kMeasurement && column == kRotationColumn) {
    if (v == -1) return "Обратное";
    if (v == 0) return "Останов";
    if (v == 1) return "Прямое";
    return {};
  }
  try {
    return FormatMask(format, {static_cast<double>(v)});
  } catch (const std::exception&) {
    return missing;
  }
}

void TJournalRows::Clear() {
  rows_.clear();
}

void TJournalRows::Build(const SessionContext& ctx, TJournalMode mode, TJournalOrder order,
                         std::string_view lower, std::string_view upper) {
  rows_.clear();
  layout_ = LayoutOf(ctx);
  columns_ = ColumnsOf(layout_);
  lower = Trim(lower);
  upper = Trim(upper);
  const bool oldestFirst = order == TJournalOrder::kOldestFirst;
  const char* where = nullptr;
  try {
    if (mode == TJournalMode::kAll) {
      where = oldestFirst ? "FillAllInvert" : "FillAll";
      const int n = ctx.slJournal.Count();
      rows_.reserve(static_cast<size_t>(n));
      for (int k = 0; k < n; ++k) {
        const int i = oldestFirst ? k : n - 1 - k;
        const TEventData* r = ctx.slJournal.Object(i);
        if (r && KeyInRange(ctx.slJournal.Key(i), lower, upper)) rows_.push_back(r);
      }
    } else {
      const bool stops = mode == TJournalMode::kStops;
      where = stops ? (oldestFirst ? "FillStopInvert" : "FillStop")
                    : (oldestFirst ? "FillEventsInvert" : "FillEvents");
      const int n = ctx.Journal.Count();
      rows_.reserve(static_cast<size_t>(n));
      for (int k = 0; k < n; ++k) {
        const int i = oldestFirst ? k : n - 1 - k;
        const TEventData* r = ctx.Journal.GetEvent(i);
        if (!r || !KeyInRange(ctx.Journal.GetKey(i), lower, upper)) continue;
        if (stops && r->Color != kStopColor) continue;
        rows_.push_back(r);
      }
    }
  } catch (const std::exception& e) {
    WriteLog(std::string("[TFrameJournal.") + where + "] Exception: " + e.what());
  }
}

const TEventData* TJournalRows::Record(int row) const {
  return row >= 0 && row < Count() ? rows_[static_cast<size_t>(row)] : nullptr;
}

bool TJournalRows::IsSample(int row) const {
  const TEventData* r = Record(row);
  return r && !IsEvent(*r);
}

std::string TJournalRows::Cell(int row, int column) const {
  const TEventData* r = Record(row);
  if (!r) return {};
  if (column == 0) return JournalTimeText(r->DateTime);
  if (IsEvent(*r)) return column == 1 ? r->Name : std::string();
  return SampleCell(layout_, *r, column);
}

int TJournalRows::ChildCount(int row) const {
  const TEventData* r = Record(row);
  if (!r || !IsEvent(*r) || !r->ExData) return 0;
  int n = 0;
  for (int i = 0; i < r->ExData->Count(); ++i) {
    const TExData* ex = r->ExData->Object(i);
    n += ex && !ex->Name.empty();
  }
  return n;
}

const TExData* TJournalRows::Child(int row, int child) const {
  const TEventData* r = Record(row);
  if (!r || !IsEvent(*r) || !r->ExData || child < 0) return nullptr;
  for (int i = 0; i < r->ExData->Count(); ++i) {
    const TExData* ex = r->ExData->Object(i);
    if (ex && !ex->Name.empty() && child-- == 0) return ex;
  }
  return nullptr;
}

std::string TJournalRows::ChildText(int row, int child) const {
  const TExData* ex = Child(row, child);
  return ex ? ex->DisplayText() : std::string();
}

int TJournalRows::SeekNode(std::string_view key, uint32_t code) const {
  for (size_t i = 0; i < rows_.size(); ++i) {
    if (rows_[i]->Key == key && rows_[i]->Code == code) return static_cast<int>(i);
  }
  return -1;
}

void BuildJournal(SessionContext& ctx) {
  ctx.slGraph.Sort();
  ctx.slTrasser.Sort();
  ctx.slJournal.Clear();
  ctx.slJournal.Reserve(static_cast<size_t>(ctx.Journal.Count() + ctx.slGraph.Count()));
  for (int i = 0; i < ctx.Journal.Count(); ++i) {
    ctx.slJournal.Add(ctx.Journal.GetKey(i), ctx.Journal.GetEvent(i));
  }
  for (int i = 0; i < ctx.slGraph.Count(); ++i) {
    ctx.slJournal.Add(ctx.slGraph.Key(i), ctx.slGraph.Object(i));
  }
  ctx.slJournal.Sort();
}

}  // namespace kalmet
