#include "trelbo/journal.h"

#include <chrono>
#include <cstring>
#include <new>

namespace kalmet::trelbo {

namespace {

class SystemClock : public Clock {
 public:
  uint64_t tickMs() override {
    using namespace std::chrono;
    return uint64_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
  }
  uint32_t calendarSeconds() override {
    using namespace std::chrono;
    return uint32_t(duration_cast<seconds>(system_clock::now().time_since_epoch()).count());
  }
};

void setError(int16_t* error, int16_t value) {
  if (error) *error = value;
}

// The label counter runs in units of 16 ms.
constexpr uint64_t kTickUnitMs = 16;

}  // namespace

Clock& systemClock() {
  static SystemClock clock;
  return clock;
}

void Journal::reset() {
  ring_ = Ring();
  layout_ = RingLayout();
  readPos_ = 0;
  filter_ = nullptr;
  open_ = false;
}

int32_t Journal::create(uint8_t* const* blocks, const uint16_t* lengths, uint32_t count,
                        int16_t* error) {
  std::lock_guard imageGuard(imageLock_);
  reset();
  count &= 0xFF;  // the count is one byte wide
  if (count > 0 && (!blocks || !lengths)) {
    setError(error, kErrorNoMemory);
    return kFailed;
  }
  size_t total = 0;
  for (uint32_t i = 0; i < count; ++i) {
    if (lengths[i] > 0 && !blocks[i]) {
      setError(error, kErrorNoMemory);
      return kFailed;
    }
    total += lengths[i];
  }
  // The buffer of an earlier image is reused when it is large enough.
  if (total > capacity_) {
    image_.reset();
    capacity_ = 0;
    image_.reset(new (std::nothrow) uint8_t[total]);
    if (!image_) {
      setError(error, kErrorNoMemory);
      return kFailed;
    }
    capacity_ = total;
  }
  size_t at = 0;
  for (uint32_t i = 0; i < count; ++i) {
    if (lengths[i] > 0) std::memcpy(image_.get() + at, blocks[i], lengths[i]);
    at += lengths[i];
  }

  ring_ = Ring(image_.get(), total);
  if (ring_.usable()) {
    layout_ = ring_.analyse();
  } else {
    ring_.format();
  }
  {
    std::lock_guard labelGuard(labelLock_);
    counter_ = layout_.newest + 1;
    lastTick_ = clock_.tickMs() / kTickUnitMs;
  }
  setError(error, kErrorNone);
  return kOk;
}

int32_t Journal::open(Filter filter, int16_t* error) {
  std::lock_guard guard(imageLock_);
  if (open_) {
    setError(error, kErrorAlreadyOpen);
    return kOk;
  }
  readPos_ = layout_.writePos;
  filter_ = filter;
  open_ = true;
  setError(error, kErrorNone);
  return kOk;
}

void Journal::close() {
  std::lock_guard guard(imageLock_);
  open_ = false;
}

int32_t Journal::readFirst(uint32_t* label, uint16_t* code, uint8_t* buffer, uint16_t* length) {
  return read(true, label, code, buffer, length);
}

int32_t Journal::readNext(uint32_t* label, uint16_t* code, uint8_t* buffer, uint16_t* length) {
  return read(false, label, code, buffer, length);
}

int32_t Journal::read(bool fromNewest, uint32_t* label, uint16_t* code, uint8_t* buffer,
                      uint16_t* length) {
  if (!label || !code || !length) return kFailed;
  std::lock_guard guard(imageLock_);
  if (!open_) return kFailed;
  if (fromNewest) readPos_ = layout_.writePos;
  if (ring_.cellCount() == 0) {
    *length = 0;
    return kFailed;
  }
  const uint32_t stop = ring_.prev(layout_.boundary);
  uint32_t pos = readPos_;
  RecordSpan found;
  const uint8_t* first;
  for (;;) {
    if (!ring_.previousRecord(pos, stop, layout_.writePos, &found)) {
      *length = 0;
      return kFailed;
    }
    pos = found.start;
    first = ring_.cell(pos);
    if (!filter_ || filter_(cellLabel(first).high, cellCode(first))) break;
  }
  const Label stamp = cellLabel(first);
  label[0] = stamp.low;
  label[1] = stamp.high;
  *code = cellCode(first);
  // A record larger than the buffer is left for a later call with more room.
  const uint32_t room = buffer ? *length : 0;
  if (found.length > room) return kFailed;
  if (found.length > 0) ring_.copyData(pos, buffer);
  *length = uint16_t(found.length);
  readPos_ = pos;
  return kOk;
}

int32_t Journal::write(uint32_t* label, uint32_t code, const uint8_t* data, uint32_t length,
                       int16_t* error) {
  // Code and length are 16-bit values passed in 32-bit slots.
  const uint16_t code16 = uint16_t(code);
  const uint16_t length16 = uint16_t(length);
  if (!label || (length16 > 0 && !data)) {
    setError(error, kErrorWrite);
    return kFailed;
  }
  Label stamp;
  {
    std::lock_guard labelGuard(labelLock_);
    const uint64_t tick = clock_.tickMs() / kTickUnitMs;
    counter_ += uint32_t(tick - lastTick_);
    lastTick_ = tick;
    stamp = {counter_, clock_.calendarSeconds()};
  }

  std::lock_guard imageGuard(imageLock_);
  if (ring_.cellCount() == 0) {
    setError(error, kErrorOutsideImage);
    return kFailed;
  }
  const bool advance = !labelNewer(layout_.newest, stamp.low);
  if (advance) layout_.newest = stamp.low;
  // Writing onto the read position or the boundary pushes it on: the oldest cells go.
  layout_.writePos = ring_.writeRecord(layout_.writePos, stamp, code16, data, length16, advance,
                                       [this](uint32_t pos) {
                                         if (pos == readPos_) readPos_ = ring_.next(readPos_);
                                         if (pos == layout_.boundary) {
                                           layout_.boundary = ring_.next(layout_.boundary);
                                           layout_.full = true;
                                         }
                                       });
  label[0] = stamp.low;
  label[1] = stamp.high;
  setError(error, kErrorNone);
  return kOk;
}

JournalState Journal::state() const {
  JournalState s;
  {
    std::lock_guard guard(imageLock_);
    s.cells = ring_.cellCount();
    s.writePos = layout_.writePos;
    s.boundary = layout_.boundary;
    s.newest = layout_.newest;
    s.open = open_;
    s.full = layout_.full;
  }
  std::lock_guard guard(labelLock_);
  s.counter = counter_;
  return s;
}

std::vector<uint8_t> Journal::image() const {
  std::lock_guard guard(imageLock_);
  const uint8_t* bytes = ring_.image();
  return bytes ? std::vector<uint8_t>(bytes, bytes + ring_.imageSize()) : std::vector<uint8_t>();
}

}  // namespace kalmet::trelbo
