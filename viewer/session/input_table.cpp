#include "session/input_table.h"

#include <algorithm>

namespace kalmet {
namespace {

// Table order: key text without regard to case, then the newest entry first. Keys are
// decimal numbers (digits and a sign), so a plain byte comparison is the same order.
bool EntryBefore(const std::string& ka, uint64_t sa, const std::string& kb, uint64_t sb) {
  const int c = ka.compare(kb);
  return c != 0 ? c < 0 : sa > sb;
}

}  // namespace

void TInputTable::Add(std::unique_ptr<TInputData> record) {
  if (!record) return;
  std::string key = std::to_string(record->Id);
  const uint64_t seq = next_seq_++;
  if (sorted_ && !entries_.empty() &&
      !EntryBefore(entries_.back().key, entries_.back().seq, key, seq)) {
    sorted_ = false;
  }
  entries_.push_back({std::move(key), seq, std::move(record)});
}

void TInputTable::Settle() const {
  if (sorted_) return;
  std::sort(entries_.begin(), entries_.end(),
            [](const Entry& a, const Entry& b) { return EntryBefore(a.key, a.seq, b.key, b.seq); });
  sorted_ = true;
}

const std::string& TInputTable::Key(int index) const {
  static const std::string kEmpty;
  Settle();
  if (index < 0 || index >= Count()) return kEmpty;
  return entries_[static_cast<size_t>(index)].key;
}

TInputData* TInputTable::Object(int index) const {
  Settle();
  if (index < 0 || index >= Count()) return nullptr;
  return entries_[static_cast<size_t>(index)].record.get();
}

void TInputTable::Delete(int index) {
  Settle();
  if (index < 0 || index >= Count()) return;
  entries_.erase(entries_.begin() + index);
}

int TInputTable::IndexOf(int32_t id) const {
  Settle();
  const std::string key = std::to_string(id);
  auto it =
      std::lower_bound(entries_.begin(), entries_.end(), key,
                       [](const Entry& e, const std::string& k) { return e.key.compare(k) < 0; });
  if (it == entries_.end() || it->key != key) return -1;
  return static_cast<int>(it - entries_.begin());
}

TInputData* TInputTable::Find(int32_t id) const {
  return Object(IndexOf(id));
}

void TInputTable::ClearValues() {
  entries_.clear();
  sorted_ = true;
  next_seq_ = 0;
}

uint16_t TInputTable::GetValueWord(int32_t id) const {
  const TInputData* r = Find(id);
  if (!r) return 0;
  const uint16_t lo = r->Data.size() > 0 ? r->Data[0] : 0;
  const uint16_t hi = r->Data.size() > 1 ? r->Data[1] : 0;
  return static_cast<uint16_t>(lo + 256 * hi);
}

TData TInputTable::GetValueData(int32_t id) const {
  const TInputData* r = Find(id);
  return r ? r->Data : TData{};
}

TDateTime TInputTable::GetValueTime(int32_t id) const {
  const TInputData* r = Find(id);
  return r ? r->Time : 0;
}

}  // namespace kalmet
