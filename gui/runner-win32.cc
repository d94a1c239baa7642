// The engine as a Windows child process: anonymous pipes for its standard
// handles, CreateProcessA with the program path quoted.
#include <windows.h>

#include <string>
#include <vector>

#include "gui/runner.h"

namespace gui {

namespace {

void closeIfOpen(HANDLE& handle) {
  if (handle != nullptr) CloseHandle(handle);
  handle = nullptr;
}

}  // namespace

const char* engineFileName() { return "pendcal.exe"; }

std::string executableDirectory() {
  std::string module(MAX_PATH, '\0');
  for (;;) {
    DWORD n = GetModuleFileNameA(nullptr, module.data(), static_cast<DWORD>(module.size()));
    if (n == 0) return std::string();
    if (n < module.size()) {
      module.resize(n);
      break;
    }
    module.resize(module.size() * 2);  // the name was truncated
  }
  DWORD needed = GetFullPathNameA(module.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return std::string();
  std::string full(needed, '\0');
  char* filePart = nullptr;
  DWORD length = GetFullPathNameA(module.c_str(), needed, full.data(), &filePart);
  if (length == 0 || length >= needed || filePart == nullptr) return std::string();
  full.resize(static_cast<size_t>(filePart - full.data()));
  return full;
}

EngineRun runEngine(const std::string& path, const std::vector<std::string>& arguments) {
  EngineRun run;
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE outputRead = nullptr, outputWrite = nullptr, inputRead = nullptr, inputWrite = nullptr;
  if (!CreatePipe(&outputRead, &outputWrite, &inherit, 0)) return run;
  if (!CreatePipe(&inputRead, &inputWrite, &inherit, 0)) {
    closeIfOpen(outputRead);
    closeIfOpen(outputWrite);
    return run;
  }
  // Only the engine's ends go to the child; an inherited copy of the write
  // end we read from would keep the pipe open after the engine ends.
  SetHandleInformation(outputRead, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(inputWrite, HANDLE_FLAG_INHERIT, 0);

  std::string commandLine = windowsCommandLine(path, arguments);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  startup.hStdInput = inputRead;
  startup.hStdOutput = outputWrite;
  startup.hStdError = outputWrite;
  PROCESS_INFORMATION process = {};
  BOOL started = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE,
                                CREATE_NEW_CONSOLE, nullptr, nullptr, &startup, &process);
  closeIfOpen(outputWrite);
  closeIfOpen(inputRead);
  // Nothing is ever written to the engine; closing at once means an engine
  // that reads its input sees the end instead of waiting for us forever.
  closeIfOpen(inputWrite);
  if (!started) {
    closeIfOpen(outputRead);
    return run;
  }
  CloseHandle(process.hThread);

  run.ok = true;
  char buffer[32768];
  for (;;) {
    DWORD n = 0;
    if (!ReadFile(outputRead, buffer, sizeof buffer, &n, nullptr)) {
      // A broken pipe is the end of the output: every writer has closed it.
      if (GetLastError() != ERROR_BROKEN_PIPE) run.ok = false;
      break;
    }
    size_t room = kOutputCap - run.output.size();
    if (n > room) {
      run.output.append(buffer, room);
      run.cut = true;
      break;
    }
    run.output.append(buffer, n);
  }
  closeIfOpen(outputRead);
  // Past the cap the rest of the report is unwanted.
  if (run.cut) TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hProcess);
  return run;
}

}  // namespace gui
