// The journal state machine: Create, reading newest first, the filter, Write.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "journal_fixture.h"

namespace kalmet::trelbo::testing {
namespace {

class TrelboJournal : public ::testing::Test {
 protected:
  // Creates the journal from the builder's image, cut into blocks of `blockSize` bytes.
  void create(const ImageBuilder& image, size_t blockSize = 65535) {
    blocks_ = image.blocks(blockSize);
    std::vector<uint8_t*> pointers;
    std::vector<uint16_t> lengths;
    for (auto& b : blocks_) {
      pointers.push_back(b.data());
      lengths.push_back(uint16_t(b.size()));
    }
    int16_t error = 99;
    ASSERT_EQ(journal.create(pointers.data(), lengths.data(), uint32_t(blocks_.size()), &error),
              kOk);
    ASSERT_EQ(error, kErrorNone);
  }
  std::vector<Record> readOpen(Filter filter = nullptr) {
    int16_t error = 99;
    EXPECT_EQ(journal.open(filter, &error), kOk);
    EXPECT_EQ(error, kErrorNone);
    std::vector<Record> records = readAll(journal);
    journal.close();
    return records;
  }
  Record write(uint16_t code, const std::vector<uint8_t>& data) {
    uint32_t label[2] = {};
    int16_t error = 99;
    EXPECT_EQ(journal.write(label, code, data.data(), uint32_t(data.size()), &error), kOk);
    EXPECT_EQ(error, kErrorNone);
    return {{label[0], label[1]}, code, data};
  }

  // Three one-cell records labelled 1..3 in a ring of `cells` cells; opens the
  // journal and reads the newest.
  void openThreeAndReadFirst(uint32_t cells) {
    ImageBuilder image(4 + 16 * cells);
    for (uint32_t i = 1; i <= 3; ++i) append(image, makeRecord(i, 1));
    create(image);
    ASSERT_EQ(journal.open(nullptr, nullptr), kOk);
    uint32_t label[2];
    uint16_t code, length = 8;
    uint8_t buffer[8];
    ASSERT_EQ(journal.readFirst(label, &code, buffer, &length), kOk);
    ASSERT_EQ(label[0], 3u);
  }

