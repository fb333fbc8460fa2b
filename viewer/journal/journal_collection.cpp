#include "journal/journal_collection.h"

#include <algorithm>

#include "session/delphi_text.h"

namespace kalmet {

TEventData* TJournalCollection::GetEvent(int i) const {
  return i >= 0 && i < Count() ? items_[static_cast<size_t>(i)].second.get() : nullptr;
}

const std::string& TJournalCollection::GetKey(int i) const {
  static const std::string kEmpty;
  return i >= 0 && i < Count() ? items_[static_cast<size_t>(i)].first : kEmpty;
}

void TJournalCollection::Add(std::string key, std::unique_ptr<TEventData> event) {
  // Decoders add mostly in key order, so the common case appends.
  auto pos = items_.end();
  if (!items_.empty() && CompareText(items_.back().first, key) > 0) {
    pos = std::upper_bound(
        items_.begin(), items_.end(), key,
        [](const std::string& k, const auto& item) { return CompareText(k, item.first) < 0; });
  }
  items_.emplace(pos, std::move(key), std::move(event));
}

TEventData* TJournalCollection::Find(const std::string& key) const {
  auto it = std::lower_bound(
      items_.begin(), items_.end(), key,
      [](const auto& item, const std::string& k) { return CompareText(item.first, k) < 0; });
  if (it == items_.end() || CompareText(it->first, key) != 0) return nullptr;
  return it->second.get();
}

void TJournalCollection::ResetWork() {
  WorkTime = 0;
  IdleTime = 0;
  StartCount = 0;
}

void TJournalCollection::Clear() {
  while (!items_.empty()) items_.pop_back();
  if (ResetDescriptionCounters) ResetDescriptionCounters();
  ResetWork();
}

}  // namespace kalmet
