#include "session/file_log.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "temp_dir.h"

namespace fs = std::filesystem;

namespace kalmet {
namespace {

using testing::TempDir;

std::tm Day(int year, int month, int day, int hour = 10, int minute = 5, int second = 9) {
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_sec = second;
  return tm;
}

std::string ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

TEST(FileLog, WritesTimedLinesToTheDaysFileAndFollowsMidnight) {
  TempDir dir;
  std::tm now = Day(2010, 3, 7, 23, 59, 58);
  TFileLog log(dir.path() / "Logs", LogTag("Kalmet.exe"), [&] { return now; });
  ASSERT_TRUE(log.Write("Открытие файла a.xml"));
  ASSERT_TRUE(log.Write("second"));
  now = Day(2010, 3, 8, 0, 0, 1);
  ASSERT_TRUE(log.Write("next day"));

  EXPECT_EQ(ReadAll(dir.path() / "Logs" / "2010_03_07_Kalmet_exe.log"),
            "23:59:58 Открытие файла a.xml\r\n23:59:58 second\r\n");
  EXPECT_EQ(ReadAll(dir.path() / "Logs" / "2010_03_08_Kalmet_exe.log"), "00:00:01 next day\r\n");
}

TEST(FileLog, PurgesOldestOwnFilesOnlyAboveTheLimit) {
  TempDir dir;
  const fs::path logs = dir.path() / "Logs";
  fs::create_directories(logs);
  const std::string line = "12:00:00 x\r\n";  // what one Write("x") adds
  // Three old days of this program, and a foreign program's big file.
  std::ofstream(logs / "2010_03_01_Kalmet_exe.log") << std::string(400000, 'a');
  std::ofstream(logs / "2010_03_02_Kalmet_exe.log") << std::string(300000, 'b');
  std::ofstream(logs / "2010_03_03_Kalmet_exe.log") << std::string(300000 - line.size(), 'c');
  std::ofstream(logs / "2010_03_01_Other_exe.log") << std::string(900000, 'o');

  TFileLog log(logs, "Kalmet_exe", [] { return Day(2010, 3, 3, 12, 0, 0); });
  // Exactly at the limit after this write: nothing is deleted.
  ASSERT_TRUE(log.Write("x"));
  EXPECT_TRUE(fs::exists(logs / "2010_03_01_Kalmet_exe.log"));
  EXPECT_EQ(log.TotalSize(), 1000000);

  // One more line goes over: the oldest day goes, and only it (the total is then below).
  ASSERT_TRUE(log.Write("x"));
  EXPECT_FALSE(fs::exists(logs / "2010_03_01_Kalmet_exe.log"));
  EXPECT_TRUE(fs::exists(logs / "2010_03_02_Kalmet_exe.log"));
  EXPECT_TRUE(fs::exists(logs / "2010_03_01_Other_exe.log"));
  EXPECT_LT(log.TotalSize(), 1000000);
}

TEST(FileLog, TodaysFileAloneOverTheLimitIsDeletedAndStartedAnew) {
  TempDir dir;
  const fs::path logs = dir.path() / "Logs";
  TFileLog log(logs, "Kalmet_exe", [] { return Day(2010, 3, 3); });
  const std::string big(TFileLog::kSizeLimit, 'z');
  ASSERT_TRUE(log.Write(big));
  EXPECT_FALSE(fs::exists(logs / "2010_03_03_Kalmet_exe.log"));
  ASSERT_TRUE(log.Write("fresh"));
  EXPECT_EQ(ReadAll(logs / "2010_03_03_Kalmet_exe.log"), "10:05:09 fresh\r\n");
}

TEST(FileLog, UnwritableFolderLosesTheLineQuietly) {
  TempDir dir;
  const std::string blocker = dir.Write("Logs", "a file where the folder should be");
  TFileLog log(fs::path(blocker) / "sub", "Kalmet_exe", [] { return Day(2010, 3, 3); });
  EXPECT_FALSE(log.Write("lost"));
}

TEST(FileLog, WriteLogWithoutALogDoesNothing) {
  ShutdownLog();
  EXPECT_FALSE(WriteLog("nowhere"));
  TempDir dir;
  InitLog(dir.path() / "Logs", "t_exe");
  EXPECT_TRUE(WriteLog("somewhere"));
  ShutdownLog();
  int files = 0;
  for (const auto& e : fs::directory_iterator(dir.path() / "Logs")) {
    files += e.path().string().ends_with("_t_exe.log");
  }
  EXPECT_EQ(files, 1);
}

}  // namespace
}  // namespace kalmet
