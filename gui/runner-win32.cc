// The engine as a Windows child process: anonymous pipes for its standard
// handles, CreateProcessW with the program path quoted and no console, and a
// job object that ends the engine when pendra ends, however it ends. Paths
// and arguments are UTF-8 here and UTF-16 at the system's boundary, so any
// Unicode name works whatever the ANSI code page is.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "gui/runner.h"
#include "gui/runner_platform.h"
#include "gui/win32/wide.h"

namespace gui {

struct ChildProcess {
  HANDLE process = nullptr;
  HANDLE job = nullptr;     // kills the engine when the last handle closes
  HANDLE output = nullptr;  // read end of standard output (and error, unless apart)
  HANDLE errors = nullptr;  // read end of standard error when kept apart
};

namespace {

void closeIfOpen(HANDLE& handle) {
  if (handle != nullptr) CloseHandle(handle);
  handle = nullptr;
}

// A job whose processes are killed when its handle closes, as it does when
// pendra exits or crashes. Null when the system refuses (pendra may already
// run in a job that allows none); killChild then ends the process alone.
HANDLE makeJob() {
  HANDLE job = CreateJobObjectW(nullptr, nullptr);
  if (job == nullptr) return nullptr;
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (!SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
    CloseHandle(job);
    return nullptr;
  }
  return job;
}

}  // namespace

const char* engineFileName() { return "pendcal.exe"; }

std::string executableDirectory() {
  std::wstring module(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, module.data(), static_cast<DWORD>(module.size()));
    if (n == 0) return std::string();
    if (n < module.size()) {
      module.resize(n);
      break;
    }
    module.resize(module.size() * 2);  // the name was truncated
  }
  DWORD needed = GetFullPathNameW(module.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return std::string();
  std::wstring full(needed, L'\0');
  wchar_t* filePart = nullptr;
  DWORD length = GetFullPathNameW(module.c_str(), needed, full.data(), &filePart);
  if (length == 0 || length >= needed || filePart == nullptr) return std::string();
  full.resize(static_cast<size_t>(filePart - full.data()));
  return narrow(full);
}

ChildProcess* startChild(const EngineRequest& request) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE outputRead = nullptr, outputWrite = nullptr, errorsRead = nullptr, errorsWrite = nullptr,
         inputRead = nullptr, inputWrite = nullptr;
  auto closeAll = [&] {
    for (HANDLE* handle :
         {&outputRead, &outputWrite, &errorsRead, &errorsWrite, &inputRead, &inputWrite}) {
      closeIfOpen(*handle);
    }
  };
  if (!CreatePipe(&outputRead, &outputWrite, &inherit, 0) ||
      (request.errorsApart && !CreatePipe(&errorsRead, &errorsWrite, &inherit, 0)) ||
      !CreatePipe(&inputRead, &inputWrite, &inherit, 0)) {
    closeAll();
    return nullptr;
  }
  // Only the engine's ends go to the child; an inherited copy of an end we
  // read from would keep the pipe open after the engine ends.
  SetHandleInformation(outputRead, HANDLE_FLAG_INHERIT, 0);
  if (errorsRead != nullptr) SetHandleInformation(errorsRead, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(inputWrite, HANDLE_FLAG_INHERIT, 0);

  std::wstring commandLine = widen(windowsCommandLine(request.path, request.arguments));
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = inputRead;
  startup.hStdOutput = outputWrite;
  startup.hStdError = request.errorsApart ? errorsWrite : outputWrite;
  PROCESS_INFORMATION process = {};
  // Suspended until it is in the job, so nothing it starts escapes it.
  BOOL started =
      CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE,
                     CREATE_NO_WINDOW | CREATE_SUSPENDED, nullptr, nullptr, &startup, &process);
  closeIfOpen(outputWrite);
  closeIfOpen(errorsWrite);
  closeIfOpen(inputRead);
  // Nothing is ever written to the engine; closing at once means an engine
  // that reads its input sees the end instead of waiting for us forever.
  closeIfOpen(inputWrite);
  if (!started) {
    closeAll();
    return nullptr;
  }
  HANDLE job = makeJob();
  if (job != nullptr && !AssignProcessToJobObject(job, process.hProcess)) closeIfOpen(job);
  ResumeThread(process.hThread);
  CloseHandle(process.hThread);
  return new ChildProcess{process.hProcess, job, outputRead, errorsRead};
}

void freeChild(ChildProcess* child) {
  if (child == nullptr) return;
  closeIfOpen(child->output);
  closeIfOpen(child->errors);
  closeIfOpen(child->process);
  closeIfOpen(child->job);
  delete child;
}

long readChild(ChildProcess& child, Stream stream, char* buffer, size_t size) {
  HANDLE pipe = stream == Stream::kOutput ? child.output : child.errors;
  DWORD n = 0;
  if (!ReadFile(pipe, buffer, static_cast<DWORD>(size), &n, nullptr)) {
    // A broken pipe is the end of the output: every writer has closed it.
    return GetLastError() == ERROR_BROKEN_PIPE ? 0 : -1;
  }
  return static_cast<long>(n);
}

void closeStream(ChildProcess& child, Stream stream) {
  closeIfOpen(stream == Stream::kOutput ? child.output : child.errors);
}

void killChild(ChildProcess& child) {
  if (child.job == nullptr || !TerminateJobObject(child.job, 1)) {
    TerminateProcess(child.process, 1);
  }
}

void waitChild(ChildProcess& child) { WaitForSingleObject(child.process, INFINITE); }

void reapChild(ChildProcess& child, EngineRun& run) {
  DWORD code = 0;
  GetExitCodeProcess(child.process, &code);
  run.status = static_cast<int>(code);
}

}  // namespace gui
