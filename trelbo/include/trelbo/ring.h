// The ring of cells inside a journal image: cell access with wrap, record-start
// searches and record reading and writing. A Ring is a view; it does not own the bytes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "trelbo/cell.h"

namespace kalmet::trelbo {

// A record found by a search: its first cell and its data length over all its
// cells (which may exceed 65535 in a damaged image).
struct RecordSpan {
  uint32_t start = 0;
  uint32_t length = 0;
};

// Where writing and reading stand in an analysed image.
struct RingLayout {
  uint32_t writePos = 0;  // cell for the next record's first cell
  uint32_t boundary = 0;  // a backward read stops at the cell before this one
  uint32_t newest = 0;    // newest label low word
  bool empty = true;      // no valid record was found
  bool full = false;      // no empty cell follows the records
};

class Ring {
 public:
  Ring() = default;
  Ring(uint8_t* image, size_t size);

  uint8_t* image() const { return image_; }
  size_t imageSize() const { return size_; }
  // Number of whole cells behind the header (0 when the image is shorter than one cell).
  uint32_t cellCount() const { return cells_; }

  // Header 01 00 00 01 and at least one whole cell.
  bool usable() const;
  // Zeros from offset 4 to the end, then the header (only the header bytes that fit).
  void format();

  uint8_t* cell(uint32_t index) const { return image_ + kHeaderSize + size_t(index) * kCellSize; }
  uint32_t next(uint32_t index) const { return index + 1 == cells_ ? 0 : index + 1; }
  uint32_t prev(uint32_t index) const { return index == 0 ? cells_ - 1 : index - 1; }

  // A record start with every cell check correct: a type-2 cell, or a type-3 cell
  // followed (with wrap) by type-4 cells and a type-5 cell. Used to analyse an image.
  bool isCheckedStart(uint32_t index) const;

  // Finds the write position, the boundary and the newest label of a usable image.
  // Empty layout (all zero) when the image holds no valid record.
  RingLayout analyse() const;

  // The nearest record before `from`, stepping backwards with wrap and giving up
  // on reaching `stop`. Type-3 starts need type-4 cells and a type-5 cell after
  // them that do not reach `writePos`. Cell checks are not verified. False when
  // there is none.
  bool previousRecord(uint32_t from, uint32_t stop, uint32_t writePos, RecordSpan* found) const;

  // Copies the data of a record found by previousRecord (its length in bytes) to out.
  void copyData(uint32_t start, uint8_t* out) const;

  // Writes a record cell by cell from `pos` with wrap; after each cell calls
  // moved(newPos) with the position of the next free cell. Returns that position.
  template <class Moved>
  uint32_t writeRecord(uint32_t pos, const Label& label, uint16_t code, const uint8_t* data,
                       uint16_t length, bool advance, Moved&& moved) const {
    const size_t count = recordCellCount(length);
    for (size_t k = 0; k < count; ++k) {
      encodeRecordCell(label, code, data, length, advance, k, cell(pos));
      pos = next(pos);
      moved(pos);
    }
    return pos;
  }

 private:
  // Steps over the type-4 cells that follow a type-3 start, calling accept(pos, cell)
  // for each type-4 or type-5 cell; true when a type-5 cell that `accept` allows
  // ends the chain.
  template <class Accept>
  bool chainEnds(uint32_t start, Accept&& accept) const;
  RingLayout analyseFull(uint32_t first) const;
  // Cells of the checked record starting at `index`, 0 when it is no checked start.
  uint32_t checkedRecordCells(uint32_t index) const;

  uint8_t* image_ = nullptr;
  size_t size_ = 0;
  uint32_t cells_ = 0;
};

}  // namespace kalmet::trelbo
