// A dictionary's entries keyed by text (compared without regard to case), in key order,
// with lookup by key and access by position.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "session/delphi_text.h"

namespace kalmet {

template <typename T>
class TKeyedIndex {
 public:
  bool Contains(std::string_view key) const { return map_.find(key) != map_.end(); }
  T* Find(std::string_view key) const {
    auto it = map_.find(key);
    return it == map_.end() ? nullptr : it->second.get();
  }
  // Adds the entry unless the key is present; returns the stored entry or null.
  T* Add(std::string key, std::unique_ptr<T> item) {
    auto [it, inserted] = map_.emplace(std::move(key), std::move(item));
    if (!inserted) return nullptr;
    order_.clear();
    return it->second.get();
  }
  int Count() const { return static_cast<int>(map_.size()); }
  // Position access in key order; null outside 0..Count()-1.
  T* At(int i) const {
    Order();
    return i >= 0 && static_cast<size_t>(i) < order_.size() ? order_[static_cast<size_t>(i)].second
                                                            : nullptr;
  }
  const std::string& KeyAt(int i) const {
    static const std::string kEmpty;
    Order();
    return i >= 0 && static_cast<size_t>(i) < order_.size() ? *order_[static_cast<size_t>(i)].first
                                                            : kEmpty;
  }
  void Clear() {
    order_.clear();
    map_.clear();
  }
  template <typename F>
  void ForEach(F f) const {
    for (const auto& [key, item] : map_) f(*item);
  }

 private:
  struct Less {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const { return CompareText(a, b) < 0; }
  };
  void Order() const {
    if (order_.size() == map_.size()) return;
    order_.clear();
    order_.reserve(map_.size());
    for (const auto& [key, item] : map_) order_.emplace_back(&key, item.get());
  }

  std::map<std::string, std::unique_ptr<T>, Less> map_;
  mutable std::vector<std::pair<const std::string*, T*>> order_;
};

}  // namespace kalmet
