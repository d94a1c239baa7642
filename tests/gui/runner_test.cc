#include "gui/runner.h"

#include <errno.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>
#include <string>
#include <vector>

#include "stand_in_engines.h"

using Lines = std::vector<std::string>;

TEST(Runner, EngineArguments) {
  struct Case {
    pendra::Date date;
    int before, after;
    Lines expected;
  };
  const Case cases[] = {
      {{7, 7, 2005}, 7, 14, {"-b", "7", "-a", "14", "7", "jul", "2005"}},
      {{29, 2, 2004}, 7, 14, {"-b", "7", "-a", "14", "29", "feb", "2004"}},
      {{1, 1, 1800}, 0, 3, {"-b", "0", "-a", "3", "1", "jan", "1800"}},
      {{31, 12, 9999}, 2, 1, {"-b", "2", "-a", "1", "31", "dec", "9999"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.expected, gui::engineArguments(c.date, c.before, c.after))
        << c.date.day << "/" << int(c.date.month) << "/" << c.date.year;
  }
}

TEST(Runner, EnginePath) {
  EXPECT_EQ("/opt/pendra/bin/pendcal", gui::enginePathIn("/opt/pendra/bin/"));
  EXPECT_EQ("pendcal", gui::enginePathIn(""));
  // The directory of this very test program.
  std::string expected =
      std::filesystem::canonical(std::filesystem::path(TEST_BINARY_DIR)).string() + "/";
  EXPECT_EQ(expected, gui::executableDirectory());
  EXPECT_EQ(expected + "pendcal", gui::enginePath());
}

TEST(Runner, WindowsCommandLineQuotesTheProgram) {
  EXPECT_EQ("\"C:\\Program Files\\Pendra\\pendcal.exe\" -b 7 -a 14 10 jul 2005",
            gui::windowsCommandLine("C:\\Program Files\\Pendra\\pendcal.exe",
                                    gui::engineArguments({10, 7, 2005}, 7, 14)));
  EXPECT_EQ("\"pendcal.exe\"", gui::windowsCommandLine("pendcal.exe", {}));
}

TEST(Runner, SplitLines) {
  struct Case {
    const char* text;
    Lines expected;
  };
  const Case cases[] = {
      {"", {}},
      {"one", {"one"}},
      {"one\n", {"one"}},
      {"one\ntwo", {"one", "two"}},
      {"one\r\ntwo\r\n", {"one", "two"}},
      {"\n", {""}},
      {"\n\n", {"", ""}},
      {"usage\n\nnext\n", {"usage", "", "next"}},
      {"\r\n\r\n", {"", ""}},
      {"a\rb\n", {"a\rb"}},      // only a CR right before LF goes
      {"tail\r", {"tail\r"}},    // no line feed follows it
      {"two\r\r\n", {"two\r"}},  // one CR goes, not two
  };
  for (const Case& c : cases) EXPECT_EQ(c.expected, gui::splitLines(c.text)) << c.text;
}

TEST(Runner, ListLines) {
  const std::string path = "/somewhere/pendcal";
  gui::EngineRun failed;
  EXPECT_EQ(Lines({"Error executing pendcal", path}), gui::listLines(failed, path));

  gui::EngineRun empty;
  empty.ok = true;
  EXPECT_EQ(Lines(), gui::listLines(empty, path));

  gui::EngineRun report;
  report.ok = true;
  report.output = "thu  7 jul 2005: Birthday\r\n  ---today---  : Pay day\r\n";
  EXPECT_EQ(Lines({"thu  7 jul 2005: Birthday", "  ---today---  : Pay day"}),
            gui::listLines(report, path));

  report.cut = true;
  EXPECT_EQ(Lines({"thu  7 jul 2005: Birthday", "  ---today---  : Pay day",
                   "(output cut after 1048576 bytes)"}),
            gui::listLines(report, path));

  // A failed read wins over whatever arrived before it.
  report.ok = false;
  EXPECT_EQ(Lines({"Error executing pendcal", path}), gui::listLines(report, path));
}

TEST(Runner, RunsStandInEngines) {
  StandInEngines engines;
  struct Case {
    const char* name;
    const char* body;
    std::string expected;
  };
  const Case cases[] = {
      // The arguments arrive one by one, untouched by any shell.
      {"args", "for a in \"$0\" \"$@\"; do printf '[%s]\\n' \"$a\"; done\n",
       "[" + engines.directory() + "args]\n[-b]\n[7]\n[-a]\n[14]\n[10]\n[jul]\n[2005]\n"},
      // Standard error shares the pipe.
      {"stderr", "echo out; echo err >&2; echo out again\n", "out\nerr\nout again\n"},
      // Output in pieces, with pauses, is read to the end.
      {"pieces", "printf one; sleep 0.2; printf ' two\\n'; sleep 0.2; echo three\n",
       "one two\nthree\n"},
      // Standard input is at its end at once, so reading it cannot hang.
      {"reads", "cat; echo read to the end\n", "read to the end\n"},
      // A failing engine still shows what it printed (its usage text).
      {"usage", "printf 'usage: pendcal [OPTION] [DATE]\\n\\nmonth\\n'; exit 1\n",
       "usage: pendcal [OPTION] [DATE]\n\nmonth\n"},
      {"silent", "exit 0\n", ""},
  };
  for (const Case& c : cases) {
    gui::EngineRun run =
        gui::runEngine(engines.write(c.name, c.body), gui::engineArguments({10, 7, 2005}, 7, 14));
    EXPECT_TRUE(run.ok) << c.name;
    EXPECT_FALSE(run.cut) << c.name;
    EXPECT_EQ(c.expected, run.output) << c.name;
  }
}

TEST(Runner, EngineThatCannotStart) {
  StandInEngines engines;
  const std::string paths[] = {
      engines.missing(), engines.write("plain", "echo never\n", /*executable=*/false),
      engines.directory(),  // a directory
  };
  for (const std::string& path : paths) {
    gui::EngineRun run = gui::runEngine(path, {});
    EXPECT_FALSE(run.ok) << path;
    EXPECT_EQ("", run.output) << path;
    EXPECT_EQ(Lines({"Error executing pendcal", path}), gui::listLines(run, path));
  }
}

TEST(Runner, ReadsAHundredKilobytes) {
  StandInEngines engines;
  // 1000 lines of 100 bytes: the line number padded with zeros to 99 digits.
  std::string path = engines.write(
      "big", "i=0; while [ $i -lt 1000 ]; do printf '%099d\\n' $i; i=$((i+1)); done\n");
  gui::EngineRun run = gui::runEngine(path, {});
  ASSERT_TRUE(run.ok);
  EXPECT_FALSE(run.cut);
  EXPECT_EQ(100000u, run.output.size());
  Lines lines = gui::listLines(run, path);
  ASSERT_EQ(1000u, lines.size());
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string number = std::to_string(i);
    ASSERT_EQ(std::string(99 - number.size(), '0') + number, lines[i]) << i;
  }
}

