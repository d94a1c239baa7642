// The directory of a file, on POSIX, when the current directory is gone.
#include "engine/platform.h"

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>

#include "gtest/gtest.h"

namespace {

TEST(Platform, DirectoryOfAFileReadFromADeletedDirectory) {
  int here = open(".", O_RDONLY);
  ASSERT_GE(here, 0);
  char pattern[] = "/tmp/pendcal-cwd-XXXXXX";
  ASSERT_NE(nullptr, mkdtemp(pattern));
  ASSERT_EQ(0, chdir(pattern));
  ASSERT_EQ(0, rmdir(pattern));
  // The name stays relative, and the call ends.
  EXPECT_EQ("../", engine::fileDirectory("../x.pnd"));
  EXPECT_EQ("", engine::fileDirectory("x.pnd"));
  EXPECT_EQ("/etc/", engine::fileDirectory("/etc/x.pnd"));
  ASSERT_EQ(0, fchdir(here));
  close(here);
  EXPECT_EQ('/', engine::fileDirectory("x.pnd")[0]);
}

}  // namespace
#endif
