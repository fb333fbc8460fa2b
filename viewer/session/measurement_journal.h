// The measurement journal of a ".Z5K" session, read through the Quorvo library:
// one event per 96-byte slice of 27 drive and telemetry values.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "journal/event_data.h"
#include "session/keyed_list.h"

namespace kalmet {

inline constexpr size_t kMeasurementSliceSize = 96;

// The event of one slice: key "$" + 15 hexadecimal digits of the slice number, time from
// 1970-01-01, GraphPoint 1, values 1-27 (value 20 from flag bits 0-1, 3 giving -1;
// values 21-27 NaN when their flag bit 2-8 is clear).
std::unique_ptr<TEventData> MeasurementEvent(std::span<const uint8_t, kMeasurementSliceSize> slice);

// Appends one event per slice of the file's measurement journal to target, under its
// key; returns how many. Raises TSessionError "Ошибка открытия библиотеки" when Quorvo
// cannot open the file.
int ReadMeasurementJournal(const std::string& fileName, TOwnedList<TEventData>& target);

}  // namespace kalmet
