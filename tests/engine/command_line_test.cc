// pendcal's command line, run as a program.
#include <algorithm>
#include <map>
#include <regex>
#include <string>

#include "common/date.h"
#include "engine/pendcal_harness.h"
#include "gtest/gtest.h"

namespace {

using pendcal_test::Options;
using pendcal_test::RunPendcal;
using pendcal_test::RunReminders;

// The lines before the places searched, on every system.
#define USAGE_HEAD                            \
  "usage: pendcal [OPTION] [DATE]\n"          \
  "    -v               version\n"            \
  "    -b <days>        days before\n"        \
  "    -a <days>        days after\n"         \
  "    -f <filename>    pendra file\n"        \
  "    -i               iCalendar output\n"   \
  "DATE: day, month, and year in any order\n" \
  "month is jan, feb, ... dec\n"              \
  "\n"                                        \
  "if no filename is specified, pendcal looks for the following:\n"

const char kUsage[] = USAGE_HEAD
    "$USERPROFILE/pendra.pnd\n"
    "$USERPROFILE/pendra/pendra.pnd\n"
    "$USERPROFILE/My Documents/pendra.pnd\n"
    "$USERPROFILE/My Documents/Pendra/pendra.pnd\n"
    "$HOME/.config/pendra/pendra.pnd\n";

// Windows searches the four profile places only, and names them so.
const char kWindowsUsage[] = USAGE_HEAD
    "%USERPROFILE%\\pendra.pnd\n"
    "%USERPROFILE%\\pendra\\pendra.pnd\n"
    "My Documents\\pendra.pnd\n"
    "My Documents\\Pendra\\pendra.pnd\n";

// The usage text of the program under test.
std::string Usage() { return pendcal_test::UnderWine() ? kWindowsUsage : kUsage; }

// "mon  7 jul 2005: " for a header line of that day.
std::string Header(pendra::Date d) {
  char text[64];
  std::snprintf(text, sizeof text,
                "%s %2d %s %d: ", pendra::kWeekdayNames[pendra::weekdayOf(d.day, d.month, d.year)],
                d.day, pendra::kMonthNames[d.month], static_cast<int>(d.year));
  return text;
}

TEST(CommandLine, VersionPrintsBuildDateAndDoesNotSearch) {
  // No reminder file anywhere: -v must not care.
  auto r = RunPendcal({"-v"});
  EXPECT_EQ(0, r.status);
  EXPECT_TRUE(
      std::regex_match(r.out, std::regex(R"(pendcal 0\.1 \([A-Z][a-z]{2} [ 123]\d \d{4}\)\n)")))
      << r.out;
  // Processing stops at -v: a later bad option is never seen.
  EXPECT_EQ(0, RunPendcal({"-v", "-x"}).status);
}

TEST(CommandLine, BadOptionsPrintUsage) {
  for (auto args : std::vector<std::vector<std::string>>{
           {"-x"}, {"-"}, {"-a"}, {"-b"}, {"-f"}, {"-a", "3", "-b"}, {"-q", "-v"}}) {
    auto r = RunPendcal(args, {{"pendra.pnd", "remind [never shown]."}});
    EXPECT_EQ(1, r.status) << args[0];
    EXPECT_EQ(Usage(), r.out) << args[0];
  }
}

TEST(CommandLine, MissingFileIsFatal) {
  auto r = RunPendcal({"-f", "missing.pnd"}, {{"pendra.pnd", "remind [x]."}});
  EXPECT_EQ(1, r.status);
  EXPECT_EQ("fatal error: unable to open missing.pnd\n", r.out);
  // The argument after -f is always a file name, even one that looks like a number.
  r = RunPendcal({"-f", "2005", "25", "dec", "2005"}, {{"2005", "dec 25 remind [from 2005]."}});
  EXPECT_EQ(0, r.status);
  EXPECT_EQ("from 2005\n", r.out);
}

TEST(CommandLine, DefaultSearchTriesFourPlacesInOrder) {
  const char* places[] = {"pendra.pnd", "pendra/pendra.pnd", "My Documents/pendra.pnd",
                          "My Documents/Pendra/pendra.pnd"};
  for (int first = 0; first < 4; ++first) {
    std::map<std::string, std::string> files;
    for (int i = first; i < 4; ++i) files[places[i]] = "remind [place " + std::to_string(i) + "].";
    auto r = RunPendcal({}, files);
    EXPECT_EQ(0, r.status);
    EXPECT_EQ("place " + std::to_string(first) + "\n", r.out);
  }
  // Errors name the file by the path the search built.
  Options home;
  home.profile = "home";
  auto r = RunPendcal({}, {{"home/My Documents/Pendra/pendra.pnd", "remind 5."}}, home);
  EXPECT_TRUE(r.out.find("/home/My Documents/Pendra/pendra.pnd(1): error: ") != std::string::npos)
      << r.out;
}

TEST(CommandLine, DefaultSearchNeverLooksInTheCurrentDirectory) {
  Options o;
  o.cwd = "work";
  o.profile = "profile";
  auto r = RunPendcal({}, {{"work/pendra.pnd", "remind [x]."}}, o);
  EXPECT_EQ(1, r.status);
  EXPECT_EQ(Usage(), r.out);
}

TEST(CommandLine, ProfileFallsBackToHome) {
  if (pendcal_test::UnderWine()) GTEST_SKIP() << "HOME stands in for USERPROFILE on POSIX only";
  Options o;
  o.setUserProfile = false;
  auto r = RunPendcal({}, {{"pendra.pnd", "remind [home]."}}, o);
  EXPECT_EQ(0, r.status);
  EXPECT_EQ("home\n", r.out);
}

TEST(CommandLine, SearchPlacesFollowTheEnvironment) {
  if (pendcal_test::UnderWine()) GTEST_SKIP() << "HOME and XDG_CONFIG_HOME count on POSIX only";
  using Env = std::vector<std::pair<std::string, std::string>>;
  struct {
    Env env;
    std::map<std::string, std::string> files;
    const char* out;  // what the run prints, or the usage text's last lines
  } cases[] = {
      // The XDG configuration directory comes after the profile places.
      {{}, {{".config/pendra/pendra.pnd", "remind [config]."}}, "config\n"},
      {{},
       {{".config/pendra/pendra.pnd", "remind [config]."},
        {"My Documents/Pendra/pendra.pnd", "remind [profile]."}},
       "profile\n"},
      {{{"XDG_CONFIG_HOME", "@/cfg"}},
       {{"cfg/pendra/pendra.pnd", "remind [xdg]."}, {".config/pendra/pendra.pnd", "remind [no]."}},
       "xdg\n"},
      // An empty USERPROFILE is unset: HOME names the profile.
      {{{"USERPROFILE", ""}}, {{"pendra.pnd", "remind [home]."}}, "home\n"},
      // The usage text names the places searched.
      {{{"USERPROFILE", ""}, {"XDG_CONFIG_HOME", "@/cfg"}},
       {},
       "$HOME/My Documents/Pendra/pendra.pnd\n$XDG_CONFIG_HOME/pendra/pendra.pnd\n"},
      {{{"XDG_CONFIG_HOME", "relative"}},  // ignored, as XDG asks
       {{"relative/pendra/pendra.pnd", "remind [no]."}},
       "$USERPROFILE/My Documents/Pendra/pendra.pnd\n$HOME/.config/pendra/pendra.pnd\n"},
  };
  for (const auto& c : cases) {
    Options o;
    o.env = c.env;
    auto r = RunPendcal({}, c.files, o);
    std::string out = c.out;
    if (out[0] == '$') {
      EXPECT_EQ(1, r.status);
      EXPECT_EQ(out, r.out.substr(r.out.size() - std::min(r.out.size(), out.size())));
    } else {
      EXPECT_EQ(0, r.status);
      EXPECT_EQ(out, r.out);
    }
  }
}

TEST(CommandLine, ADirectoryOrUnreadableFileIsNotAReminderFile) {
  // Named with -f: fatal, as a file that cannot be opened.
  auto r = RunPendcal({"-f", "dir"}, {{"dir/x.pnd", "remind [x]."}});
  EXPECT_EQ(1, r.status);
  EXPECT_EQ("fatal error: unable to open dir\n", r.out);
  // Found by the search: reported, not passed over for the next place.
  r = RunPendcal({}, {{"pendra.pnd/x.pnd", "remind [x]."}, {"pendra/pendra.pnd", "remind [y]."}});
  EXPECT_EQ(1, r.status);
  EXPECT_TRUE(std::regex_match(r.out, std::regex("fatal error: unable to open /.*/pendra.pnd\n")))
      << r.out;
}

TEST(CommandLine, DateWordsInAnyOrder) {
  const char* entry = "remind [x].";
  std::string expected =
      Header(pendra::Date(25, 12, 2005)) + "x\n" + Header(pendra::Date(26, 12, 2005)) + "x\n";
  EXPECT_EQ(expected, RunReminders(entry, {"-a", "1", "25", "dec", "2005"}).out);
  EXPECT_EQ(expected, RunReminders(entry, {"-a", "1", "2005", "25", "DEC"}).out);
  EXPECT_EQ(expected,
            RunReminders(entry, {"-a", "1", "2004", "24", "nov", "2005", "25", "Dec"}).out);
  // Without a window there are no headers, and only the target day is reported.
  EXPECT_EQ("christmas\n", RunReminders("dec 25 remind [christmas]. dec 26 remind [boxing day].",
                                        {"25", "dec", "2005"})
                               .out);
}

TEST(CommandLine, UnsetFieldsKeepTodaysValues) {
  pendra::Date today = pendra::today();
  std::string entry = "remind [x].";
  // "dec 25": 25 December of this year (the window -b -1 -a 1 is the day after).
  EXPECT_EQ(Header(pendra::Date(26, 12, today.year)) + "x\n",
            RunReminders(entry, {"-a", "0", "-b", "0", "-a", "1", "-b", "-1", "dec", "25"}).out);
  // "july" is no month word: the 4th of the current month.
  EXPECT_EQ(Header(pendra::Date(4, today.month, today.year)) + "x\n" +
                Header(pendra::Date(5, today.month, today.year)) + "x\n",
            RunReminders(entry, {"-a", "1", "july", "4"}).out);
}

TEST(CommandLine, OptionsEndAtTheFirstDateWord) {
  // After a date word, -a is an ignored date word and 3 a day.
  auto r = RunReminders("3 remind [third]. 25 remind [25th].", {"25", "-a", "3"});
  EXPECT_EQ(0, r.status);
  EXPECT_EQ("third\n", r.out);
  // Only the letter after the dash counts; later options override earlier ones.
  r = RunReminders("remind [x].", {"-afoo", "5", "-a", "1", "-b", "0", "1", "jan", "2006"});
  EXPECT_EQ(Header(pendra::Date(1, 1, 2006)) + "x\n" + Header(pendra::Date(2, 1, 2006)) + "x\n",
            r.out);
  // -a 0 -b 0: no headers.
  EXPECT_EQ("x\n", RunReminders("remind [x].", {"-a", "0", "-b", "0"}).out);
}

}  // namespace
