// The image format: record cells, label order and the analysis of an image.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "journal_fixture.h"
#include "trelbo/ring.h"

namespace kalmet::trelbo::testing {
namespace {

struct CellShape {
  uint32_t length;
  std::vector<CellType> types;
  std::vector<unsigned> lastUsed;
};

TEST(TrelboCells, LengthsGiveTheDocumentedCells) {
  using enum CellType;
  const std::vector<CellShape> cases = {
      {0, {kWhole}, {10}},
      {3, {kWhole}, {13}},
      {4, {kWhole}, {14}},
      {5, {kFirst, kLast}, {14, 1}},
      {18, {kFirst, kLast}, {14, 14}},
      {19, {kFirst, kMiddle, kLast}, {14, 14, 1}},
      {32, {kFirst, kMiddle, kLast}, {14, 14, 14}},
  };
  for (const CellShape& c : cases) {
    SCOPED_TRACE(c.length);
    ImageBuilder image(4 + 16 * 8);
    image.setWritePosition(6);  // the record wraps when it has more than two cells
    const Record r = makeRecord(77, c.length);
    ASSERT_EQ(append(image, r), 6u);
    ASSERT_EQ(recordCellCount(c.length), c.types.size());
    uint32_t pos = 6;
    for (size_t k = 0; k < c.types.size(); ++k, pos = (pos + 1) % 8) {
      const uint8_t* cell = image.cell(pos);
      EXPECT_EQ(cellType(cell), c.types[k]) << "cell " << k;
      EXPECT_EQ(cellLastUsed(cell), c.lastUsed[k]) << "cell " << k;
      EXPECT_TRUE(cellAdvance(cell));
      EXPECT_TRUE(cellCheckOk(cell));
      // Bytes after the last used one are zero.
      for (unsigned b = cellLastUsed(cell) + 1; b < kCheckByte; ++b) EXPECT_EQ(cell[b], 0);
    }
    EXPECT_EQ(cellLabel(image.cell(6)), r.label);
    EXPECT_EQ(cellCode(image.cell(6)), r.code);
  }
}

TEST(TrelboCells, LongestRecordAndHeaderByte) {
  EXPECT_EQ(recordCellCount(65535), 1u + 4681u);
  uint8_t cell[16];
  const std::vector<uint8_t> data = dataOf(65535, 3);
  encodeRecordCell({1, 2}, 9, data.data(), 65535, false, 4681, cell);
  EXPECT_EQ(cellType(cell), CellType::kLast);
  EXPECT_EQ(cellLastUsed(cell), 11u);  // 65531 - 4680 * 14 bytes remain
  EXPECT_EQ(cell[11], data[65534]);

  const uint8_t three[3] = {0xAA, 0xBB, 0xCC};
  encodeRecordCell({0x04030201, 0x08070605}, 0x0A09, three, 3, true, 0, cell);
  const uint8_t expected[16] = {0x5B, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0x0A, 0xAA, 0xBB, 0xCC, 0, 0};
  for (int i = 0; i < 15; ++i) EXPECT_EQ(cell[i], expected[i]) << "byte " << i;
  EXPECT_EQ(cell[15], 0xC3);  // 0x5B + 1 + ... + 10 + 0xAA + 0xBB + 0xCC = 707
}

TEST(TrelboCells, CheckIsTheByteSumOfBytes0To14) {
  uint8_t cell[16];
  std::fill(cell, cell + 16, 0xFF);
  EXPECT_EQ(cellCheck(cell), 0xF1);  // 15 * 255 mod 256; byte 15 is not summed
  for (uint32_t seed = 1; seed < 200; ++seed) {
    unsigned sum = 0;
    for (int i = 0; i < 16; ++i) {
      cell[i] = uint8_t(seed * 2654435761u >> (i % 24));
      if (i < 15) sum += cell[i];
    }
    EXPECT_EQ(cellCheck(cell), uint8_t(sum)) << seed;
  }
}

TEST(TrelboLabelOrder, ComparesOnTheCircle) {
  struct Case {
    uint32_t a, b;
    bool newer;
  };
  const Case cases[] =
      {
          {5, 3, true},           {3, 5, false},          {5, 5, false},
          {0, 0xFFFFFFFF, true},  {0xFFFFFFFF, 0, false}, {0x7FFFFFFF, 0, true},
          {0x80000000, 0, false},  // a - b = 2^31: not newer
          {0, 0x80000000, true},   // b - a = 2^31: newer
      };
  for (const Case& c : cases) {
    EXPECT_EQ(labelNewer(c.a, c.b), c.newer) << c.a << " vs " << c.b;
  }
  EXPECT_EQ(circularDistance(2, 0xFFFFFFFE), 4u);
  EXPECT_EQ(circularDistance(0xFFFFFFFE, 2), 4u);
}

// Single-cell records with the given labels, from cell `at` on, filling a ring of
// exactly that many cells.
std::vector<uint8_t> fullRing(const std::vector<std::pair<uint32_t, bool>>& labels,
                              uint32_t at = 0) {
  ImageBuilder image(4 + 16 * labels.size());
  image.setWritePosition(at);
  for (const auto& [low, advance] : labels) append(image, makeRecord(low, 2), advance);
  return image.bytes();
}

RingLayout analyse(std::vector<uint8_t>& bytes) {
  return Ring(bytes.data(), bytes.size()).analyse();
}

TEST(TrelboAnalysis, PartlyFilledRingWritesAfterTheLastRecord) {
  ImageBuilder image(4 + 16 * 40);
  image.setWritePosition(3);  // cells 0..2 stay empty
  for (uint32_t i = 0; i < 6; ++i) append(image, makeRecord(900 + i * 3, i * 5));
  std::vector<uint8_t> bytes = image.bytes();
  const RingLayout layout = analyse(bytes);
  EXPECT_FALSE(layout.empty);
  EXPECT_FALSE(layout.full);
  EXPECT_EQ(layout.writePos, image.writePosition());
  EXPECT_EQ(layout.boundary, 3u);
  EXPECT_EQ(layout.newest, 915u);
}

TEST(TrelboAnalysis, NewestOfAllRecordsEvenWhenNotLast) {
  ImageBuilder image(4 + 16 * 10);
  append(image, makeRecord(50, 1));
  append(image, makeRecord(70, 1));
  append(image, makeRecord(60, 1), false);
  std::vector<uint8_t> bytes = image.bytes();
  EXPECT_EQ(analyse(bytes).newest, 70u);
}

TEST(TrelboAnalysis, FullRingWritesOverTheOldestRecord) {
  // Labels 1..30 written into 20 cells: cells 0..9 hold 21..30, cells 10..19 hold 11..20.
  ImageBuilder image(4 + 16 * 20);
  for (uint32_t i = 1; i <= 30; ++i) append(image, makeRecord(i, 3));
  std::vector<uint8_t> bytes = image.bytes();
  const RingLayout layout = analyse(bytes);
  EXPECT_TRUE(layout.full);
  EXPECT_EQ(layout.writePos, 10u);
  EXPECT_EQ(layout.boundary, 11u);
  EXPECT_EQ(layout.newest, 30u);
}

TEST(TrelboAnalysis, FullRingSeamAcrossTheCounterWrap) {
  std::vector<std::pair<uint32_t, bool>> labels;
  for (uint32_t i = 0; i < 12; ++i) labels.push_back({0xFFFFFFF8u + i, true});  // ..F8 .. 03
  std::vector<uint8_t> bytes = fullRing(labels, 5);
  const RingLayout layout = analyse(bytes);
  EXPECT_EQ(layout.writePos, 5u);  // the oldest label, 0xFFFFFFF8
  EXPECT_EQ(layout.newest, 3u);
}

TEST(TrelboAnalysis, FullRingNewestStopsAtTheFirstAdvancingRecord) {
  // Oldest 100 at the seam; before it, backwards: 116 and 115 (written with an
  // older label, bit 0 clear), then 118 (bit 0 set), which ends the walk, so
  // the 125 before it does not count.
  std::vector<std::pair<uint32_t, bool>> labels;
  for (uint32_t l = 100; l <= 110; ++l) labels.push_back({l, true});
  labels.insert(labels.end(), {{125, true}, {118, true}, {115, false}, {116, false}});
  std::vector<uint8_t> bytes = fullRing(labels, 4);
  const RingLayout layout = analyse(bytes);
  EXPECT_EQ(layout.writePos, 4u);
  EXPECT_EQ(layout.newest, 118u);
}

TEST(TrelboAnalysis, DamagedCellsAreNotRecordStarts) {
  ImageBuilder image(4 + 16 * 30);
  append(image, makeRecord(10, 2));   // cell 0
  append(image, makeRecord(11, 20));  // cells 1..3
  append(image, makeRecord(12, 2));   // cell 4
  std::vector<uint8_t> bytes = image.bytes();
  Ring ring(bytes.data(), bytes.size());
  ring.cell(0)[15] ^= 0xFF;  // damaged whole record
  ring.cell(2)[15] ^= 0xFF;  // damaged middle cell
  EXPECT_FALSE(ring.isCheckedStart(0));
  EXPECT_FALSE(ring.isCheckedStart(1));
  EXPECT_TRUE(ring.isCheckedStart(4));
  const RingLayout layout = ring.analyse();
  EXPECT_EQ(layout.boundary, 4u);
  EXPECT_EQ(layout.writePos, 5u);
  EXPECT_EQ(layout.newest, 12u);
}

TEST(TrelboAnalysis, ImagesWithoutRecordsAreEmpty) {
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
  };
  std::vector<Case> cases = {
      {"zero cells", std::vector<uint8_t>(4 + 16 * 8)},
      {"orphan middle and last cells", std::vector<uint8_t>(4 + 16 * 8)},
      {"first cell without last", std::vector<uint8_t>(4 + 16 * 8)},
  };
  for (Case& c : cases) std::copy(kHeader, kHeader + 4, c.bytes.begin());
  Ring orphans(cases[1].bytes.data(), cases[1].bytes.size());
  uint8_t cell[16];
  const std::vector<uint8_t> data = dataOf(40, 1);
  for (uint32_t k = 1; k < 4; ++k) {
    encodeRecordCell({1, 1}, 1, data.data(), 40, true, k, cell);
    std::copy(cell, cell + 16, orphans.cell(k));
  }
  Ring unfinished(cases[2].bytes.data(), cases[2].bytes.size());
  for (uint32_t k = 0; k < 8; ++k) {
    encodeRecordCell({1, 1}, 1, data.data(), 40, true, k < 3 ? k : 1, cell);
    std::copy(cell, cell + 16, unfinished.cell(k));  // 3, 4, 4, 4, ... never 5
  }
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    const RingLayout layout = analyse(c.bytes);
    EXPECT_TRUE(layout.empty);
    EXPECT_EQ(layout.writePos, 0u);
    EXPECT_EQ(layout.newest, 0u);
  }
}

}  // namespace
}  // namespace kalmet::trelbo::testing
