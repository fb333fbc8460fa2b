#include "journal/parser_ver2.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "dictionaries/dictionaries.h"
#include "journal/trelbo_binding.h"
#include "session/delphi_text.h"
#include "session/file_log.h"
#include "session/session_context.h"

namespace kalmet {
namespace {

constexpr uint64_t kWrap = uint64_t(1) << 32;
constexpr uint32_t kHalfCircle = 0x80000000u;

uint32_t Low(uint64_t key) {
  return static_cast<uint32_t>(key);
}

}  // namespace

TParserVer2::TParserVer2(TDictionaries& dicts, TTrelbo& trelbo)
    : dicts_(dicts), trelbo_(trelbo), journal2_(dicts) {}

TParserVer2::~TParserVer2() = default;

bool TParserVer2::Parsing(SessionContext& ctx) {
  try {
    Clear();
    if (!GetDescriptor(ctx) || descriptors_.empty()) return true;
    if (!LoadJournal(ctx)) return true;
    if (!UnpackJournal(ctx) || records_.empty()) return true;
    SortRecords();
    if (CorrectLabel() && ParseJournal(ctx)) FillValues(ctx);
  } catch (const std::exception& e) {
    WriteLog(std::string("[TParserVer2.Parsing] Exception: ") + e.what());
  }
  return true;
}

void TParserVer2::Clear() {
  descriptors_.clear();
  blocks_.clear();
  unpacked_.clear();
  wrap_.clear();
}

void TParserVer2::AddDescriptor(std::string key, int32_t variable) {
  // Sorted by key; an equal key goes after the ones already there.
  auto pos = std::upper_bound(
      descriptors_.begin(), descriptors_.end(), key,
      [](const std::string& k, const auto& item) { return CompareText(k, item.first) < 0; });
  descriptors_.emplace(pos, std::move(key), variable);
}

bool TParserVer2::GetDescriptor(SessionContext& ctx) {
  try {
    TInputTable& table = ctx.slInputData;
    int i = table.IndexOf(kDescriptorId);
    if (i < 0) return false;
    for (TInputData* element = table.Object(i); element && element->Id == kDescriptorId;
         element = table.Object(i)) {
      ctx.Host.Pump();
      if (element->Data.empty()) {
        ++i;
        continue;
      }
      uint32_t v = 0;
      for (size_t b = 0; b < 4 && b < element->Data.size(); ++b) {
        v |= uint32_t(element->Data[b]) << (8 * b);
      }
      if (v != 0) {
        AddDescriptor(Format("%5.5u", static_cast<unsigned>(element->ArrayIndex)), int32_t(v));
      }
      table.Delete(i);
    }
    return true;
  } catch (const std::exception& e) {
    WriteLog(std::string("[TParserVer2.GetDescriptor] Exception: ") + e.what());
    return false;
  }
}

bool TParserVer2::LoadJournal(SessionContext& ctx) {
  static const std::string kPrefix = "[TParserVer2.LoadJournal] ";
  try {
    blocks_.assign(descriptors_.size(), TData());
    for (size_t k = 0; k < descriptors_.size(); ++k) {
      ctx.Host.Pump();
      const int32_t v = descriptors_[k].second;
      const int i = ctx.slInputData.IndexOf(v);
      if (i < 0) {
        WriteLog(kPrefix + "Не найдены данные для индекса " + std::to_string(v));
        continue;
      }
      TInputData* piece = ctx.slInputData.Object(i);
      if (piece->Data.empty()) {
        WriteLog(kPrefix + "Ошибка при загрузке индекса " + std::to_string(v));
        return false;
      }
      // The whole piece is kept; UnpackJournal hands it to the library in blocks it takes.
      blocks_[k] = std::move(piece->Data);
      ctx.slInputData.Delete(i);
    }
    return true;
  } catch (const std::exception& e) {
    WriteLog(kPrefix + "Exception: " + e.what());
    return false;
  }
}

bool TParserVer2::UnpackJournal(SessionContext& ctx) {
  static const std::string kPrefix = "[TParserVer2.UnpackJournal] ";
  records_.clear();
  unpacked_.clear();
  try {
    // The image is the pieces joined in order. The library takes at most 255 blocks of
    // at most 65535 bytes, so longer pieces are cut into several blocks, and when that
    // makes too many the joined image is cut into blocks of the largest size.
    std::vector<uint8_t*> pointers;
    std::vector<uint16_t> lengths;
    auto cut = [&](TData& bytes) {
      size_t at = 0;
      do {
        const size_t n = std::min(kMaxBlockLength, bytes.size() - at);
        pointers.push_back(n ? bytes.data() + at : nullptr);
        lengths.push_back(static_cast<uint16_t>(n));
        at += n;
      } while (at < bytes.size());
    };
    for (TData& block : blocks_) cut(block);
    TData joined;
    if (pointers.size() > kMaxBlocks) {
      for (const TData& block : blocks_) joined.insert(joined.end(), block.begin(), block.end());
      pointers.clear();
      lengths.clear();
      cut(joined);
      if (pointers.size() > kMaxBlocks) {
        WriteLog(kPrefix + "Образ журнала длиннее " + std::to_string(kMaxBlocks * kMaxBlockLength) +
                 " байт, остаток не разобран");
        pointers.resize(kMaxBlocks);
        lengths.resize(kMaxBlocks);
      }
    }

    int16_t error = 0;
    if (trelbo_.JournalCreate(pointers.data(), lengths.data(), uint32_t(pointers.size()), &error) !=
        0) {
      return false;
    }
    if (trelbo_.JournalOpen(nullptr) != 0) return false;

    std::vector<uint8_t> buffer(TTrelbo::kMaxRecordLength);
    uint32_t label[2] = {0, 0};
    uint16_t code = 0;
    uint16_t length = TTrelbo::kMaxRecordLength;
    int32_t result = trelbo_.JournalReadFirst(label, &code, buffer.data(), &length);
    while (result == 0) {
      auto record = std::make_unique<TJournalData>();
      record->Label[0] = label[0];
      record->Label[1] = label[1];
      record->Code = code;
      record->Len = length;
      record->Data.assign(buffer.begin(), buffer.begin() + length);
      unpacked_.push_back({{label[0], label[1]}, record.get()});
      records_.push_back({label[0], std::move(record)});
      ctx.Host.Pump();
      length = TTrelbo::kMaxRecordLength;
      result = trelbo_.JournalReadNext(label, &code, buffer.data(), &length);
    }
    trelbo_.JournalClose();
    // A length left as it was means a record the buffer could not take: the records read
    // so far are decoded as a partial journal.
    if (length != 0) WriteLog(kPrefix + "Error = " + std::to_string(result));
    return true;
  } catch (const std::exception& e) {
    trelbo_.JournalClose();
    WriteLog(kPrefix + "Exception: " + e.what());
    return false;
  }
}

void TParserVer2::SortRecords() {
  std::stable_sort(records_.begin(), records_.end(),
                   [](const TRecord& a, const TRecord& b) { return a.key < b.key; });
}

bool TParserVer2::CorrectLabel() {
  try {
    if (records_.empty()) return true;
    const uint32_t first = Low(records_.front().key);
    const uint32_t last = Low(records_.back().key);
    if (uint32_t(last - first) < kHalfCircle) return true;
    size_t gap = records_.size();
    for (size_t i = 0; i + 1 < records_.size(); ++i) {
      if (uint32_t(Low(records_[i + 1].key) - Low(records_[i].key)) > kHalfCircle) {
        gap = i;
        break;
      }
    }
    if (gap == records_.size()) return true;

    wrap_.assign(records_.size(), TWrapRow{});
    auto fill = [&](int column) {
      for (size_t i = 0; i < records_.size(); ++i) {
        wrap_[i].key[column] = records_[i].key;
        wrap_[i].label[column] = records_[i].data->Label[0];
      }
    };
    fill(0);
    // The records before the gap are the newer ones: they come after the others.
    for (size_t i = 0; i <= gap; ++i) records_[i].key = Low(records_[i].key) + kWrap;
    SortRecords();
    fill(1);
    uint32_t previous = records_.front().data->Label[0];
    records_.front().data->Label[0] = 0;
    for (size_t i = 1; i < records_.size(); ++i) {
      uint32_t& label = records_[i].data->Label[0];
      const uint32_t own = label;
      label = records_[i - 1].data->Label[0] + (own - previous);
      previous = own;
    }
    fill(2);
    return true;
  } catch (const std::exception& e) {
    WriteLog(std::string("[TParserVer2.CorrectLabel] Exception: ") + e.what());
    return false;
  }
}

bool TParserVer2::ParseJournal(SessionContext& ctx) {
  try {
    TGraphIndex index(ctx.slGraph);
    const TKsuVocGroups* groups = dicts_.KsuVocGroups.get();
    for (const TRecord& r : records_) {
      const TJournalData& d = *r.data;
      const TJournal2::TBytes data(d.Data.data(), d.Data.size());
      if (groups && groups->InGroup7(d.Code)) {
        journal2_.ParsingGraph(ctx, d.Label[0], d.Label[1], d.Code, data, &index);
      } else {
        journal2_.ParsingEvent(ctx, d.Label[0], d.Label[1], d.Code, data);
      }
    }
    return true;
  } catch (const std::exception& e) {
    WriteLog(std::string("[TParserVer2.ParseJournal] Exception: ") + e.what());
    return false;
  }
}

bool TParserVer2::FillValues(SessionContext& ctx) {
  try {
    const int n = ctx.slGraph.Count();
    if (n == 0 || ctx.iDebug != 0) return true;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    std::vector<TEventData*> events(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) events[size_t(i)] = ctx.slGraph.Object(i);
    // For each position, the next position (from there on) with a finite value, or the
    // last position when none follows.
    std::vector<int> next(static_cast<size_t>(n));
    for (int c = 1; c <= TEventData::kValueCount; ++c) {
      int following = -1;
      for (int i = n - 1; i >= 0; --i) {
        if (std::isfinite(events[size_t(i)]->GetValue(c))) following = i;
        next[size_t(i)] = following < 0 ? n - 1 : following;
      }
      TEventData* prev = events[size_t(following < 0 ? 0 : following)];
      if (std::isinf(prev->GetValue(c))) prev->SetValue(c, nan);
      for (int i = 0; i < n; ++i) {
        TEventData* e = events[size_t(i)];
        const float v = e->GetValue(c);
        if (std::isfinite(v)) {
          prev = e;
          continue;
        }
        if (!std::isinf(v)) continue;  // a value marked invalid stays as it is
        const TEventData* later = events[size_t(next[size_t(i)])];
        const float before = prev->GetValue(c);
        const float after = later->GetValue(c);
        if (!std::isnan(before) && !std::isnan(after)) {
          if (std::isinf(after)) {
            // No finite value follows: hold the last one.
            e->SetValue(c, before);
            continue;
          }
          e->SetValue(c, later->DateTime != prev->DateTime ? before : after);
        } else {
          e->SetValue(c, nan);
        }
        prev = e;
      }
    }
    return true;
  } catch (const std::exception& e) {
    WriteLog(std::string("[TParserVer2.FillValues] Exception: ") + e.what());
    return false;
  }
}

std::string TParserVer2::RecordKeyAt(int i) const {
  return i >= 0 && i < RecordCount() ? RecordKey(records_[size_t(i)].key) : std::string();
}

const TJournalData* TParserVer2::Record(int i) const {
  return i >= 0 && i < RecordCount() ? records_[size_t(i)].data.get() : nullptr;
}

std::array<std::string, 6> TParserVer2::UnpackedRow(int i) const {
  if (i < 0 || i >= UnpackedCount()) return {};
  const TUnpacked& u = unpacked_[size_t(i)];
  std::string bytes;
  bytes.reserve(u.record->Data.size() * 3);
  for (uint8_t b : u.record->Data) bytes += Format("%2.2X ", b);
  return {Format("%8.8u", static_cast<unsigned>(i + 1)),
          Format("0x%15.15X", u.label[0]),
          FormatDateTime("yyyy.mm.dd hh:nn:ss", TJournal2::RecordTime(u.label[1])),
          Format("0x%5.5X", static_cast<unsigned>(u.record->Code)),
          Format("0x%3.3X", static_cast<unsigned>(u.record->Len)),
          bytes};
}

std::array<std::string, 6> TParserVer2::WrapRow(int i) const {
  if (i < 0 || i >= WrapCount()) return {};
  const TWrapRow& w = wrap_[size_t(i)];
  std::array<std::string, 6> row;
  for (int k = 0; k < 3; ++k) {
    row[size_t(2 * k)] = RecordKey(w.key[k]);
    row[size_t(2 * k + 1)] = std::to_string(w.label[k]);
  }
  return row;
}

}  // namespace kalmet
