#include "trelbo/cell.h"

#include <algorithm>
#include <cstring>

namespace kalmet::trelbo {

void encodeRecordCell(const Label& label, uint16_t code, const uint8_t* data, uint32_t length,
                      bool advance, size_t index, uint8_t* out) {
  std::memset(out, 0, kCellSize);
  const size_t count = recordCellCount(length);
  uint32_t taken;  // data bytes in this cell
  const uint8_t* from;
  CellType type;
  if (index == 0) {
    type = count == 1 ? CellType::kWhole : CellType::kFirst;
    taken = std::min<uint32_t>(length, kFirstCellData);
    from = data;
    storeLe32(out + 1, label.low);
    storeLe32(out + 5, label.high);
    storeLe16(out + 9, code);
  } else {
    type = index + 1 == count ? CellType::kLast : CellType::kMiddle;
    const uint32_t offset = kFirstCellData + uint32_t(index - 1) * kFollowCellData;
    taken = std::min<uint32_t>(length - offset, kFollowCellData);
    from = data + offset;
  }
  const unsigned dataAt = cellDataOffset(index == 0);
  if (taken > 0) std::memcpy(out + dataAt, from, taken);
  out[0] = cellHeader(type, dataAt - 1 + taken, advance);
  out[kCheckByte] = cellCheck(out);
}

}  // namespace kalmet::trelbo
