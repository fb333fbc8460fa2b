#include "journal/event_data.h"

namespace kalmet {

std::unique_ptr<TExData> TExData::Clone() const {
  return std::make_unique<TExData>(*this);
}

std::string TExData::DisplayText() const {
  return Name + " " + Text + " " + Ed;
}

TEventData::TEventData(float initial) {
  values_.fill(initial);
}

void TEventData::SetValue(int i, float v) {
  if (i >= 1 && i <= kValueCount) values_[static_cast<size_t>(i - 1)] = v;
}

float TEventData::GetValue(int i) const {
  return i >= 1 && i <= kValueCount ? values_[static_cast<size_t>(i - 1)] : 0.0f;
}

std::unique_ptr<TEventData> TEventData::Clone() const {
  try {
    auto copy = std::make_unique<TEventData>();
    copy->Id = Id;
    copy->Key = Key;
    copy->Code = Code;
    copy->DateTime = DateTime;
    copy->GraphPoint = GraphPoint;
    copy->Color = Color;
    copy->Name = Name;
    copy->Stop = Stop;
    copy->values_ = values_;
    if (ExData) {
      copy->ExData = std::make_unique<TOwnedList<TExData>>();
      copy->ExData->Reserve(static_cast<size_t>(ExData->Count()));
      for (int i = 0; i < ExData->Count(); ++i) {
        if (const TExData* ex = ExData->Object(i)) copy->ExData->Add(ExData->Key(i), ex->Clone());
      }
    }
    return copy;
  } catch (...) {
    return nullptr;
  }
}

}  // namespace kalmet
