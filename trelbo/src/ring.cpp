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
  for (uint32_t steps = 1; steps < cells_ && accept(pos); ++steps, pos = next(pos)) {
    const CellType type = cellType(cell(pos));
    if (type == CellType::kLast) return true;
    if (type != CellType::kMiddle) return false;
  }
  return false;
}

bool Ring::isCheckedStart(uint32_t index) const {
  const uint8_t* c = cell(index);
  const CellType type = cellType(c);
  if (type != CellType::kWhole && type != CellType::kFirst) return false;
  if (!cellCheckOk(c)) return false;
  if (type == CellType::kWhole) return true;
  return chainEnds(index, [this](uint32_t pos) { return cellCheckOk(cell(pos)); });
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
  for (uint32_t pos = next(first); pos != first; pos = next(pos)) {
    if (!isCheckedStart(pos)) continue;
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
  uint32_t pos = best;
  for (uint32_t steps = 1; steps < cells_; ++steps) {
    pos = prev(pos);
    if (!isCheckedStart(pos)) continue;
    const uint8_t* c = cell(pos);
    layout.newest = newerOf(layout.newest, cellLabel(c).low);
    if (cellAdvance(c)) break;
  }
  return layout;
}

std::optional<uint32_t> Ring::previousStart(uint32_t from, uint32_t stop, uint32_t writePos) const {
  if (cells_ == 0) return std::nullopt;
  uint32_t pos = from;
  // At most one full turn, even when `stop` cannot be met.
  for (uint32_t steps = 0; steps < cells_; ++steps) {
    pos = prev(pos);
    if (pos == stop) break;
    const CellType type = cellType(cell(pos));
    if (type == CellType::kWhole) return pos;
    if (type == CellType::kFirst &&
        chainEnds(pos, [writePos](uint32_t p) { return p != writePos; })) {
      return pos;
    }
  }
  return std::nullopt;
}

// Visits the cells of a record whose chain a search has accepted: the start cell,
// then type-4 cells up to the type-5 cell. The step bound keeps a damaged ring
// from being walked more than once.
template <class Visit>
void Ring::visitRecord(uint32_t start, Visit&& visit) const {
  const uint8_t* first = cell(start);
  visit(first, true);
  if (cellType(first) != CellType::kFirst) return;
  uint32_t pos = next(start);
  for (uint32_t steps = 1; steps < cells_; ++steps, pos = next(pos)) {
    const uint8_t* c = cell(pos);
    const CellType type = cellType(c);
    if (type != CellType::kMiddle && type != CellType::kLast) return;
    visit(c, false);
    if (type == CellType::kLast) return;
  }
}

RecordInfo Ring::recordAt(uint32_t start) const {
  const uint8_t* first = cell(start);
  RecordInfo info{cellLabel(first), cellCode(first), cellAdvance(first), 0};
  visitRecord(
      start, [&info](const uint8_t* c, bool isFirst) { info.length += cellDataCount(c, isFirst); });
  return info;
}

void Ring::copyData(uint32_t start, uint8_t* out) const {
  visitRecord(start, [&out](const uint8_t* c, bool isFirst) {
    const unsigned n = cellDataCount(c, isFirst);
    std::memcpy(out, c + cellDataOffset(isFirst), n);
    out += n;
  });
}

}  // namespace kalmet::trelbo
