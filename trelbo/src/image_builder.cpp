#include "trelbo/image_builder.h"

#include <algorithm>
#include <stdexcept>

namespace kalmet::trelbo {

ImageBuilder::ImageBuilder(size_t imageSize) : bytes_(imageSize) {
  if (imageSize < kMinUsableImage) throw std::invalid_argument("journal image too small");
  ring_ = Ring(bytes_.data(), bytes_.size());
  ring_.format();
}

uint32_t ImageBuilder::append(const Label& label, uint16_t code, std::span<const uint8_t> data,
                              bool advance) {
  if (data.size() > kMaxRecordLength) throw std::length_error("journal record too long");
  const uint32_t start = writePos_;
  writePos_ = ring_.writeRecord(writePos_, label, code, data.data(), uint16_t(data.size()), advance,
                                [](uint32_t) {});
  return start;
}

std::vector<std::vector<uint8_t>> ImageBuilder::blocks(size_t blockSize) const {
  std::vector<std::vector<uint8_t>> out;
  if (blockSize == 0) blockSize = kMaxRecordLength;
  for (size_t at = 0; at < bytes_.size(); at += blockSize) {
    const size_t n = std::min(blockSize, bytes_.size() - at);
    out.emplace_back(bytes_.begin() + at, bytes_.begin() + at + n);
  }
  return out;
}

}  // namespace kalmet::trelbo
