#include "gui/safe_write.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "stand_in_engines.h"

namespace {

std::string contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void put(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// Reads the file as the window would before changing it.
gui::FileStamp stampOf(const std::string& path) {
  std::string bytes, reason;
  gui::FileStamp stamp;
  EXPECT_TRUE(gui::readFile(path, &bytes, &stamp, &reason)) << reason;
  return stamp;
}

TEST(SafeWrite, ReplacesAndKeepsTheOldFileAsBackup) {
  StandInEngines scratch;
  std::string path = scratch.directory() + "pendra.pnd";
  put(path, "old\r\n");
  chmod(path.c_str(), 0640);
  gui::WriteResult result = gui::replaceFile(path, stampOf(path), "old\r\nnew\r\n");
  ASSERT_TRUE(result.ok) << result.reason;
  EXPECT_EQ("old\r\nnew\r\n", contents(path));
  EXPECT_EQ("old\r\n", contents(scratch.directory() + "pendra.pnd~"));
  EXPECT_FALSE(std::filesystem::exists(path + ".new"));
  struct stat info;
  ASSERT_EQ(0, stat(path.c_str(), &info));
  EXPECT_EQ(0640u, info.st_mode & 0777);
  // Again: the backup is now the previous version.
  ASSERT_TRUE(gui::replaceFile(path, stampOf(path), "third\n").ok);
  EXPECT_EQ("old\r\nnew\r\n", contents(gui::backupPath(path)));
}

TEST(SafeWrite, RefusalsAndFailuresLeaveTheFileAsItWas) {
  StandInEngines scratch;
  std::string path = scratch.directory() + "pendra.pnd";
  struct Case {
    const char* name;
    void (*spoil)(const std::string& path);  // between the read and the write
    std::string reason;
  };
  const Case cases[] = {
      {"changed", [](const std::string& p) { put(p, "changed by an editor\n"); },
       gui::kChangedSinceRead},
      {"removed", [](const std::string& p) { std::filesystem::remove(p); }, gui::kChangedSinceRead},
      {"read-only", [](const std::string& p) { chmod(p.c_str(), 0444); }, gui::kReadOnlyFile},
      {"directory in the new copy's place",
       [](const std::string& p) { std::filesystem::create_directory(p + ".new"); },
       "Is a directory"},
  };
  for (const Case& c : cases) {
    put(path, "original\n");
    chmod(path.c_str(), 0644);
    gui::FileStamp stamp = stampOf(path);
    // Size changes are seen even when the clock's step is coarse.
    c.spoil(path);
    std::string spoiled = std::filesystem::exists(path) ? contents(path) : "(none)";
    gui::WriteResult result = gui::replaceFile(path, stamp, "replacement\n");
    EXPECT_FALSE(result.ok) << c.name;
    EXPECT_EQ(c.reason, result.reason) << c.name;
    EXPECT_EQ(spoiled, std::filesystem::exists(path) ? contents(path) : "(none)") << c.name;
    EXPECT_FALSE(std::filesystem::exists(gui::backupPath(path))) << c.name;
    std::filesystem::remove(path + ".new");
    std::filesystem::remove(path);
  }
}

TEST(SafeWrite, CreatesNewFiles) {
  StandInEngines scratch;
  std::string directory = scratch.directory() + "a/b/c";
  std::string reason;
  ASSERT_TRUE(gui::makeDirectories(directory, &reason)) << reason;
  ASSERT_TRUE(gui::makeDirectories(directory, &reason)) << reason;  // already there
  std::string path = directory + "/pendra.pnd";
  ASSERT_TRUE(gui::createFile(path, "starter\n", gui::Existing::Refuse).ok);
  EXPECT_EQ("starter\n", contents(path));
  gui::WriteResult again = gui::createFile(path, "other\n", gui::Existing::Refuse);
  EXPECT_FALSE(again.ok);
  EXPECT_EQ(gui::kFileExists, again.reason);
  EXPECT_EQ("starter\n", contents(path));
  ASSERT_TRUE(gui::createFile(path, "replaced\n", gui::Existing::Replace).ok);
  EXPECT_EQ("replaced\n", contents(path));
  EXPECT_FALSE(std::filesystem::exists(path + ".new"));
  // Into a directory that is not there: the reason, and no file.
  gui::WriteResult lost = gui::createFile(scratch.directory() + "none/x.ics", "x");
  EXPECT_FALSE(lost.ok);
  EXPECT_EQ("No such file or directory", lost.reason);
  // A file where a directory should be.
  EXPECT_FALSE(gui::makeDirectories(path + "/below", &reason));
}

TEST(SafeWrite, FullDiskKeepsTheOldFile) {
  // /dev/full takes no bytes; writing "beside" it is refused by /dev, so a
  // link to it stands in for a disk that fills up during the write.
  ASSERT_EQ(0, access("/dev/full", W_OK));
  StandInEngines scratch;
  std::string path = scratch.directory() + "pendra.ics";
  put(path, "BEGIN:VCALENDAR\r\nEND:VCALENDAR\r\n");
  std::filesystem::create_symlink("/dev/full", path + ".new");
  gui::WriteResult result = gui::createFile(path, std::string(20000, 'x'));
  EXPECT_FALSE(result.ok);
  EXPECT_EQ("No space left on device", result.reason);
  EXPECT_EQ("BEGIN:VCALENDAR\r\nEND:VCALENDAR\r\n", contents(path));
}

}  // namespace
