#include "journal/trelbo_binding.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "session/tests/log_recorder.h"
#include "session/tests/temp_dir.h"
#include "trelbo/image_builder.h"

namespace kalmet {
namespace {

using testing::LogRecorder;
using testing::TempDir;

const std::string kProgramDir = KALMET_PROGRAM_DIR;
const std::string kCannotGoOn = "\rПродлжение работы невозможно!";

TEST(TTrelbo, LoadsTheProgramFoldersLibraryAndReadsAnImage) {
  TTrelbo trelbo;
  std::string error;
  ASSERT_TRUE(trelbo.Load(kProgramDir + "/" + TTrelbo::kFileName, error)) << error;
  EXPECT_TRUE(trelbo.Loaded());
  EXPECT_EQ(error, "");

  trelbo::ImageBuilder builder(256);
  builder.append({7, 100}, 0x4001, std::vector<uint8_t>{1, 2, 3});
  std::vector<uint8_t> image = builder.bytes();
  uint8_t* blocks[] = {image.data()};
  uint16_t lengths[] = {uint16_t(image.size())};
  int16_t createError = -5;
  ASSERT_EQ(trelbo.JournalCreate(blocks, lengths, 1, &createError), 0);
  EXPECT_EQ(createError, 0);
  ASSERT_EQ(trelbo.JournalOpen(nullptr), 0);
  EXPECT_EQ(trelbo.OpenError(), 0);
  EXPECT_EQ(trelbo.JournalOpen(nullptr), 0);
  EXPECT_EQ(trelbo.OpenError(), 1);  // already open

  uint32_t label[2] = {};
  uint16_t code = 0;
  uint8_t buffer[8] = {};
  uint16_t length = sizeof buffer;
  ASSERT_EQ(trelbo.JournalReadFirst(label, &code, buffer, &length), 0);
  EXPECT_EQ(label[0], 7u);
  EXPECT_EQ(label[1], 100u);
  EXPECT_EQ(code, 0x4001);
  EXPECT_EQ(length, 3);
  length = sizeof buffer;
  EXPECT_EQ(trelbo.JournalReadNext(label, &code, buffer, &length), -1);
  EXPECT_EQ(length, 0);
  trelbo.JournalClose();
}

TEST(TTrelbo, FailuresNameTheFileLookedForAndLeaveItUnloaded) {
  TempDir dir;
  const std::string missing = (dir.path() / TTrelbo::kFileName).string();
  const std::string notLibrary = dir.Write("text/libtrelbo.so", "not a shared object");
  // A real shared object without the journal functions.
  const std::string other = (dir.path() / "other" / TTrelbo::kFileName).string();
  const bool haveOther = std::filesystem::exists(kProgramDir + "/libchrn.so");
  if (haveOther) {
    std::filesystem::create_directories(dir.path() / "other");
    std::filesystem::copy_file(kProgramDir + "/libchrn.so", other);
  }

  struct Case {
    std::string path;
    std::string log;          // the beginning of the logged line
    std::string errorPrefix;  // the beginning of the user's message
  };
  std::vector<Case> cases = {
      {missing, "[TTrelbo.Create] Библиотека " + missing + " не найдена.",
       "Библиотека libtrelbo.so не найдена." + kCannotGoOn},
      {notLibrary, "[TTrelbo.Create] LoadLibrary error: ", "LoadLibrary error: "},
  };
  if (haveOther) {
    cases.push_back(
        {other, "[TTrelbo.Create] Load JournalCreate() error: ", "Load JournalCreate() error: "});
  }
  for (const Case& c : cases) {
    LogRecorder log;
    TTrelbo trelbo;
    std::string error;
    EXPECT_FALSE(trelbo.Load(c.path, error)) << c.path;
    EXPECT_FALSE(trelbo.Loaded()) << c.path;
    ASSERT_EQ(log.lines.size(), 1u) << c.path;
    EXPECT_EQ(log.lines[0].rfind(c.log, 0), 0u) << log.lines[0];
    EXPECT_EQ(error.rfind(c.errorPrefix, 0), 0u) << error;
    EXPECT_TRUE(error.ends_with(kCannotGoOn)) << error;

    // An unloaded binding answers every call with a failure.
    uint32_t label[2] = {};
    uint16_t code = 0, length = 0;
    EXPECT_EQ(trelbo.JournalCreate(nullptr, nullptr, 0, nullptr), -1);
    EXPECT_EQ(trelbo.JournalOpen(nullptr), -1);
    EXPECT_EQ(trelbo.JournalReadFirst(label, &code, nullptr, &length), -1);
    EXPECT_EQ(trelbo.JournalReadNext(label, &code, nullptr, &length), -1);
    EXPECT_EQ(trelbo.JournalWrite(label, 0, nullptr, 0, nullptr), -1);
    trelbo.JournalClose();
  }
}

TEST(TTrelbo, AttachNeedsAllSevenFunctions) {
  TTrelbo::TEntryPoints f;
  f.Create = [](uint8_t**, uint16_t*, uint32_t, int16_t*) { return int32_t(0); };
  f.Open = [](TTrelbo::FilterFn, int16_t*) { return int32_t(0); };
  f.Close = [] {};
  f.ReadFirst = [](uint32_t*, uint16_t*, uint8_t*, uint16_t* length) {
    *length = 0;
    return int32_t(-1);
  };
  f.ReadNext = f.ReadFirst;
  f.Write = [](uint32_t*, uint32_t, const uint8_t*, uint32_t, int16_t*) { return int32_t(0); };
  TTrelbo trelbo;
  EXPECT_FALSE(trelbo.Attach(f));  // no Destroy
  EXPECT_FALSE(trelbo.Loaded());
  f.Destroy = [] {};
  EXPECT_TRUE(trelbo.Attach(f));
  EXPECT_TRUE(trelbo.Loaded());
  EXPECT_EQ(trelbo.JournalOpen(nullptr), 0);
}

}  // namespace
}  // namespace kalmet
