// pendcal where platforms differ: names outside ASCII, the bytes of a
// reminder file, the native stack. Run as a program, so the Windows build
// under Wine meets the same expectations (tools/test-wine.sh).
#include <string>

#include "engine/pendcal_harness.h"
#include "gtest/gtest.h"
#include "tests/sanitizer.h"

namespace {

using pendcal_test::Options;
using pendcal_test::RunPendcal;
using pendcal_test::RunReminders;

// The sanitizer build spends several times the native stack per level.
#if defined(PENDRA_TEST_ASAN)
constexpr int kDeepButFine = 4000;
#else
constexpr int kDeepButFine = 30000;
#endif

TEST(Platform, NamesAndTextOutsideAscii) {
  // The profile directory, the reminder file and an included file: the
  // default search and include both find them, and UTF-8 text stays as it is.
  Options ivan;
  ivan.profile = "Иван";
  auto r = RunPendcal({"1", "jan", "2005"},
                      {{"Иван/pendra.pnd", "(include \"файл.pnd\")\njan 1 remind [Café].\n"},
                       {"Иван/файл.pnd", "jan 1 remind [из файла].\n"}},
                      ivan);
  EXPECT_EQ(0, r.status);
  EXPECT_EQ("из файла\nCafé\n", r.out);
  // Error lines name such a file as it was given.
  r = RunPendcal({"-f", "папка/файл.pnd", "1", "jan", "2005"},
                 {{"папка/файл.pnd", "jan 1 remind [ü].\njan 1 remind 5.\n"}});
  EXPECT_EQ("папка/файл.pnd(2): error: remind must be followed by a string\nü\n", r.out);
  r = RunPendcal({"-f", "папка/нет.pnd"});
  EXPECT_EQ(1, r.status);
  EXPECT_EQ("fatal error: unable to open папка/нет.pnd\n", r.out);
}

TEST(Platform, FileBytesAreReadAsTheyAre) {
  // Ctrl-Z is an ordinary byte (text in brackets, blank between entries),
  // not the end of the file, and CR LF ends one line.
  auto r =
      RunReminders("jan 1 remind [a\x1a z].\r\n\x1a\r\njan 1 remind 5.\r\njan 1 remind [b].\r\n",
                   {"1", "jan", "2005"});
  EXPECT_EQ(0, r.status);
  EXPECT_EQ("test.pnd(3): error: remind must be followed by a string\na\x1a z\nb\n", r.out);
}

TEST(Platform, DeepRecursionEndsInAReport) {
  const std::string f = "(define (f n) (if (= n 0) 0 (+ 1 (f (- n 1)))))\n";
  const std::string depth = std::to_string(kDeepButFine);
  auto r = RunReminders(f + "(f " + depth + ")\n");
  EXPECT_EQ(0, r.status);
  EXPECT_EQ(depth + "\n", r.out);
  r = RunReminders(f + "(f 1000000)\n");
  EXPECT_EQ(1, r.status);
  EXPECT_EQ(0u, r.out.find("Recursion too deep: ")) << r.out.substr(0, 200);
  EXPECT_EQ("eval (f 1000000)\n    test.pnd(2): (f 1000000)\n", r.out.substr(r.out.rfind("eval ")));
}

}  // namespace
