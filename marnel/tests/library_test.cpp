// libmarnel.so from the program folder, loaded with dlopen and driven through its C ABI
// exactly as the viewer does, on images built here from the format.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "journal_fixtures.h"

namespace kalmet::marnel {
namespace {

using fixtures::NumberedLine;
using fixtures::RingImage;
using fixtures::Utf8Lines;

struct Api {
  uint8_t (*open)(uint8_t*, int32_t) = nullptr;
  int32_t (*headers)(char*, int32_t) = nullptr;
  int32_t (*context)(int32_t, char*, int32_t) = nullptr;
  void (*close)() = nullptr;
};

std::string ProgramDir() {
  if (const char* dir = std::getenv("KALMET_PROGRAM_DIR"); dir != nullptr && *dir != 0) return dir;
  return KALMET_PROGRAM_DIR;
}

const Api& Library() {
  static const Api api = [] {
    Api a;
    const std::string path = ProgramDir() + "/libmarnel.so";
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) return a;
    a.open = reinterpret_cast<decltype(a.open)>(dlsym(handle, "_OpenJournal"));
    a.headers = reinterpret_cast<decltype(a.headers)>(dlsym(handle, "_GetJournalHeaders"));
    a.context = reinterpret_cast<decltype(a.context)>(dlsym(handle, "_GetJournalRecordNumber"));
    a.close = reinterpret_cast<decltype(a.close)>(dlsym(handle, "_CloseJournal"));
    return a;
  }();
  return api;
}

class MarnelLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(api_.open && api_.headers && api_.context && api_.close)
        << "libmarnel.so not loadable from " << ProgramDir() << ": " << dlerror();
    api_.close();
  }
  void TearDown() override {
    if (api_.close) api_.close();
  }
  const Api& api_ = Library();
};

TEST_F(MarnelLibrary, ViewerSequenceListsAndShowsContexts) {
  JournalWriter writer(16384);
  writer.Append({"Перегрев ПЭД", "05.06.2024 07:08:09", {AlarmParameter{"T", "130"}}});
  writer.Append({"Обрыв фазы",
                 "05.06.2024 07:09:10",
                 {AlarmGroup{"Токи", {{"Ia", "0"}, {"Ib", "12"}}}, AlarmParameter{"U", "380"}}});
  std::vector<uint8_t> image = writer.image();
  std::vector<char> text(16385);
  ASSERT_EQ(api_.open(image.data(), 16384), 1);
  ASSERT_EQ(api_.headers(text.data(), 16384), 1);
  EXPECT_EQ(Utf8Lines(text.data()), (std::vector<std::string>{"Обрыв фазы=05.06.2024 07:09:10",
                                                              "Перегрев ПЭД=05.06.2024 07:08:09"}));
  ASSERT_EQ(api_.context(0, text.data(), 16384), 1);
  EXPECT_EQ(Utf8Lines(text.data()), (std::vector<std::string>{"Токи=", "Ia=0", "Ib=12", "U=380"}));
  ASSERT_EQ(api_.context(1, text.data(), 16384), 1);
  EXPECT_EQ(Utf8Lines(text.data()), std::vector<std::string>{"T=130"});
  EXPECT_EQ(api_.context(2, text.data(), 16384), 0);
  EXPECT_EQ(text[0], 0);

  // Open on an open journal changes nothing; after closing, a new image opens.
  std::vector<uint8_t> blank(16384, ' ');
  EXPECT_EQ(api_.open(blank.data(), 16384), 0);
  EXPECT_EQ(blank, std::vector<uint8_t>(16384, ' '));
  api_.close();
  api_.close();
  EXPECT_EQ(api_.headers(text.data(), 16384), 0);
  ASSERT_EQ(api_.open(blank.data(), 16384), 1);  // made anew
  EXPECT_EQ(blank, JournalWriter(16384).image());
  EXPECT_EQ(api_.headers(text.data(), 16384), 1);
  EXPECT_EQ(text[0], 0);
}

