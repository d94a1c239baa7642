// The engine as a POSIX child: fork and exec with an argument vector, never
// a shell, so no character of the path or the arguments is interpreted. The
// child leads its own process group, so that stopping it also stops what it
// started, and on Linux it dies with the thread that started it.
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif

#include <cstdio>
#include <string>
#include <vector>

#include "gui/runner.h"
#include "gui/runner_platform.h"

namespace gui {

struct ChildProcess {
  pid_t pid = -1;
  int output = -1;  // read end of standard output (and error, unless apart)
  int errors = -1;  // read end of standard error when kept apart
};

namespace {

// A pipe whose ends are closed on exec; the child dups the ones it needs.
// pipe2 sets the flag at once, so a fork on another thread cannot catch
// the ends without it.
bool makePipe(int ends[2]) { return pipe2(ends, O_CLOEXEC) == 0; }

void closeIfOpen(int& fd) {
  if (fd >= 0) close(fd);
  fd = -1;
}

// Runs in the child between fork and exec: only async-signal-safe calls.
[[noreturn]] void execChild(const char* path, char* const argv[], int input, int output, int errors,
                            int report, pid_t parent) {
  setpgid(0, 0);
#ifdef __linux__
  // If pendra dies without stopping us, so do we.
  if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || getppid() != parent) _exit(127);
#else
  (void)parent;
#endif
  if (dup2(input, STDIN_FILENO) < 0 || dup2(output, STDOUT_FILENO) < 0 ||
      dup2(errors, STDERR_FILENO) < 0) {
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

void reap(pid_t pid, int* status) {
  while (waitpid(pid, status, 0) < 0 && errno == EINTR) {
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

ChildProcess* startChild(const EngineRequest& request) {
  // Everything the child needs is built before fork.
  std::vector<std::string> words;
  words.reserve(request.arguments.size() + 1);
  words.push_back(request.path);
  words.insert(words.end(), request.arguments.begin(), request.arguments.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  int output[2] = {-1, -1}, errors[2] = {-1, -1}, input[2] = {-1, -1}, report[2] = {-1, -1};
  auto closeAll = [&] {
    for (int* ends : {output, errors, input, report}) {
      closeIfOpen(ends[0]);
      closeIfOpen(ends[1]);
    }
  };
  if (!makePipe(output) || (request.errorsApart && !makePipe(errors)) || !makePipe(input) ||
      !makePipe(report)) {
    closeAll();
    return nullptr;
  }
  pid_t parent = getpid();
  pid_t pid = fork();
  if (pid == 0) {
    execChild(request.path.c_str(), argv.data(), input[0], output[1],
              request.errorsApart ? errors[1] : output[1], report[1], parent);
  }
  // Also here, so a kill of the group cannot come before the child's own call.
  if (pid > 0) setpgid(pid, pid);
  closeIfOpen(output[1]);
  closeIfOpen(errors[1]);
  closeIfOpen(input[0]);
  closeIfOpen(report[1]);
  // Nothing is ever written to the engine; closing at once means an engine
  // that reads its input sees the end instead of waiting for us forever.
  closeIfOpen(input[1]);
  bool started = pid > 0 && childStarted(report[0]);
  closeIfOpen(report[0]);
  if (!started) {
    if (pid > 0) reap(pid, nullptr);
    closeAll();
    return nullptr;
  }
  return new ChildProcess{pid, output[0], errors[0]};
}

void freeChild(ChildProcess* child) {
  if (child == nullptr) return;
  closeIfOpen(child->output);
  closeIfOpen(child->errors);
  delete child;
}

long readChild(ChildProcess& child, Stream stream, char* buffer, size_t size) {
  int fd = stream == Stream::kOutput ? child.output : child.errors;
  for (;;) {
    ssize_t n = read(fd, buffer, size);
    if (n >= 0 || errno != EINTR) return static_cast<long>(n);
  }
}

void closeStream(ChildProcess& child, Stream stream) {
  closeIfOpen(stream == Stream::kOutput ? child.output : child.errors);
}

void killChild(ChildProcess& child) { kill(-child.pid, SIGKILL); }

void waitChild(ChildProcess& child) {
  siginfo_t info;
  while (waitid(P_PID, static_cast<id_t>(child.pid), &info, WEXITED | WNOWAIT) < 0 &&
         errno == EINTR) {
  }
}

void reapChild(ChildProcess& child, EngineRun& run) {
  int status = 0;
  reap(child.pid, &status);
  if (WIFSIGNALED(status)) {
    run.signal = WTERMSIG(status);
  } else if (WIFEXITED(status)) {
    run.status = WEXITSTATUS(status);
  }
}

}  // namespace gui
