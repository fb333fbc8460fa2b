// One decoded journal event or graph sample, with its decoded extended values.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "session/keyed_list.h"

namespace kalmet {

struct TExData {
  TExData() = default;
  TExData(std::string name, std::string text, std::array<uint8_t, 4> raw, std::string ed)
      : Name(std::move(name)), Text(std::move(text)), Raw(raw), Ed(std::move(ed)) {}

  std::string Name;
  std::string Text;
  std::array<uint8_t, 4> Raw{};
  std::string Ed;

  std::unique_ptr<TExData> Clone() const;
  // "Name Text Ed", as the views show a value.
  std::string DisplayText() const;
};

class TEventData {
 public:
  static constexpr int kValueCount = 27;

  explicit TEventData(float initial = 0);

  uint32_t Id = 0;
  std::string Key;
  uint32_t Code = 0;
  double DateTime = 0;
  int32_t GraphPoint = 0;
  uint32_t Color = 0;  // 0x00BBGGRR
  std::string Name;
  int32_t Stop = 0;
  // Extended values keyed by "%5.5u" of their number; null when the event has none.
  std::unique_ptr<TOwnedList<TExData>> ExData;

  void SetValue(int i, float v);
  float GetValue(int i) const;
  int ValueCount() const { return kValueCount; }

  std::unique_ptr<TEventData> Clone() const;

 private:
  std::array<float, kValueCount> values_{};
};

}  // namespace kalmet