TEST(Runner, CutsEndlessOutputAtTheCap) {
  StandInEngines engines;
  std::string path = engines.write("endless", "exec yes 0123456789abcdef\n");
  gui::EngineRun run = gui::runEngine(path, {});
  ASSERT_TRUE(run.ok);
  EXPECT_TRUE(run.cut);
  EXPECT_EQ(gui::kOutputCap, run.output.size());
  Lines lines = gui::listLines(run, path);
  // 17 bytes a line; the cap falls inside a line, which is kept as it came.
  ASSERT_EQ(gui::kOutputCap / 17 + 2, lines.size());
  for (size_t i = 0; i + 2 < lines.size(); ++i) ASSERT_EQ("0123456789abcdef", lines[i]) << i;
  EXPECT_EQ(std::string("0123456789abcdef").substr(0, gui::kOutputCap % 17),
            lines[lines.size() - 2]);
  EXPECT_EQ("(output cut after 1048576 bytes)", lines.back());
}

TEST(Runner, LeavesNoChildBehind) {
  StandInEngines engines;
  gui::runEngine(engines.write("quick", "echo hello\n"), {});
  gui::runEngine(engines.write("late", "exec >&-; exec 2>&-; sleep 0.3; exit 3\n"), {});
  gui::runEngine(engines.write("endless", "exec yes\n"), {});
  gui::runEngine(engines.missing(), {});
  // Every child has been waited for: none is left, not even a zombie.
  errno = 0;
  EXPECT_EQ(-1, waitpid(-1, nullptr, WNOHANG));
  EXPECT_EQ(ECHILD, errno);
}

TEST(Runner, UpdateLines) {
  StandInEngines engines;
  std::string path =
      engines.write("report", "echo \"$@\"; printf '  ---today---  : Birthday\\r\\n'\n");
  EXPECT_EQ(Lines({"-b 7 -a 14 29 feb 2004", "  ---today---  : Birthday"}),
            gui::updateLines(path, {29, 2, 2004}));
  EXPECT_EQ(Lines({"Error executing pendcal", engines.missing()}),
            gui::updateLines(engines.missing(), {29, 2, 2004}));
}
