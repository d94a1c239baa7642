#include "engine/pendcal_harness.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "gtest/gtest.h"

namespace pendcal_test {

namespace fs = std::filesystem;

namespace {

// The words of PENDCAL_PREFIX, then the program.
std::vector<std::string> Command() {
  std::vector<std::string> words;
  if (const char* prefix = std::getenv("PENDCAL_PREFIX")) {
    std::istringstream in(prefix);
    for (std::string w; in >> w;) words.push_back(w);
  }
  const char* exe = std::getenv("PENDCAL_EXE");
  words.push_back(exe != nullptr ? exe : PENDCAL_PATH);
  return words;
}

}  // namespace

bool UnderWine() { return std::getenv("PENDCAL_PREFIX") != nullptr; }

Result RunPendcal(const std::vector<std::string>& args,
                  const std::map<std::string, std::string>& files, const Options& options) {
  char pattern[] = "/tmp/pendcal-test-XXXXXX";
  const char* made = mkdtemp(pattern);
  if (made == nullptr) {
    ADD_FAILURE() << "mkdtemp failed";
    return {"", -1, ""};
  }
  fs::path dir(made);
  for (const auto& [name, text] : files) {
    fs::path path = dir / name;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
  }
  fs::create_directories(dir / options.cwd);
  fs::create_directories(dir / options.profile);

  const std::vector<std::string> command = Command();
  const std::string errPath = (dir / "stderr.txt").string();
  int out[2];
  if (pipe(out) != 0) {
    ADD_FAILURE() << "pipe failed";
    return {"", -1, ""};
  }
  pid_t pid = fork();
  if (pid == 0) {
    if (options.stdoutTo.empty()) {
      dup2(out[1], 1);
    } else if (options.stdoutTo == "-") {
      close(1);
    } else {
      int fd = open(options.stdoutTo.c_str(), O_WRONLY);
      if (fd < 0 || dup2(fd, 1) < 0) _exit(124);
      close(fd);
    }
    if (options.separateErrors) {
      int fd = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      if (fd < 0 || dup2(fd, 2) < 0) _exit(124);
      close(fd);
    } else {
      dup2(out[1], 2);
    }
    close(out[0]);
    close(out[1]);
    int devnull = open("/dev/null", O_RDONLY);
    if (devnull >= 0) dup2(devnull, 0);
    std::string profile = (dir / options.profile).string();
    if (options.setUserProfile) {
      setenv("USERPROFILE", profile.c_str(), 1);
    } else {
      unsetenv("USERPROFILE");
    }
    setenv("HOME", profile.c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
    for (const auto& [variable, value] : options.env) {
      std::string v = value[0] == '@' ? dir.string() + value.substr(1) : value;
      setenv(variable.c_str(), v.c_str(), 1);
    }
    // The launcher under Wine hands this on as USERPROFILE.
    if (const char* p = getenv("USERPROFILE")) {
      setenv("PENDCAL_USERPROFILE", p, 1);
    } else {
      unsetenv("PENDCAL_USERPROFILE");
    }
    if (options.addressSpace > 0) {
      rlimit limit = {static_cast<rlim_t>(options.addressSpace),
                      static_cast<rlim_t>(options.addressSpace)};
      if (setrlimit(RLIMIT_AS, &limit) != 0) _exit(125);
    }
    // A start that fails says why in the output, where the test shows it.
    if (chdir((dir / options.cwd).c_str()) != 0) {
      dprintf(2, "pendcal_harness: cannot enter %s: %s\n", (dir / options.cwd).c_str(),
              std::strerror(errno));
      _exit(126);
    }
    std::vector<char*> argv;
    for (const std::string& w : command) argv.push_back(const_cast<char*>(w.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    dprintf(2, "pendcal_harness: cannot run %s: %s\n", argv[0], std::strerror(errno));
    _exit(127);
  }
  close(out[1]);
  Result result{"", -1, ""};
  char buffer[65536];
  ssize_t n;
  while ((n = read(out[0], buffer, sizeof buffer)) > 0) result.out.append(buffer, n);
  close(out[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  if (options.separateErrors) {
    std::ifstream file(errPath, std::ios::binary);
    result.err.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  }
  if (UnderWine()) {
    for (std::string* text : {&result.out, &result.err}) {
      std::string::size_type at = 0;
      while ((at = text->find("\r\n", at)) != std::string::npos) text->erase(at, 1);
    }
  }
  std::error_code ignored;
  fs::remove_all(dir, ignored);
  return result;
}

Result RunReminders(const std::string& text, const std::vector<std::string>& args) {
  std::vector<std::string> all = {"-f", "test.pnd"};
  all.insert(all.end(), args.begin(), args.end());
  return RunPendcal(all, {{"test.pnd", text}});
}

}  // namespace pendcal_test