TEST_F(MarnelLibrary, TextsStayWithinTheirBuffers) {
  std::vector<uint8_t> image = RingImage({1, 2, 3});
  ASSERT_EQ(api_.open(image.data(), 16384), 1);
  const std::string listing = NumberedLine(3) + "\r\n" + NumberedLine(2) + "\r\n" + NumberedLine(1);
  constexpr char kGuard = '\x7F';
  // Listing: at most size - 1 characters, the rest of the size bytes zero.
  for (int32_t size : {1, 2, 5, 6, 7, static_cast<int32_t>(listing.size()),
                       static_cast<int32_t>(listing.size()) + 1, 100}) {
    SCOPED_TRACE(size);
    std::vector<char> text(size + 8, kGuard);
    ASSERT_EQ(api_.headers(text.data(), size), 1);
    const size_t kept = std::min<size_t>(listing.size(), size - 1);
    EXPECT_EQ(std::string(text.data(), kept), listing.substr(0, kept));
    for (int32_t i = static_cast<int32_t>(kept); i < size; ++i) ASSERT_EQ(text[i], 0) << i;
    for (int32_t i = size; i < size + 8; ++i) ASSERT_EQ(text[i], kGuard) << i;
  }
  // Context: at most size characters and a zero, in size + 1 bytes.
  std::vector<uint8_t> rich = JournalWriter(16384).image();
  fixtures::View(rich).Write(108, 1, "<A N=\"a\" T=\"b\"><P N=\"x\">12345</P><P N=\"y\">6</P></A>");
  api_.close();
  ASSERT_EQ(api_.open(rich.data(), 16384), 1);
  std::vector<char> list(64);
  ASSERT_EQ(api_.headers(list.data(), 64), 1);
  const std::string context = "x=12345\r\ny=6";
  for (int32_t size : {1, 3, 7, 8, static_cast<int32_t>(context.size()), 40}) {
    SCOPED_TRACE(size);
    std::vector<char> text(size + 8, kGuard);
    ASSERT_EQ(api_.context(0, text.data(), size), 1);
    const size_t kept = std::min<size_t>(context.size(), size);
    EXPECT_EQ(std::string(text.data()), context.substr(0, kept));
    for (int32_t i = static_cast<int32_t>(kept) + 1; i < size + 8; ++i) ASSERT_EQ(text[i], kGuard);
  }
  // Sizes the functions refuse: a buffer of size 0 or less is left alone by the listing;
  // a context buffer always holds size + 1 bytes, so size 0 still gets its zero.
  char byte = kGuard;
  EXPECT_EQ(api_.headers(&byte, 0), 0);
  EXPECT_EQ(api_.headers(&byte, -5), 0);
  EXPECT_EQ(byte, kGuard);
  EXPECT_EQ(api_.context(0, &byte, -1), 0);
  EXPECT_EQ(byte, kGuard);
  EXPECT_EQ(api_.context(0, &byte, 0), 0);
  EXPECT_EQ(byte, 0);
  EXPECT_EQ(api_.headers(nullptr, 10), 0);
  EXPECT_EQ(api_.context(0, nullptr, 10), 0);
}

TEST_F(MarnelLibrary, RefusesImagesTooSmallOrMissing) {
  std::vector<uint8_t> image(255, ' ');
  for (int32_t size : {-1, 0, 1, 216, 255}) {
    EXPECT_EQ(api_.open(image.data(), size), 0) << size;
  }
  EXPECT_EQ(image, std::vector<uint8_t>(255, ' '));
  EXPECT_EQ(api_.open(nullptr, 16384), 0);
  std::vector<char> text(16);
  EXPECT_EQ(api_.headers(text.data(), 16), 0);  // nothing was opened
}

