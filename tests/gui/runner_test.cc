#include "gui/runner.h"

#include <errno.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
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

TEST(Runner, ExportArgumentsAskForACalendar) {
  EXPECT_EQ(Lines({"-i", "-b", "7", "-a", "14", "10", "jul", "2005"}),
            gui::exportArguments({10, 7, 2005}, 7, 14));
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

TEST(Runner, TimeLimitFromTheEnvironmentText) {
  using std::chrono::milliseconds;
  struct Case {
    const char* text;
    long long expected;
  };
  const Case cases[] = {
      {nullptr, 10000}, {"", 10000},   {"30", 30000},       {"0.5", 500},  {"2.25", 2250},
      {"0", 10000},     {"-3", 10000}, {"ten", 10000},      {"5s", 10000}, {"1e9", 10000},
      {"nan", 10000},   {"0.0001", 1}, {"86400", 86400000},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(milliseconds(c.expected), gui::parseTimeLimit(c.text)) << (c.text ? c.text : "null");
  }
}

TEST(Runner, EndingLineTellsAFailedEngineFromAnEmptyDay) {
  struct Case {
    const char* output;
    int status, signal;
    bool timedOut, cut;
    long long limit;
    const char* expected;
  };
  const Case cases[] = {
      {"", 0, 0, false, false, 10000, ""},
      {"pendra.pnd(3): error\n", 1, 0, false, false, 10000, ""},          // its error report
      {"", 1, 0, false, false, 10000, "(pendcal exited with status 1)"},  // no report: killed
      {"x\n", 3, 0, false, false, 10000, "(pendcal exited with status 3)"},
      {"", 255, 0, false, false, 10000, "(pendcal exited with status 255)"},
      {"", 0, 9, false, false, 10000, "(pendcal ended by signal 9)"},
      {"x\n", 0, 11, false, false, 10000, "(pendcal ended by signal 11)"},
      {"", static_cast<int>(0xC00000FDu), 0, false, false, 10000,
       "(pendcal exited with status 0xC00000FD)"},  // a Windows stack overflow
      {"", 0, 9, true, false, 10000, "(pendcal stopped at the time limit of 10 s)"},
      {"x\n", 1, 0, true, false, 2500, "(pendcal stopped at the time limit of 2.5 s)"},
      {"x\n", 0, 9, false, true, 10000, ""},  // kOutputCut says why it was stopped
  };
  for (const Case& c : cases) {
    gui::EngineRun run;
    run.ok = true;
    run.output = c.output;
    run.status = c.status;
    run.signal = c.signal;
    run.timedOut = c.timedOut;
    run.cut = c.cut;
    run.timeLimit = std::chrono::milliseconds(c.limit);
    EXPECT_EQ(c.expected, gui::endingLine(run)) << c.status << " " << c.signal;
  }
}

TEST(Runner, EnginesThatFailLoopOrAreKilled) {
  StandInEngines engines;
  struct Case {
    const char* name;
    const char* body;
    Lines expected;
  };
  const std::string limit = "(pendcal stopped at the time limit of 0.4 s)";
  const Case cases[] = {
      {"empty day", "exit 0\n", {}},
      {"error report",
       "echo 'pendra.pnd(3): error: not an action'; exit 1\n",
       {"pendra.pnd(3): error: not an action"}},
      {"odd status", "echo partial; exit 3\n", {"partial", "(pendcal exited with status 3)"}},
      {"killed", "echo before; kill -9 $$\n", {"before", "(pendcal ended by signal 9)"}},
      {"crash", "kill -SEGV $$\n", {"(pendcal ended by signal 11)"}},
      {"endless loop", "echo started; while :; do :; done\n", {"started", limit}},
      // The engine's own child holds the pipe: the whole group is stopped.
      {"endless child", "sleep 1000\n", {limit}},
      {"closed output", "exec >&- 2>&-; sleep 1000\n", {limit}},
  };
  for (const Case& c : cases) {
    gui::EngineRequest request;
    request.path = engines.write("pendcal", c.body);
    request.timeLimit = std::chrono::milliseconds(400);
    auto start = std::chrono::steady_clock::now();
    gui::EngineRun run = gui::runEngine(request);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << c.name;
    EXPECT_EQ(c.expected, gui::listLines(run, request.path)) << c.name;
  }
}

TEST(Runner, StopEndsARunFromAnotherThread) {
  StandInEngines engines;
  struct Case {
    const char* name;
    int delayMs;  // before stop(); -1: stop() before run()
  };
  const Case cases[] = {{"before", -1}, {"during", 200}};
  for (const Case& c : cases) {
    gui::EngineRequest request;
    request.path = engines.write("pendcal", "echo started; while :; do :; done\n");
    request.timeLimit = std::chrono::seconds(60);
    gui::EngineJob job(request);
    if (c.delayMs < 0) job.stop();
    std::thread stopper([&] {
      if (c.delayMs < 0) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(c.delayMs));
      job.stop();
    });
    auto start = std::chrono::steady_clock::now();
    gui::EngineRun run = job.run();
    stopper.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << c.name;
    EXPECT_TRUE(run.stopped) << c.name;
    EXPECT_FALSE(run.timedOut) << c.name;
    EXPECT_EQ(c.delayMs < 0 ? "" : "started\n", run.output) << c.name;
  }
  {  // stop() after the end is too late to matter, and harmless
    gui::EngineJob job({engines.write("quick", "echo done\n"), {}});
    gui::EngineRun run = job.run();
    job.stop();
    EXPECT_FALSE(run.stopped);
    EXPECT_EQ("done\n", run.output);
  }
}

