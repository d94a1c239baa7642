// Runs a Windows program with USERPROFILE set from PENDCAL_USERPROFILE, or
// removed when that is unset. Wine sets USERPROFILE itself from its prefix
// and ignores the value of the Unix environment; a child started from here
// inherits the Windows environment as it is.
// Usage: profile_launcher PROGRAM [ARGUMENT...]; exits with the program's
// status, 127 when it cannot be started, after a line on standard error
// naming the Windows error, so that a failed start shows in a test's log.
//
// profile_launcher --boot SECONDS, run as the first program of a fresh
// prefix, waits until the boot Wine started before it (wineboot and the
// setup it runs) has ended: 0 when it has, 1 after SECONDS, naming what
// still runs.
#include <windows.h>
// After windows.h, which it needs.
#include <tlhelp32.h>

#include <cstdlib>
#include <cwchar>
#include <string>
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

// Writes text on standard error in UTF-8, which the C runtime's wide
// output would cut at the first character outside its code page.
void say(const std::wstring& text) {
  int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                 nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                      nullptr, nullptr);
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_ERROR_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()),
            &written, nullptr);
}

// Says on standard error what failed, with the system's text for the error.
int fail(const wchar_t* what, const wchar_t* command) {
  DWORD error = GetLastError();
  wchar_t text[512] = L"";
  FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                 text, sizeof text / sizeof text[0], nullptr);
  for (wchar_t* end = text + wcslen(text); end != text && (end[-1] == L'\n' || end[-1] == L'\r');)
    *--end = L'\0';
  say(std::wstring(L"profile_launcher: ") + what + L" " + command + L": error " +
      std::to_wstring(error) + L": " + text + L"\n");
  return 127;
}

// The first running program of the boot, or none.
bool bootRunning(wchar_t (&name)[MAX_PATH]) {
  static const wchar_t* const kBoot[] = {L"wineboot.exe", L"rundll32.exe", L"winemenubuilder.exe"};
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof entry;
  bool found = false;
  for (BOOL more = Process32FirstW(snapshot, &entry); more && !found;
       more = Process32NextW(snapshot, &entry)) {
    for (const wchar_t* boot : kBoot) {
      if (_wcsicmp(entry.szExeFile, boot) == 0) {
        wcscpy_s(name, entry.szExeFile);
        found = true;
      }
    }
  }
  CloseHandle(snapshot);
  return found;
}

int waitForBoot(const wchar_t* seconds) {
  ULONGLONG deadline = GetTickCount64() + 1000ull * wcstoul(seconds, nullptr, 10);
  wchar_t name[MAX_PATH] = L"";
  while (bootRunning(name)) {
    if (GetTickCount64() > deadline) {
      say(std::wstring(L"profile_launcher: the prefix's boot has not ended: ") + name + L" runs\n");
      return 1;
    }
    Sleep(100);
  }
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 3 && wcscmp(argv[1], L"--boot") == 0) return waitForBoot(argv[2]);
  DWORD size = GetEnvironmentVariableW(L"PENDCAL_USERPROFILE", nullptr, 0);
  std::vector<wchar_t> profile(size + 1, L'\0');
  bool set = size > 0 && GetEnvironmentVariableW(L"PENDCAL_USERPROFILE", profile.data(), size) > 0;
  SetEnvironmentVariableW(L"USERPROFILE", set ? profile.data() : nullptr);

  wchar_t* rest = afterFirstWord(GetCommandLineW());
  if (*rest == L'\0') {
    say(L"usage: profile_launcher PROGRAM [ARGUMENT...]\n");
    return 127;
  }
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION child = {};
  std::vector<wchar_t> command(rest, rest + wcslen(rest) + 1);  // CreateProcessW may write to it
  // Wine now and then loses a new process before any of its code runs
  // (about one start in four thousand on a busy machine) and reports
  // ERROR_INTERNAL_ERROR. Nothing of the program ran, so starting it again
  // is safe; any other failure, or a third one, is reported.
  bool started = false;
  for (int attempt = 0;; ++attempt) {
    started = CreateProcessW(nullptr, rest, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                             &child);
    if (started || attempt == 2 || GetLastError() != ERROR_INTERNAL_ERROR) break;
    Sleep(200);
  }
  if (!started) return fail(L"cannot start", command.data());
  DWORD status = 127;
  if (WaitForSingleObject(child.hProcess, INFINITE) != WAIT_OBJECT_0 ||
      !GetExitCodeProcess(child.hProcess, &status))
    return fail(L"lost", command.data());
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);
  return static_cast<int>(status);
}