// Images whose content is hostile: each runs open, listing and every context on an
// exact-size heap copy, so a sanitizer build catches any access outside it.
TEST_F(MarnelLibrary, HostileImagesGiveCleanResults) {
  struct Case {
    const char* name;
    std::vector<uint8_t> image;
    size_t rows;
  };
  std::vector<Case> cases;
  for (int32_t size : {256, 257, 999, 4097}) {
    std::vector<uint8_t> image = JournalWriter(size).image();
    std::fill(image.begin() + 108, image.end() - 108, kStartMark);
    cases.push_back({"ring of start marks", image, 0});
    cases.push_back({"all start marks", std::vector<uint8_t>(size, kStartMark), 0});
  }
  {
    // A length field one above what the ring holds, beside a sound record.
    std::vector<uint8_t> image = JournalWriter(1024).image();
    JournalImage view = fixtures::View(image);
    EXPECT_EQ(view.Write(108, 1, std::string(view.max_record_data(), 'x')), 108);  // whole ring
    std::memcpy(image.data() + 108 + 9, "00000313", 8);                            // 1024 - 238 + 1
    view.Write(500, 2, fixtures::NumberedAlarm(2));
    cases.push_back({"length past the ring", image, 1});
    std::vector<uint8_t> huge = JournalWriter(600).image();
    std::memcpy(huge.data() + 200,
                "\x02"
                "00000005"
                "FFFFFFFF"
                "<A N=\"q\"/>",
                28);
    cases.push_back({"length 0xFFFFFFFF", huge, 0});
  }
  std::vector<uint8_t> wrapped = RingImage({}, 300);
  {
    JournalImage view = fixtures::View(wrapped);
    view.Write(view.ring_end() - 1, 4, fixtures::NumberedAlarm(4));  // starts on the last ring byte
    cases.push_back({"record from the ring's last byte", wrapped, 1});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SCOPED_TRACE(c.image.size());
    std::vector<uint8_t> image = c.image;
    api_.close();
    ASSERT_EQ(api_.open(image.data(), static_cast<int32_t>(image.size())), 1);
    std::vector<char> text(16385);
    ASSERT_EQ(api_.headers(text.data(), 16384), 1);
    EXPECT_EQ(Utf8Lines(text.data()).size(), c.rows);
  }

  // Random images, some made of sound records cut and spliced with noise.
  std::mt19937 random(20240605);
  for (int round = 0; round < 300; ++round) {
    SCOPED_TRACE(round);
    const int32_t size = std::uniform_int_distribution<int32_t>(200, 3000)(random);
    std::vector<uint8_t> image(size);
    if (size >= 256 && round % 2 == 0) {
      JournalWriter writer(size, std::uniform_int_distribution<uint32_t>(1, 0xFFFFFFFE)(random));
      for (int i = round % 40; i > 0; --i)
        writer.Append({std::to_string(i), "t", {AlarmParameter{"p", "v"}}});
      image = writer.image();
      for (int flips = round % 9; flips > 0; --flips) {
        image[random() % size] = static_cast<uint8_t>(random() % 5 == 0 ? kStartMark : random());
      }
    } else {
      for (auto& b : image)
        b = static_cast<uint8_t>(random() % 4 == 0 ? kStartMark : 0x20 + random() % 64);
    }
    api_.close();
    const uint8_t opened = api_.open(image.data(), size);
    EXPECT_EQ(opened, size >= 256 ? 1 : 0);
    const int32_t text_size = std::uniform_int_distribution<int32_t>(1, 300)(random);
    std::vector<char> text(text_size + 1);
    if (api_.headers(text.data(), text_size) != 1) continue;
    EXPECT_LT(std::strlen(text.data()), static_cast<size_t>(text_size));
    for (int32_t position = 0; position < 64; ++position) {
      const int32_t result = api_.context(position, text.data(), text_size);
      EXPECT_LE(std::strlen(text.data()), static_cast<size_t>(text_size));
      if (result == 0) {
        EXPECT_EQ(text[0], 0);
      }
    }
  }
}

}  // namespace
}  // namespace kalmet::marnel
