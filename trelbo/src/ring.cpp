#include "trelbo/ring.h"

#include <algorithm>
#include <cstring>

namespace kalmet::trelbo {

Ring::Ring(uint8_t* image, size_t size) : image_(image), size_(image ? size : 0) {
  if (size_ >= kMinUsableImage) {
    // The image holds at most 255 blocks of 65535 bytes, far below 2^32 cells.
    cells_ = uint32_t((size_ - kHeaderSize) / kCellSize);
  }
}

bool Ring::usable() const {
  return cells_ > 0 && std::memcmp(image_, kHeader, kHeaderSize) == 0;
}

void Ring::format() {
  if (size_ == 0) return;
  if (size_ > kHeaderSize) std::memset(image_ + kHeaderSize, 0, size_ - kHeaderSize);
  std::memcpy(image_, kHeader, std::min(size_, kHeaderSize));
}

template <class Accept>
bool Ring::chainEnds(uint32_t start, Accept&& accept) const {
  uint32_t pos = next(start);
  for (uint32_t steps = 1; steps < cells_; ++steps, pos = next(pos)) {
    const uint8_t* c = cell(pos);
    const CellType type = cellType(c);
    if ((type != CellType::kMiddle && type != CellType::kLast) || !accept(pos, c)) return false;
    if (type == CellType::kLast) return true;
  }
  return false;
}

uint32_t Ring::checkedRecordCells(uint32_t index) const {
  const uint8_t* c = cell(index);
  const CellType type = cellType(c);
  if (type != CellType::kWhole && type != CellType::kFirst) return 0;
  if (!cellCheckOk(c)) return 0;
  if (type == CellType::kWhole) return 1;
  uint32_t count = 1;
  const bool ends = chainEnds(index, [&count](uint32_t, const uint8_t* next) {
    ++count;
    return cellCheckOk(next);
  });
  return ends ? count : 0;
}

bool Ring::isCheckedStart(uint32_t index) const {
  return checkedRecordCells(index) > 0;
}

namespace {

uint32_t newerOf(uint32_t a, uint32_t b) {
  return labelNewer(b, a) ? b : a;
}

}  // namespace

RingLayout Ring::analyse() const {
  RingLayout layout;
  if (!usable()) return layout;
  uint32_t first = 0;
  while (first < cells_ && !isCheckedStart(first)) ++first;
  if (first == cells_) return layout;
  layout.empty = false;

  // The last valid record in ring order: searching backwards from the first one,
  // cells 0 .. first-1 hold no start, so the search resumes at the end of the ring.
  uint32_t last = first;
  for (uint32_t pos = cells_ - 1; pos > first; --pos) {
    if (isCheckedStart(pos)) {
      last = pos;
      break;
    }
  }
  // An empty cell after the last record, before the ring turns, is where writing goes on.
  for (uint32_t pos = next(last); pos != 0; pos = next(pos)) {
    if (cellType(cell(pos)) != CellType::kEmpty) continue;
    layout.writePos = pos;
    layout.boundary = first;
    layout.newest = cellLabel(cell(first)).low;
    for (uint32_t c = first + 1; c < pos; ++c) {
      if (isCheckedStart(c)) layout.newest = newerOf(layout.newest, cellLabel(cell(c)).low);
    }
    return layout;
  }
  return analyseFull(first);
}

// A full ring: the newest record is followed by the oldest where consecutive labels
// (in ring order, the first record after the last) are furthest apart on the circle.
RingLayout Ring::analyseFull(uint32_t first) const {
  const uint32_t firstLow = cellLabel(cell(first)).low;
  uint32_t prevLow = firstLow;
  uint32_t best = first;
  uint32_t bestDistance = 0;
  bool others = false;
  // Cells inside a checked record are never record starts, so the walk skips them.
  // None of them is `first`, so the walk meets it again.
  uint32_t pos = first;
  uint32_t step = checkedRecordCells(first);
  for (;;) {
    pos += step;  // step <= cells_
    if (pos >= cells_) pos -= cells_;
    if (pos == first) break;
    step = checkedRecordCells(pos);
    if (step == 0) {
      step = 1;
      continue;
    }
    const uint32_t low = cellLabel(cell(pos)).low;
    const uint32_t distance = circularDistance(low, prevLow);
    if (!others || distance > bestDistance) {
      best = pos;
      bestDistance = distance;
      others = true;
    }
    prevLow = low;
  }
  // The first record, compared with the last, is visited first and wins ties.
  if (!others || circularDistance(firstLow, prevLow) >= bestDistance) best = first;

  RingLayout layout;
  layout.empty = false;
  layout.full = true;
  layout.writePos = best;
  layout.boundary = next(best);
  // Newest of the two labels at the seam and of the records before it, back to
  // the first one written as the newest (bit 0 set).
  layout.newest = cellLabel(cell(best)).low;
  pos = best;
  for (uint32_t steps = 1; steps < cells_; ++steps) {
    pos = prev(pos);
    if (!isCheckedStart(pos)) continue;
    const uint8_t* c = cell(pos);
    layout.newest = newerOf(layout.newest, cellLabel(c).low);
    if (cellAdvance(c)) break;
  }
  return layout;
}

bool Ring::previousRecord(uint32_t from, uint32_t stop, uint32_t writePos,
                          RecordSpan* found) const {
  uint32_t pos = from;
  // At most one full turn, even when `stop` cannot be met.
  for (uint32_t steps = 0; steps < cells_; ++steps) {
    pos = prev(pos);
    if (pos == stop) return false;
    const uint8_t* c = cell(pos);
    const CellType type = cellType(c);
    if (type != CellType::kWhole && type != CellType::kFirst) continue;
    uint32_t length = cellDataCount(c, true);
    if (type == CellType::kFirst) {
      const bool ends = chainEnds(pos, [writePos, &length](uint32_t at, const uint8_t* next) {
        length += cellDataCount(next, false);
        return at != writePos;
      });
      if (!ends) continue;
    }
    *found = {pos, length};
    return true;
  }
  return false;
}

// Follows the cells of a record that previousRecord accepted: the start cell, then
// type-4 cells up to the type-5 cell. The step bound keeps a damaged ring from
// being walked more than once.
void Ring::copyData(uint32_t start, uint8_t* out) const {
  const uint8_t* c = cell(start);
  unsigned n = cellDataCount(c, true);
  std::memcpy(out, c + cellDataOffset(true), n);
  if (cellType(c) != CellType::kFirst) return;
  out += n;
  uint32_t pos = next(start);
  for (uint32_t steps = 1; steps < cells_; ++steps, pos = next(pos)) {
    c = cell(pos);
    const CellType type = cellType(c);
    if (type != CellType::kMiddle && type != CellType::kLast) return;
    n = cellDataCount(c, false);
    std::memcpy(out, c + cellDataOffset(false), n);
    out += n;
    if (type == CellType::kLast) return;
  }
}

}  // namespace kalmet::trelbo
