// libtrelbo.so from the program folder, loaded with dlopen and driven through
// its exported C functions only.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <set>
#include <string>
#include <vector>

#include "journal_fixture.h"
#include "trelbo.h"

namespace kalmet::trelbo::testing {
namespace {

std::string libraryPath() {
  const char* dir = std::getenv("KALMET_PROGRAM_DIR");
  return std::string(dir && *dir ? dir : KALMET_PROGRAM_DIR) + "/libtrelbo.so";
}

struct Api {
  decltype(&::Create) create;
  decltype(&::Open) open;
  decltype(&::Close) close;
  decltype(&::ReadFirst) readFirst;
  decltype(&::ReadNext) readNext;
  decltype(&::Write) write;
  decltype(&::Destroy) destroy;
};

class TrelboLibrary : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    handle_ = dlopen(libraryPath().c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle_, nullptr) << dlerror();
    auto sym = [](const char* name) {
      void* p = dlsym(handle_, name);
      EXPECT_NE(p, nullptr) << name;
      return p;
    };
    api_.create = reinterpret_cast<decltype(api_.create)>(sym("Create"));
    api_.open = reinterpret_cast<decltype(api_.open)>(sym("Open"));
    api_.close = reinterpret_cast<decltype(api_.close)>(sym("Close"));
    api_.readFirst = reinterpret_cast<decltype(api_.readFirst)>(sym("ReadFirst"));
    api_.readNext = reinterpret_cast<decltype(api_.readNext)>(sym("ReadNext"));
    api_.write = reinterpret_cast<decltype(api_.write)>(sym("Write"));
    api_.destroy = reinterpret_cast<decltype(api_.destroy)>(sym("Destroy"));
  }
  static void TearDownTestSuite() {
    if (!handle_) return;
    api_.destroy();
    dlclose(handle_);
    handle_ = nullptr;
  }
  void SetUp() override {
    ASSERT_NE(handle_, nullptr);
    api_.close();
  }

  // Create from the image cut into blocks of `blockSize` bytes.
  int32_t create(const std::vector<uint8_t>& image, size_t blockSize, int16_t* error) {
    blocks_.clear();
    for (size_t at = 0; at < image.size(); at += blockSize) {
      blocks_.emplace_back(image.begin() + at,
                           image.begin() + std::min(image.size(), at + blockSize));
    }
    std::vector<uint8_t*> pointers;
    lengths_.clear();
    for (auto& b : blocks_) {
      pointers.push_back(b.data());
      lengths_.push_back(uint16_t(b.size()));
    }
    return api_.create(pointers.data(), lengths_.data(), uint32_t(blocks_.size()), error);
  }
  std::vector<Record> readAllOpen(TrelboFilter filter = nullptr) {
    int16_t error = 99;
    EXPECT_EQ(api_.open(filter, &error), TRELBO_OK);
    EXPECT_EQ(error, TRELBO_ERROR_NONE);
    std::vector<Record> records = readAll(api_.readFirst, api_.readNext);
    api_.close();
    return records;
  }

  static inline void* handle_ = nullptr;
  static inline Api api_{};
  std::vector<std::vector<uint8_t>> blocks_;
  std::vector<uint16_t> lengths_;
};

TEST_F(TrelboLibrary, ExportsExactlyTheSevenFunctions) {
  const std::string command = "nm -D --defined-only '" + libraryPath() + "' 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::set<std::string> names;
  char line[512];
  while (std::fgets(line, sizeof line, pipe)) {
    char kind[8], name[400];
    if (std::sscanf(line, "%*s %7s %399s", kind, name) == 2) names.insert(name);
  }
  const int status = pclose(pipe);
  if (status != 0 && names.empty()) GTEST_SKIP() << "nm is not available";
  EXPECT_EQ(names, (std::set<std::string>{"Close", "Create", "Destroy", "Open", "ReadFirst",
                                          "ReadNext", "Write"}));
}

TEST_F(TrelboLibrary, ReadsAnImageSplitAcrossBlocks) {
  ImageBuilder image(4 + 16 * 300);
  std::vector<Record> written;
  for (uint32_t i = 0; i < 60; ++i) {
    written.push_back(makeRecord(70000 + i * 5, (i * 13) % 70));
    append(image, written.back());
  }
  int16_t error = 99;
  ASSERT_EQ(create(image.bytes(), 37, &error), TRELBO_OK);  // 130 blocks, cells cut anywhere
  EXPECT_EQ(error, TRELBO_ERROR_NONE);
  EXPECT_EQ(readAllOpen(), newestFirst(written));
}

