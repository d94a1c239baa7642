// Runs the built pendcal as a user would: in a fresh temporary directory that
// holds the given files and serves as current directory and profile directory.
//
// Two environment variables run another build instead: PENDCAL_EXE names the
// program, and PENDCAL_PREFIX holds words put before it, split at spaces (a
// Wine loader and a launcher that sets USERPROFILE, see tests/wine/). With a
// prefix the program is taken for a Windows build: its CR LF line ends read
// as LF, and the profile also goes to the launcher as PENDCAL_USERPROFILE.
#ifndef PENDRA_TESTS_ENGINE_PENDCAL_HARNESS_H_
#define PENDRA_TESTS_ENGINE_PENDCAL_HARNESS_H_

#include <map>
#include <string>
#include <vector>

namespace pendcal_test {

struct Result {
  std::string out;  // standard output and standard error, interleaved
  int status;       // exit status; 128 + signal number when killed
  std::string err;  // standard error, when Options::separateErrors
};

struct Options {
  std::string cwd;             // current directory, relative to the temporary one
  std::string profile;         // USERPROFILE (and HOME), relative to the temporary one
  bool setUserProfile = true;  // false: USERPROFILE unset, HOME alone names the profile
  // Further variables, set after the ones above; "@" at the start of a value
  // stands for the temporary directory. XDG_CONFIG_HOME is unset unless
  // given here.
  std::vector<std::pair<std::string, std::string>> env = {};
  long long addressSpace = 0;   // bytes of address space pendcal may use; 0: no limit
  bool separateErrors = false;  // standard error into Result::err, not out
  // Standard output: "" the pipe of Result::out, "-" closed, else this file
  // opened for writing (such as /dev/full).
  std::string stdoutTo = "";
};

// True when the program runs under a prefix command: a Windows build under
// Wine. Tests of POSIX-only behaviour skip then.
bool UnderWine();

// Runs pendcal with args. files maps relative paths to contents; their
// directories are created.
Result RunPendcal(const std::vector<std::string>& args,
                  const std::map<std::string, std::string>& files = {},
                  const Options& options = {});

// Writes text to "test.pnd" and runs "pendcal -f test.pnd" followed by args.
Result RunReminders(const std::string& text, const std::vector<std::string>& args = {});

}  // namespace pendcal_test

#endif  // PENDRA_TESTS_ENGINE_PENDCAL_HARNESS_H_
