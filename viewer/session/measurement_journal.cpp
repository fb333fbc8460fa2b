#include "session/measurement_journal.h"

#include <quorvo.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "session/conversions.h"
#include "session/session_error.h"

namespace kalmet {
namespace {

static_assert(kMeasurementSliceSize == QUORVO_SLICE_SIZE);

// TDateTime of 1970-01-01 00:00:00.
constexpr double kUnixEpoch = 25569.0;

enum class Field { kU8, kU16, kF32 };

struct SliceValue {
  int number;  // value number 1-27
  size_t offset;
  Field type;
  int flagBit;  // -1: always present
};

constexpr SliceValue kValues[] = {
    {1, 8, Field::kU16, -1},   {2, 10, Field::kU16, -1},  {3, 12, Field::kU16, -1},
    {4, 14, Field::kU8, -1},   {5, 16, Field::kU16, -1},  {6, 20, Field::kF32, -1},
    {7, 24, Field::kU16, -1},  {8, 26, Field::kU16, -1},  {9, 28, Field::kU16, -1},
    {10, 30, Field::kU8, -1},  {11, 32, Field::kF32, -1}, {12, 36, Field::kF32, -1},
    {13, 40, Field::kF32, -1}, {14, 44, Field::kU8, -1},  {15, 48, Field::kF32, -1},
    {16, 52, Field::kF32, -1}, {17, 56, Field::kF32, -1}, {18, 60, Field::kU8, -1},
    {19, 64, Field::kF32, -1}, {21, 70, Field::kU16, 2},  {22, 72, Field::kF32, 3},
    {23, 76, Field::kU8, 4},   {24, 80, Field::kF32, 5},  {25, 84, Field::kU8, 6},
    {26, 88, Field::kF32, 7},  {27, 92, Field::kF32, 8},
};
constexpr size_t kFlagsOffset = 68;

uint32_t U32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

uint16_t U16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | p[1] << 8);
}

float FieldValue(const uint8_t* p, Field type) {
  switch (type) {
    case Field::kU8:
      return p[0];
    case Field::kU16:
      return U16(p);
    case Field::kF32: {
      const uint32_t bits = U32(p);
      float f;
      std::memcpy(&f, &bits, sizeof f);
      return f;
    }
  }
  return 0;
}

}  // namespace

std::unique_ptr<TEventData> MeasurementEvent(
    std::span<const uint8_t, kMeasurementSliceSize> slice) {
  const uint8_t* s = slice.data();
  auto event = std::make_unique<TEventData>();
  const uint32_t number = U32(s);
  event->Id = number;
  event->Key = RecordKey(number);
  event->DateTime = kUnixEpoch + U32(s + 4) / 86400.0;
  event->GraphPoint = 1;
  const uint16_t flags = U16(s + kFlagsOffset);
  for (const SliceValue& v : kValues) {
    const bool present = v.flagBit < 0 || (flags >> v.flagBit & 1) != 0;
    event->SetValue(v.number, present ? FieldValue(s + v.offset, v.type)
                                      : std::numeric_limits<float>::quiet_NaN());
  }
  const int rotation = flags & 3;
  event->SetValue(20, rotation == 3 ? -1.0f : static_cast<float>(rotation));
  return event;
}

int ReadMeasurementJournal(const std::string& fileName, TOwnedList<TEventData>& target) {
  if (QV_Create(fileName.c_str()) != QV_OK) throw TSessionError("Ошибка открытия библиотеки");
  struct CloseGuard {
    ~CloseGuard() { QV_Close(); }
  } guard;
  int count = 0;
  uint8_t slice[kMeasurementSliceSize];
  while (QV_ReadNextSlice(slice) == QV_OK) {
    auto event = MeasurementEvent(std::span<const uint8_t, kMeasurementSliceSize>(slice));
    std::string key = event->Key;
    target.Add(std::move(key), std::move(event));
    ++count;
  }
  return count;
}

}  // namespace kalmet