TEST_F(TrelboLibrary, OnlyTheLowByteOfTheBlockCountCounts) {
  // 257 blocks: the library takes one, 16 bytes that hold no cell.
  ImageBuilder image(4 + 16 * 256);
  append(image, makeRecord(1, 1));
  int16_t error = 99;
  ASSERT_EQ(create(image.bytes(), 16, &error), TRELBO_OK);
  ASSERT_EQ(blocks_.size(), 257u);
  EXPECT_TRUE(readAllOpen().empty());
  ASSERT_EQ(create(image.bytes(), 65535, &error), TRELBO_OK);
  EXPECT_EQ(readAllOpen().size(), 1u);
}

uint8_t onlyCode0x101(uint32_t, uint16_t code) {
  return code == 0x101;
}

TEST_F(TrelboLibrary, FilterAndSmallBuffer) {
  ImageBuilder image(4 + 16 * 60);
  std::vector<Record> written;
  for (uint32_t i = 0; i < 14; ++i) {
    written.push_back(makeRecord(i, 20));
    append(image, written.back());
  }
  ASSERT_EQ(create(image.bytes(), 65535, nullptr), TRELBO_OK);
  std::vector<Record> expected;
  for (const Record& r : newestFirst(written)) {
    if (r.code == 0x101) expected.push_back(r);
  }
  EXPECT_EQ(readAllOpen(onlyCode0x101), expected);

  ASSERT_EQ(api_.open(nullptr, nullptr), TRELBO_OK);
  uint32_t label[2];
  uint16_t code, length = 19;
  uint8_t buffer[20];
  EXPECT_EQ(api_.readFirst(label, &code, buffer, &length), TRELBO_FAILED);
  EXPECT_EQ(length, 19);
  api_.close();
}

TEST_F(TrelboLibrary, BadCallSequences) {
  uint32_t label[2];
  uint16_t code, length = 8;
  uint8_t buffer[8];
  int16_t error = 0;
  ASSERT_EQ(create({}, 1, &error), TRELBO_OK);                              // count 0
  EXPECT_EQ(api_.readFirst(label, &code, buffer, &length), TRELBO_FAILED);  // before Open
  EXPECT_EQ(length, 8);
  EXPECT_EQ(api_.write(label, 1, buffer, 1, &error), TRELBO_FAILED);
  EXPECT_EQ(error, TRELBO_ERROR_OUTSIDE_IMAGE);
  uint16_t lengths[1] = {8};
  error = 0;
  EXPECT_EQ(api_.create(nullptr, lengths, 1, &error), TRELBO_FAILED);
  EXPECT_EQ(error, TRELBO_ERROR_NO_MEMORY);
  uint8_t* blocks[1] = {buffer};
  error = 0;
  EXPECT_EQ(api_.create(blocks, nullptr, 1, &error), TRELBO_FAILED);
  EXPECT_EQ(error, TRELBO_ERROR_NO_MEMORY);

  ImageBuilder image(4 + 16 * 8);
  append(image, makeRecord(3, 3));
  ASSERT_EQ(create(image.bytes(), 65535, &error), TRELBO_OK);
  ASSERT_EQ(api_.open(nullptr, &error), TRELBO_OK);
  EXPECT_EQ(api_.open(nullptr, &error), TRELBO_OK);
  EXPECT_EQ(error, TRELBO_ERROR_ALREADY_OPEN);
  ASSERT_EQ(create(image.bytes(), 65535, &error), TRELBO_OK);  // Create twice: reading ends
  EXPECT_EQ(api_.readNext(label, &code, buffer, &length), TRELBO_FAILED);
  EXPECT_EQ(length, 8);
  api_.close();
  api_.close();
  api_.destroy();
}

TEST_F(TrelboLibrary, WriteThenReadBack) {
  std::vector<uint8_t> bytes(4 + 16 * 100);
  bytes[0] = bytes[3] = 1;
  int16_t error = 99;
  ASSERT_EQ(create(bytes, 65535, &error), TRELBO_OK);
  std::vector<Record> written;
  const uint32_t before = uint32_t(std::time(nullptr));
  for (uint32_t length : {0u, 4u, 5u, 18u, 19u, 300u}) {
    std::vector<uint8_t> data = dataOf(length, length);
    uint32_t label[2] = {};
    error = 99;
    ASSERT_EQ(api_.write(label, 0x200 + length, data.data(), length, &error), TRELBO_OK);
    EXPECT_EQ(error, TRELBO_ERROR_NONE);
    written.push_back({{label[0], label[1]}, uint16_t(0x200 + length), data});
  }
  const uint32_t after = uint32_t(std::time(nullptr));
  for (size_t i = 0; i < written.size(); ++i) {
    EXPECT_GE(written[i].label.high, before);
    EXPECT_LE(written[i].label.high, after);
    // The counter starts at 1 in an empty journal and never goes back.
    EXPECT_GE(written[i].label.low, i == 0 ? 1u : written[i - 1].label.low);
  }
  EXPECT_EQ(readAllOpen(), newestFirst(written));
}

}  // namespace
}  // namespace kalmet::trelbo::testing
