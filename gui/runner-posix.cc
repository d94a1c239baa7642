// The engine as a POSIX child: fork and exec with an argument vector, never
// a shell, so no character of the path or the arguments is interpreted.
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "gui/runner.h"

namespace gui {

namespace {

// A pipe whose ends are closed on exec; the child dups the ones it needs.
bool makePipe(int ends[2]) {
  if (pipe(ends) != 0) return false;
  fcntl(ends[0], F_SETFD, FD_CLOEXEC);
  fcntl(ends[1], F_SETFD, FD_CLOEXEC);
  return true;
}

void closeIfOpen(int& fd) {
  if (fd >= 0) close(fd);
  fd = -1;
}

// Runs in the child between fork and exec: only async-signal-safe calls.
[[noreturn]] void execChild(const char* path, char* const argv[], int input, int output,
                            int report) {
  if (dup2(input, STDIN_FILENO) < 0 || dup2(output, STDOUT_FILENO) < 0 ||
      dup2(output, STDERR_FILENO) < 0) {
    int error = errno;
    (void)!write(report, &error, sizeof error);
    _exit(127);
  }
  // A parent that ignores SIGPIPE would pass that on; the engine must die
  // when we stop reading at the cap.
  signal(SIGPIPE, SIG_DFL);
  execv(path, argv);
  int error = errno;
  (void)!write(report, &error, sizeof error);
  _exit(127);
}

// True when the child reports nothing before its exec closes the report pipe.
bool childStarted(int report) {
  int error = 0;
  ssize_t n;
  do {
    n = read(report, &error, sizeof error);
  } while (n < 0 && errno == EINTR);
  return n == 0;
}

void reap(pid_t pid) {
  while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
  }
}

}  // namespace

const char* engineFileName() { return "pendcal"; }

std::string executableDirectory() {
  std::string path(256, '\0');
  for (;;) {
    ssize_t n = readlink("/proc/self/exe", path.data(), path.size());
    if (n < 0) return std::string();
    if (static_cast<size_t>(n) < path.size()) {
      path.resize(static_cast<size_t>(n));
      break;
    }
    path.resize(path.size() * 2);
  }
  return path.substr(0, path.find_last_of('/') + 1);
}

EngineRun runEngine(const std::string& path, const std::vector<std::string>& arguments) {
  EngineRun run;
  // Everything the child needs is built before fork.
  std::vector<std::string> words;
  words.reserve(arguments.size() + 1);
  words.push_back(path);
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  int output[2] = {-1, -1}, input[2] = {-1, -1}, report[2] = {-1, -1};
  if (!makePipe(output) || !makePipe(input) || !makePipe(report)) {
    for (int* ends : {output, input, report}) {
      closeIfOpen(ends[0]);
      closeIfOpen(ends[1]);
    }
    return run;
  }
  pid_t pid = fork();
  if (pid == 0) execChild(path.c_str(), argv.data(), input[0], output[1], report[1]);
  closeIfOpen(output[1]);
  closeIfOpen(input[0]);
  closeIfOpen(report[1]);
  // Nothing is ever written to the engine; closing at once means an engine
  // that reads its input sees the end instead of waiting for us forever.
  closeIfOpen(input[1]);
  bool started = pid > 0 && childStarted(report[0]);
  closeIfOpen(report[0]);
  if (!started) {
    closeIfOpen(output[0]);
    if (pid > 0) reap(pid);
    return run;
  }

  run.ok = true;
  char buffer[32768];
  for (;;) {
    ssize_t n = read(output[0], buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      run.ok = false;
      break;
    }
    if (n == 0) break;
    size_t room = kOutputCap - run.output.size();
    if (static_cast<size_t>(n) > room) {
      run.output.append(buffer, room);
      run.cut = true;
      break;
    }
    run.output.append(buffer, static_cast<size_t>(n));
  }
  closeIfOpen(output[0]);
  // Past the cap (or a failed read) the rest of the report is unwanted: stop
  // the engine rather than wait for it to finish a long scan.
  if (run.cut || !run.ok) kill(pid, SIGKILL);
  reap(pid);
  return run;
}

}  // namespace gui
