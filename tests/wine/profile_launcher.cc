// Runs a Windows program with USERPROFILE set from PENDCAL_USERPROFILE, or
// removed when that is unset. Wine sets USERPROFILE itself from its prefix
// and ignores the value of the Unix environment; a child started from here
// inherits the Windows environment as it is.
// Usage: profile_launcher PROGRAM [ARGUMENT...]; exits with the program's
// status, 127 when it cannot be started.
#include <windows.h>

#include <vector>

namespace {

// The command line after its first word, as the C runtime splits words: a
// quoted stretch may hold blanks.
wchar_t* afterFirstWord(wchar_t* line) {
  bool quoted = false;
  for (; *line != L'\0'; ++line) {
    if (*line == L'"') {
      quoted = !quoted;
    } else if (!quoted && (*line == L' ' || *line == L'\t')) {
      break;
    }
  }
  while (*line == L' ' || *line == L'\t') ++line;
  return line;
}

}  // namespace

int wmain() {
  DWORD size = GetEnvironmentVariableW(L"PENDCAL_USERPROFILE", nullptr, 0);
  std::vector<wchar_t> profile(size + 1, L'\0');
  bool set = size > 0 && GetEnvironmentVariableW(L"PENDCAL_USERPROFILE", profile.data(), size) > 0;
  SetEnvironmentVariableW(L"USERPROFILE", set ? profile.data() : nullptr);

  wchar_t* rest = afterFirstWord(GetCommandLineW());
  if (*rest == L'\0') return 127;
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION child = {};
  if (!CreateProcessW(nullptr, rest, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &child))
    return 127;
  WaitForSingleObject(child.hProcess, INFINITE);
  DWORD status = 127;
  GetExitCodeProcess(child.hProcess, &status);
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);
  return static_cast<int>(status);
}
