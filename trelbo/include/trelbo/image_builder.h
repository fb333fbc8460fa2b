// Builds journal images the way the controller writes them: a formatted image
// of a given size into which records are appended, wrapping the ring and
// overwriting the oldest cells when it is full.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "trelbo/ring.h"

namespace kalmet::trelbo {

class ImageBuilder {
 public:
  // A formatted, empty image of `imageSize` bytes (at least one cell: 20 bytes).
  explicit ImageBuilder(size_t imageSize);
  ImageBuilder(const ImageBuilder&) = delete;
  ImageBuilder& operator=(const ImageBuilder&) = delete;

  // Appends a record at the write position; returns the cell of its first cell.
  // `advance` is bit 0 of its cells: set when the label was the newest when written.
  uint32_t append(const Label& label, uint16_t code, std::span<const uint8_t> data,
                  bool advance = true);

  uint32_t cellCount() const { return ring_.cellCount(); }
  uint32_t writePosition() const { return writePos_; }
  // Moves the write position, e.g. to start a ring in the middle.
  void setWritePosition(uint32_t cell) { writePos_ = cell % ring_.cellCount(); }
  uint8_t* cell(uint32_t index) { return ring_.cell(index); }

  const std::vector<uint8_t>& bytes() const { return bytes_; }
  // The image cut into blocks of at most `blockSize` bytes, as sessions carry it.
  std::vector<std::vector<uint8_t>> blocks(size_t blockSize = kMaxRecordLength) const;

 private:
  std::vector<uint8_t> bytes_;
  Ring ring_;
  uint32_t writePos_ = 0;
};

}  // namespace kalmet::trelbo