TEST(Runner, StandardErrorApart) {
  StandInEngines engines;
  gui::EngineRequest request;
  request.path =
      engines.write("pendcal", "echo BEGIN:VCALENDAR; echo 'warning' >&2; echo END:VCALENDAR\n");
  request.errorsApart = true;
  gui::EngineRun run = gui::runEngine(request);
  EXPECT_TRUE(run.ok);
  EXPECT_EQ("BEGIN:VCALENDAR\nEND:VCALENDAR\n", run.output);
  EXPECT_EQ("warning\n", run.errors);
}

TEST(Runner, EngineDiesWithItsRunner) {
  // A stand-in pendra that is killed while its engine runs; the engine
  // writes its pid first, so we can see whether it outlived the runner.
  StandInEngines engines;
  std::string pidFile = engines.directory() + "engine.pid";
  std::string path = engines.write("pendcal", "echo $$ > \"" + pidFile + "\"; exec sleep 1000\n");
  pid_t runner = fork();
  if (runner == 0) {
    gui::runEngine(path, {});
    _exit(0);
  }
  ASSERT_GT(runner, 0);
  pid_t engine = 0;
  for (int i = 0; i < 500 && engine == 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::ifstream(pidFile) >> engine;
  }
  ASSERT_GT(engine, 0);
  ASSERT_EQ(0, kill(engine, 0));
  kill(runner, SIGKILL);
  waitpid(runner, nullptr, 0);
  bool gone = false;
  for (int i = 0; i < 500 && !gone; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    gone = kill(engine, 0) != 0 && errno == ESRCH;
  }
  EXPECT_TRUE(gone);
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
  gui::EngineRequest endless{engines.write("spin", "while :; do :; done\n"), {}};
  endless.timeLimit = std::chrono::milliseconds(100);
  gui::runEngine(endless);
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

TEST(Runner, ListingAndCalendarArguments) {
  EXPECT_EQ(Lines({"-k", "-l", "-b", "7", "-a", "14", "10", "jul", "2005"}),
            gui::listingArguments({10, 7, 2005}, 7, 14, ""));
  EXPECT_EQ(Lines({"-k", "-l", "-f", "/h/my file.pnd", "-b", "0", "-a", "6", "1", "dec", "2026"}),
            gui::listingArguments({1, 12, 2026}, 0, 6, "/h/my file.pnd"));
  EXPECT_EQ(Lines({"-k", "-i", "-f", "a.pnd", "-b", "7", "-a", "14", "10", "jul", "2005"}),
            gui::calendarArguments({10, 7, 2005}, 7, 14, "a.pnd"));
}

TEST(Runner, WindowsCommandLineQuotesArgumentsThatNeedIt) {
  struct Case {
    std::string argument, expected;
  };
  const Case cases[] = {
      {"jul", "jul"},
      {"C:\\My Files\\pendra.pnd", "\"C:\\My Files\\pendra.pnd\""},
      {"C:\\dir with space\\", "\"C:\\dir with space\\\\\""},
      {"a\"b", "\"a\\\"b\""},
      {"a\\\"b", "\"a\\\\\\\"b\""},
      {"", "\"\""},
      {"tab\there", "\"tab\there\""},
  };
  for (const Case& c : cases)
    EXPECT_EQ("\"p.exe\" -f " + c.expected, gui::windowsCommandLine("p.exe", {"-f", c.argument}))
        << c.argument;
}

TEST(Runner, ExportsWithProblemsStillWriteAWholeCalendar) {
  struct Case {
    int status;
    const char* output;
    bool cut;
    bool succeeded;
  };
  const Case cases[] = {
      {0, "BEGIN:VCALENDAR\r\nEND:VCALENDAR\r\n", false, true},
      {1, "BEGIN:VCALENDAR\r\nEND:VCALENDAR\r\n", false, true},
      {1, "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\n", false, false},
      {1, "usage: pendcal [OPTION] [DATE]\n", false, false},
      {2, "BEGIN:VCALENDAR\r\nEND:VCALENDAR\r\n", false, false},
      {0, "BEGIN:VCALENDAR\r\nEND:VCALENDAR\r\n", true, false},
  };
  for (const Case& c : cases) {
    gui::EngineRun run;
    run.ok = true;
    run.status = c.status;
    run.output = c.output;
    run.cut = c.cut;
    EXPECT_EQ(c.succeeded, gui::exportSucceeded(run)) << c.status << " " << c.output;
  }
}
