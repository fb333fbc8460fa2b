// Encoders of the binary session formats: value stream records, the ".Z5K" container
// and its measurement section. Used by the tests and the session generator; the readers
// are stream_session, z5k_container and the Quorvo library.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "session/date_time.h"

namespace kalmet {

// The stream's time stamp of a moment: seconds since 1970-01-01 00:00:00 (moments
// before 1970 give 0, after 2106 the largest stamp); whole seconds.
uint32_t StreamTime(TDateTime value);

// Appends one record; data holds at most 65535 bytes (raises std::length_error).
void AppendStreamRecord(std::string& out, uint16_t id, uint8_t arrayIndex, uint8_t quality,
                        uint32_t time, std::string_view data);
// Appends a 2-byte filler (variable number 0).
void AppendStreamFiller(std::string& out);

// An 80-byte container header (its content is not examined by readers).
std::string Z5KHeader();
// Appends a section: type, 4-byte little-endian size, body.
void AppendZ5KSection(std::string& out, uint8_t type, std::string_view body);
// A container with the stream as its type-1 section and, when slices is not empty, the
// measurement journal as a type-2 section after it.
std::string Z5KContainer(std::string_view stream, std::string_view slices = {});

// The fields of one measurement slice, in the slice's order.
struct TMeasurementSlice {
  uint32_t Number = 0;
  uint32_t Time = 0;  // seconds since 1970-01-01
  uint16_t Uab = 0, Ubc = 0, Uca = 0;
  uint8_t UnbalanceUIn = 0;
  uint16_t Udc = 0;
  float Idc = 0;
  uint16_t Uuv = 0, Uvw = 0, Uwu = 0;
  uint8_t UnbalanceUOut = 0;
  float Iu = 0, Iv = 0, Iw = 0;
  uint8_t UnbalanceIOut = 0;
  float Pa = 0, Ps = 0, Cos = 0;
  uint8_t MotorLoad = 0;
  float Fout = 0;
  uint16_t Flags = 0;  // bits 0-1 rotation (3: reverse), bits 2-8 values 21-27 present
  uint16_t Riz = 0;
  float MotorPressure = 0;
  uint8_t MotorTemperature = 0;
  float LiquidPressure = 0;
  uint8_t LiquidTemperature = 0;
  float VibrationXY = 0, VibrationZ = 0;
};

// Appends the slice's 96 bytes (unused bytes are 0).
void AppendMeasurementSlice(std::string& out, const TMeasurementSlice& slice);

}  // namespace kalmet
