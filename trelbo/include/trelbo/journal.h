// The journal held by the library: image copy, analysis, backward reading with a
// filter, and appending records. Every method is safe to call in any order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "trelbo/ring.h"

namespace kalmet::trelbo {

// Time sources of Write: a millisecond tick count and the calendar time.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual uint64_t tickMs() = 0;           // monotonic milliseconds
  virtual uint32_t calendarSeconds() = 0;  // seconds since 1970-01-01 00:00:00
};

// Steady clock and system time.
Clock& systemClock();

using Filter = uint8_t (*)(uint32_t labelHigh, uint16_t code);

// Result and error values of the exported functions.
inline constexpr int32_t kOk = 0;
inline constexpr int32_t kFailed = -1;
inline constexpr int16_t kErrorNone = 0;
inline constexpr int16_t kErrorNoMemory = 1;
inline constexpr int16_t kErrorAlreadyOpen = 1;
inline constexpr int16_t kErrorWrite = 1;
inline constexpr int16_t kErrorOutsideImage = -1;

// A snapshot of the journal state, for tests and tools.
struct JournalState {
  uint32_t cells = 0;
  uint32_t writePos = 0;
  uint32_t boundary = 0;
  uint32_t newest = 0;
  uint32_t counter = 0;
  bool open = false;
  bool full = false;
};

class Journal {
 public:
  explicit Journal(Clock& clock = systemClock()) : clock_(clock) {}
  Journal(const Journal&) = delete;
  Journal& operator=(const Journal&) = delete;

  int32_t create(uint8_t* const* blocks, const uint16_t* lengths, uint32_t count, int16_t* error);
  int32_t open(Filter filter, int16_t* error);
  void close();
  int32_t readFirst(uint32_t* label, uint16_t* code, uint8_t* buffer, uint16_t* length);
  int32_t readNext(uint32_t* label, uint16_t* code, uint8_t* buffer, uint16_t* length);
  int32_t write(uint32_t* label, uint32_t code, const uint8_t* data, uint32_t length,
                int16_t* error);
  void destroy() { close(); }

  JournalState state() const;
  // A copy of the held image.
  std::vector<uint8_t> image() const;

 private:
  int32_t read(bool fromNewest, uint32_t* label, uint16_t* code, uint8_t* buffer, uint16_t* length);
  void reset();

  Clock& clock_;

  // Guarded by imageLock_: the image and everything about where to read and write.
  mutable std::mutex imageLock_;
  std::unique_ptr<uint8_t[]> image_;
  size_t capacity_ = 0;
  Ring ring_;
  RingLayout layout_;
  uint32_t readPos_ = 0;
  Filter filter_ = nullptr;
  bool open_ = false;

  // Guarded by labelLock_: the label counter and the tick it was last advanced at.
  mutable std::mutex labelLock_;
  uint32_t counter_ = 1;
  uint64_t lastTick_ = 0;
};

}  // namespace kalmet::trelbo
