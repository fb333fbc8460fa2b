#include "session/stream_writer.h"

#include <cmath>
#include <cstring>
#include <stdexcept>

#include "session/z5k_container.h"

namespace kalmet {
namespace {

constexpr double kUnixEpoch = 25569.0;
constexpr size_t kSliceSize = 96;

void PutU16(char* p, uint16_t v) {
  p[0] = static_cast<char>(v & 0xFF);
  p[1] = static_cast<char>(v >> 8);
}

void PutU32(char* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<char>(v >> (8 * i) & 0xFF);
}

void PutF32(char* p, float v) {
  uint32_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  PutU32(p, bits);
}

}  // namespace

uint32_t StreamTime(TDateTime value) {
  const double seconds = std::round((value - kUnixEpoch) * 86400.0);
  if (!(seconds > 0)) return 0;
  if (seconds >= 4294967295.0) return UINT32_MAX;
  return static_cast<uint32_t>(seconds);
}

void AppendStreamRecord(std::string& out, uint16_t id, uint8_t arrayIndex, uint8_t quality,
                        uint32_t time, std::string_view data) {
  if (data.size() > 0xFFFF) throw std::length_error("stream record data longer than 65535");
  char head[10];
  PutU16(head, id);
  head[2] = static_cast<char>(arrayIndex);
  head[3] = static_cast<char>(quality);
  PutU32(head + 4, time);
  PutU16(head + 8, static_cast<uint16_t>(data.size()));
  out.append(head, sizeof head);
  out.append(data);
}

void AppendStreamFiller(std::string& out) {
  out.append(2, '\0');
}

std::string Z5KHeader() {
  std::string header(kZ5KHeaderSize, '\0');
  header.replace(0, 3, "Z5K");
  return header;
}

void AppendZ5KSection(std::string& out, uint8_t type, std::string_view body) {
  if (body.size() > UINT32_MAX) throw std::length_error("container section larger than 4 GiB");
  char head[5];
  head[0] = static_cast<char>(type);
  PutU32(head + 1, static_cast<uint32_t>(body.size()));
  out.append(head, sizeof head);
  out.append(body);
}

std::string Z5KContainer(std::string_view stream, std::string_view slices) {
  std::string out = Z5KHeader();
  AppendZ5KSection(out, kZ5KStreamSection, stream);
  if (!slices.empty()) AppendZ5KSection(out, kZ5KMeasurementSection, slices);
  return out;
}

void AppendMeasurementSlice(std::string& out, const TMeasurementSlice& s) {
  char b[kSliceSize] = {};
  PutU32(b + 0, s.Number);
  PutU32(b + 4, s.Time);
  PutU16(b + 8, s.Uab);
  PutU16(b + 10, s.Ubc);
  PutU16(b + 12, s.Uca);
  b[14] = static_cast<char>(s.UnbalanceUIn);
  PutU16(b + 16, s.Udc);
  PutF32(b + 20, s.Idc);
  PutU16(b + 24, s.Uuv);
  PutU16(b + 26, s.Uvw);
  PutU16(b + 28, s.Uwu);
  b[30] = static_cast<char>(s.UnbalanceUOut);
  PutF32(b + 32, s.Iu);
  PutF32(b + 36, s.Iv);
  PutF32(b + 40, s.Iw);
  b[44] = static_cast<char>(s.UnbalanceIOut);
  PutF32(b + 48, s.Pa);
  PutF32(b + 52, s.Ps);
  PutF32(b + 56, s.Cos);
  b[60] = static_cast<char>(s.MotorLoad);
  PutF32(b + 64, s.Fout);
  PutU16(b + 68, s.Flags);
  PutU16(b + 70, s.Riz);
  PutF32(b + 72, s.MotorPressure);
  b[76] = static_cast<char>(s.MotorTemperature);
  PutF32(b + 80, s.LiquidPressure);
  b[84] = static_cast<char>(s.LiquidTemperature);
  PutF32(b + 88, s.VibrationXY);
  PutF32(b + 92, s.VibrationZ);
  out.append(b, sizeof b);
}

}  // namespace kalmet