  FakeClock clock;
  Journal journal{clock};
  std::vector<std::vector<uint8_t>> blocks_;
};

TEST_F(TrelboJournal, ReadsRecordsOfEveryLengthNewestFirst) {
  ImageBuilder image(4 + 16 * 9000);
  std::vector<Record> written;
  uint32_t label = 1000;
  for (size_t length : {0, 4, 5, 18, 19, 1, 14, 33, 65535, 2}) {
    written.push_back(makeRecord(label++, length));
    append(image, written.back());
  }
  create(image, 1000);  // cells are split across blocks
  int32_t result = 0;
  uint16_t length = 1;
  ASSERT_EQ(journal.open(nullptr, nullptr), kOk);
  EXPECT_EQ(readAll(journal, &result, &length), newestFirst(written));
  EXPECT_EQ(result, kFailed);
  EXPECT_EQ(length, 0);  // the end of the journal
  // Further ReadNext calls stay at the end.
  uint32_t l[2];
  uint16_t code, n = 10;
  uint8_t buffer[10];
  EXPECT_EQ(journal.readNext(l, &code, buffer, &n), kFailed);
  EXPECT_EQ(n, 0);
}

TEST_F(TrelboJournal, WrappedRecordInAFullRingIsReadWhole) {
  // Ten cells; labels 1..9 in single cells, 10 in three cells from cell 9 on
  // (overwriting 1 and 2), then 11 over cell 2. The oldest intact record (4, at
  // the write position) is the one the next write goes over and is not read.
  ImageBuilder image(4 + 16 * 10);
  std::vector<Record> written;
  for (uint32_t i = 1; i <= 11; ++i) {
    written.push_back(makeRecord(i, i == 10 ? 19 : 3));
    append(image, written.back());
  }
  ASSERT_EQ(image.writePosition(), 3u);
  create(image);
  EXPECT_EQ(journal.state().writePos, 3u);
  EXPECT_EQ(journal.state().boundary, 4u);
  const std::vector<Record> expected(written.rbegin(), written.rend() - 4);  // 11 .. 5
  EXPECT_EQ(readOpen(), expected);
}

TEST_F(TrelboJournal, FullRingDeliversEveryRecordButTheOneAtTheWritePosition) {
  ImageBuilder image(4 + 16 * 64);
  std::vector<Record> written;
  for (uint32_t i = 0; i < 150; ++i) {
    written.push_back(makeRecord(0xFFFFFF00u + i * 3, i % 23));  // labels wrap past 2^32
    append(image, written.back());
  }
  create(image);
  const std::vector<Record> read = readOpen();
  ASSERT_FALSE(read.empty());
  // Newest first, a contiguous run of the newest records written.
  const std::vector<Record> all = newestFirst(written);
  EXPECT_EQ(read, std::vector<Record>(all.begin(), all.begin() + read.size()));
  // The oldest record whose first cell survives sits at the write position.
  const Record& oldest = all[read.size()];
  EXPECT_EQ(cellLabel(image.cell(journal.state().writePos)), oldest.label);
}

TEST_F(TrelboJournal, DamagedCellsBeforeTheFirstRecordAreSkippedOthersAreRead) {
  ImageBuilder image(4 + 16 * 40);
  std::vector<Record> written;
  for (uint32_t i = 0; i < 6; ++i) {
    written.push_back(makeRecord(20 + i, 2 + i * 4));
    append(image, written.back());
  }
  // Cells: 0 | 1 2 | 3 4 | 5 6 | 7 8 | 9 10 11.
  image.cell(0)[15] ^= 1;    // the first record: Create starts after it
  image.cell(3)[15] ^= 1;    // a later record: reading does not verify checks
  image.cell(10)[0] = 0xE0;  // type 7 in the middle of the last record breaks it
  create(image);
  std::vector<Record> expected = newestFirst(written);
  expected.erase(expected.begin());  // the last record lost its chain
  expected.pop_back();               // the first record lies before the boundary
  EXPECT_EQ(readOpen(), expected);
}

TEST_F(TrelboJournal, RecordLargerThanTheBufferFailsAndCanBeRetried) {
  ImageBuilder image(4 + 16 * 20);
  const Record older = makeRecord(1, 7), newer = makeRecord(2, 30);
  append(image, older);
  append(image, newer);
  create(image);
  ASSERT_EQ(journal.open(nullptr, nullptr), kOk);
  uint32_t label[2];
  uint16_t code;
  std::vector<uint8_t> buffer(64, 0xEE);
  uint16_t length = 29;
  EXPECT_EQ(journal.readFirst(label, &code, buffer.data(), &length), kFailed);
  EXPECT_EQ(length, 29);
  EXPECT_TRUE(std::all_of(buffer.begin(), buffer.end(), [](uint8_t b) { return b == 0xEE; }));
  length = 30;
  ASSERT_EQ(journal.readFirst(label, &code, buffer.data(), &length), kOk);
  EXPECT_EQ(std::vector<uint8_t>(buffer.begin(), buffer.begin() + length), newer.data);
  length = 6;
  EXPECT_EQ(journal.readNext(label, &code, buffer.data(), &length), kFailed);
  EXPECT_EQ(length, 6);
  length = 7;
  ASSERT_EQ(journal.readNext(label, &code, buffer.data(), &length), kOk);
  EXPECT_EQ(label[0], older.label.low);
  // A null buffer holds nothing.
  length = 100;
  EXPECT_EQ(journal.readFirst(label, &code, nullptr, &length), kFailed);
  EXPECT_EQ(length, 100);
}

uint32_t filterCalls = 0;
uint8_t evenCodesSinceLabel1005(uint32_t labelHigh, uint16_t code) {
  ++filterCalls;
  return code % 2 == 0 && labelHigh >= 1'600'001'005;
}

TEST_F(TrelboJournal, FilterSelectsByLabelHighWordAndCode) {
  ImageBuilder image(4 + 16 * 100);
  std::vector<Record> written;
  for (uint32_t i = 0; i < 20; ++i) {
    written.push_back(makeRecord(1000 + i, i));
    append(image, written.back());
  }
  create(image);
  filterCalls = 0;
  std::vector<Record> expected;
  for (const Record& r : newestFirst(written)) {
    if (r.code % 2 == 0 && r.label.high >= 1'600'001'005) expected.push_back(r);
  }
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(readOpen(evenCodesSinceLabel1005), expected);
  EXPECT_EQ(filterCalls, 20u);
}

TEST_F(TrelboJournal, OpenTwiceKeepsTheReadPosition) {
  openThreeAndReadFirst(10);
  uint32_t label[2];
  uint16_t code, length = 8;
  uint8_t buffer[8];
  int16_t error = 0;
  EXPECT_EQ(journal.open(evenCodesSinceLabel1005, &error), kOk);
  EXPECT_EQ(error, kErrorAlreadyOpen);
  length = 8;
  ASSERT_EQ(journal.readNext(label, &code, buffer, &length), kOk);  // no filter applies
  EXPECT_EQ(label[0], 2u);
}

TEST_F(TrelboJournal, CallsOutOfOrderFailCleanly) {
  uint32_t label[2] = {7, 7};
  uint16_t code = 7, length = 8;
  uint8_t buffer[8];
  int16_t error = 99;
  // Nothing created yet: nothing to read, and no cell to write.
  EXPECT_EQ(journal.readFirst(label, &code, buffer, &length), kFailed);
  EXPECT_EQ(length, 8);
  EXPECT_EQ(journal.write(label, 1, buffer, 1, &error), kFailed);
  EXPECT_EQ(error, kErrorOutsideImage);
  journal.close();
  journal.destroy();

  ImageBuilder image(4 + 16 * 10);
  append(image, makeRecord(5, 1));
  create(image);
  EXPECT_EQ(journal.readNext(label, &code, buffer, &length), kFailed);  // not open
  EXPECT_EQ(length, 8);
  ASSERT_EQ(journal.open(nullptr, nullptr), kOk);
  EXPECT_EQ(journal.readFirst(nullptr, &code, buffer, &length), kFailed);
  EXPECT_EQ(journal.readFirst(label, nullptr, buffer, &length), kFailed);
  EXPECT_EQ(journal.readFirst(label, &code, buffer, nullptr), kFailed);
  EXPECT_EQ(journal.readNext(label, &code, buffer, &length), kOk);  // first record: no ReadFirst
  // A second Create replaces the journal and ends reading.
  create(image);
  EXPECT_EQ(journal.readFirst(label, &code, buffer, &length), kFailed);
  journal.destroy();
  journal.destroy();
  EXPECT_FALSE(journal.state().open);
}

TEST_F(TrelboJournal, BadBlockArgumentsFailWithTheAllocationError) {
  uint8_t bytes[40] = {1, 0, 0, 1};
  uint8_t* blocks[2] = {bytes, nullptr};
  uint16_t lengths[2] = {40, 0};
  int16_t error = 0;
  EXPECT_EQ(journal.create(blocks, nullptr, 1, &error), kFailed);
  EXPECT_EQ(error, kErrorNoMemory);
  error = 0;
  EXPECT_EQ(journal.create(nullptr, lengths, 1, &error), kFailed);
  EXPECT_EQ(error, kErrorNoMemory);
  lengths[1] = 5;  // a null block with bytes to copy
  error = 0;
  EXPECT_EQ(journal.create(blocks, lengths, 2, &error), kFailed);
  EXPECT_EQ(error, kErrorNoMemory);
  EXPECT_EQ(journal.state().cells, 0u);
  // A null block of length 0, no error word, and counts whose low byte is 0.
  lengths[1] = 0;
  EXPECT_EQ(journal.create(blocks, lengths, 2, nullptr), kOk);
  EXPECT_EQ(journal.state().cells, 2u);
  for (uint32_t count : {0u, 256u}) {
    error = 99;
    EXPECT_EQ(journal.create(nullptr, nullptr, count, &error), kOk);
    EXPECT_EQ(error, kErrorNone);
    EXPECT_EQ(journal.state().cells, 0u);
  }
}

TEST_F(TrelboJournal, UnusableImagesAreFormattedAndEmpty) {
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    uint32_t cells;
  };
  ImageBuilder valid(4 + 16 * 6);
  append(valid, makeRecord(9, 3));
  std::vector<Case> cases = {
      {"foreign header", valid.bytes(), 6},
      {"19 bytes", std::vector<uint8_t>(19, 0x41), 0},
      {"3 bytes", {0x01, 0x00, 0x00}, 0},
      {"header only", {0x01, 0x00, 0x00, 0x01}, 0},
      {"all zero cells", std::vector<uint8_t>(4 + 16 * 6 + 7), 6},
  };
  cases[0].bytes[3] = 0x02;
  cases.back().bytes[0] = cases.back().bytes[3] = 1;
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    int16_t error = 99;
    ASSERT_EQ(createFrom(journal, c.bytes, &error), kOk);
    EXPECT_EQ(error, kErrorNone);
    EXPECT_EQ(journal.state().cells, c.cells);
    int32_t result = 0;
    uint16_t length = 1;
    ASSERT_EQ(journal.open(nullptr, nullptr), kOk);
    EXPECT_TRUE(readAll(journal, &result, &length).empty());
    EXPECT_EQ(result, kFailed);
    EXPECT_EQ(length, 0);
    journal.close();
    // Formatting: header where it fits, zeros after it.
    const std::vector<uint8_t> held = journal.image();
    ASSERT_EQ(held.size(), c.bytes.size());
    for (size_t i = 0; i < held.size(); ++i) {
      EXPECT_EQ(held[i], i < 4 ? kHeader[i] : 0) << "byte " << i;
    }
  }
}

TEST_F(TrelboJournal, WriteThenReadBack) {
  std::vector<uint8_t> bytes(4 + 16 * 50);
  bytes[0] = bytes[3] = 1;
  ASSERT_EQ(createFrom(journal, bytes), kOk);
  EXPECT_EQ(journal.state().counter, 1u);
  std::vector<Record> written;
  for (size_t length : {0, 4, 5, 18, 19, 40}) {
    clock.ms += 40;  // 2.5 ticks of 16 ms
    clock.seconds += 1;
    written.push_back(write(uint16_t(0x300 + length), dataOf(length, uint32_t(length))));
  }
  // The counter advances by whole ticks; the high word is the calendar time.
  EXPECT_EQ(written[0].label, (Label{1 + 2, 1'700'000'001}));
  EXPECT_EQ(written[1].label, (Label{1 + 5, 1'700'000'002}));
  EXPECT_EQ(written[5].label.low, 1u + 15u);
  EXPECT_EQ(readOpen(), newestFirst(written));

  // The image written reads the same after a fresh Create.
  std::vector<uint8_t> image = journal.image();
  Journal again(clock);
  ASSERT_EQ(createFrom(again, image), kOk);
  ASSERT_EQ(again.open(nullptr, nullptr), kOk);
  EXPECT_EQ(readAll(again), newestFirst(written));
  EXPECT_EQ(again.state().writePos, journal.state().writePos);
  EXPECT_EQ(again.state().counter, written.back().label.low + 1);
}

TEST_F(TrelboJournal, WriteContinuesTheCounterAndMarksOlderLabels) {
  ImageBuilder image(4 + 16 * 30);
  append(image, makeRecord(500, 2));
  append(image, makeRecord(400, 2), false);
  create(image);
  EXPECT_EQ(journal.state().newest, 500u);
  const Record first = write(1, {9});
  EXPECT_EQ(first.label.low, 501u);  // same tick: newest + 1
  const Record same = write(2, {});
  EXPECT_EQ(same.label.low, 501u);  // equal labels are still the newest
  clock.ms -= 16 * 10;              // a tick count that went back
  const Record older = write(3, {7, 7, 7, 7, 7});
  EXPECT_EQ(older.label.low, 491u);
  EXPECT_EQ(journal.state().newest, 501u);
  const std::vector<uint8_t> held = journal.image();
  Ring ring(const_cast<uint8_t*>(held.data()), held.size());
  EXPECT_TRUE(cellAdvance(ring.cell(2)));
  EXPECT_TRUE(cellAdvance(ring.cell(3)));
  EXPECT_FALSE(cellAdvance(ring.cell(4)));
  EXPECT_FALSE(cellAdvance(ring.cell(5)));
}

TEST_F(TrelboJournal, WriteOverwritesTheOldestCells) {
  ImageBuilder image(4 + 16 * 16);
  create(image);
  std::vector<Record> written;
  for (uint32_t i = 0; i < 40; ++i) {
    clock.ms += 16;
    written.push_back(write(uint16_t(i), dataOf(i % 3 == 0 ? 9 : 2, i)));  // 2 or 1 cells
  }
  const std::vector<Record> read = readOpen();
  const std::vector<Record> all = newestFirst(written);
  ASSERT_GE(read.size(), 8u);
  EXPECT_EQ(read, std::vector<Record>(all.begin(), all.begin() + read.size()));
  // A fresh analysis of the written image agrees on the records.
  std::vector<uint8_t> bytes = journal.image();
  Journal again(clock);
  ASSERT_EQ(createFrom(again, bytes), kOk);
  ASSERT_EQ(again.open(nullptr, nullptr), kOk);
  EXPECT_EQ(readAll(again), read);
}

TEST_F(TrelboJournal, WriteDuringReadingPushesTheReadPositionOn) {
  openThreeAndReadFirst(4);
  uint32_t label[2];
  uint16_t code, length = 8;
  uint8_t buffer[8];
  // Three writes go over the cells of records 1 and 2 and the read position.
  for (int i = 0; i < 3; ++i) {
    clock.ms += 16;
    write(9, {1});
  }
  length = 8;
  int32_t result;
  while ((result = journal.readNext(label, &code, buffer, &length)) == kOk) length = 8;
  EXPECT_EQ(length, 0);
  length = 8;
  ASSERT_EQ(journal.readFirst(label, &code, buffer, &length), kOk);
  EXPECT_EQ(label[0], 7u);  // the newest write comes first again
}

TEST_F(TrelboJournal, WriteArguments) {
  ImageBuilder image(4 + 16 * 8);
  create(image);
  uint32_t label[2];
  int16_t error = 0;
  EXPECT_EQ(journal.write(label, 1, nullptr, 3, &error), kFailed);
  EXPECT_EQ(error, kErrorWrite);
  EXPECT_EQ(journal.write(nullptr, 1, nullptr, 0, &error), kFailed);
  EXPECT_EQ(journal.write(label, 0x12345, nullptr, 0x10000, nullptr), kOk);  // low 16 bits
  ASSERT_EQ(journal.open(nullptr, nullptr), kOk);
  uint16_t code, length = 0;
  ASSERT_EQ(journal.readFirst(label, &code, nullptr, &length), kOk);
  EXPECT_EQ(code, 0x2345);
  EXPECT_EQ(length, 0);
}

}  // namespace
}  // namespace kalmet::trelbo::testing
