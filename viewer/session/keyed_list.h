// String lists keyed by text: an owning list (each entry owns its object) and a
// referring list (objects owned elsewhere). Sorting is by key without regard to case.
#pragma once

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "session/delphi_text.h"

namespace kalmet {

template <typename T, typename Holder>
class TKeyedListBase {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  bool Empty() const { return items_.empty(); }
  const std::string& Key(int i) const {
    static const std::string kEmpty;
    return InRange(i) ? items_[static_cast<size_t>(i)].first : kEmpty;
  }
  T* Object(int i) const {
    return InRange(i) ? Ptr(items_[static_cast<size_t>(i)].second) : nullptr;
  }

  // Ascending by key without regard to case; equal keys keep their order.
  void Sort() {
    std::stable_sort(items_.begin(), items_.end(), [](const auto& a, const auto& b) {
      return CompareText(a.first, b.first) < 0;
    });
  }

  // Position of the first entry with exactly this key (case-insensitive), or -1.
  int IndexOf(const std::string& key) const {
    for (size_t i = 0; i < items_.size(); ++i) {
      if (SameText(items_[i].first, key)) return static_cast<int>(i);
    }
    return -1;
  }

 protected:
  bool InRange(int i) const { return i >= 0 && static_cast<size_t>(i) < items_.size(); }
  static T* Ptr(const std::unique_ptr<T>& p) { return p.get(); }
  static T* Ptr(T* p) { return p; }
  std::vector<std::pair<std::string, Holder>> items_;
};

template <typename T>
class TOwnedList : public TKeyedListBase<T, std::unique_ptr<T>> {
 public:
  void Add(std::string key, std::unique_ptr<T> object) {
    this->items_.emplace_back(std::move(key), std::move(object));
  }
  void Reserve(size_t n) { this->items_.reserve(n); }
  // Frees the objects from the last to the first and empties the list.
  void Clear() {
    while (!this->items_.empty()) this->items_.pop_back();
  }
};

template <typename T>
class TRefList : public TKeyedListBase<T, T*> {
 public:
  void Add(std::string key, T* object) { this->items_.emplace_back(std::move(key), object); }
  void Reserve(size_t n) { this->items_.reserve(n); }
  void Clear() { this->items_.clear(); }
};

}  // namespace kalmet
