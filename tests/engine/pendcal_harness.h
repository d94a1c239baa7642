// Runs the built pendcal as a user would: in a fresh temporary directory that
// holds the given files and serves as current directory and profile directory.
#ifndef PENDRA_TESTS_ENGINE_PENDCAL_HARNESS_H_
#define PENDRA_TESTS_ENGINE_PENDCAL_HARNESS_H_

#include <map>
#include <string>
#include <vector>

namespace pendcal_test {

struct Result {
  std::string out;  // standard output and standard error, interleaved
  int status;       // exit status; 128 + signal number when killed
};

struct Options {
  std::string cwd;             // current directory, relative to the temporary one
  std::string profile;         // USERPROFILE (and HOME), relative to the temporary one
  bool setUserProfile = true;  // false: USERPROFILE unset, HOME alone names the profile
  std::map<std::string, std::string> environment = {};  // further variables for pendcal
  long long addressSpace = 0;  // bytes of address space pendcal may use; 0: no limit
};

// Runs pendcal with args. files maps relative paths to contents; their
// directories are created.
Result RunPendcal(const std::vector<std::string>& args,
                  const std::map<std::string, std::string>& files = {},
                  const Options& options = {});

// Writes text to "test.pnd" and runs "pendcal -f test.pnd" followed by args.
Result RunReminders(const std::string& text, const std::vector<std::string>& args = {});

}  // namespace pendcal_test

#endif  // PENDRA_TESTS_ENGINE_PENDCAL_HARNESS_H_
