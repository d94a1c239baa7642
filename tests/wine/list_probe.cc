// Reads the list box of a running dialog from outside, as a smoke test of
// pendra under Wine: waits for a top-level window with a ListBox that has
// a line holding TEXT and stays unchanged for half a second, prints its
// lines in UTF-8, then closes that window as its close button does.
// Usage: list_probe SECONDS TEXT; exits 0 when TEXT was seen, 1 otherwise
// (printing the last lines seen).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "probe_list.h"

namespace {

struct Found {
  HWND top = nullptr;
  HWND list = nullptr;
};

BOOL CALLBACK findList(HWND child, LPARAM param) {
  wchar_t name[32];
  if (GetClassNameW(child, name, 32) > 0 && _wcsicmp(name, L"ListBox") == 0) {
    reinterpret_cast<Found*>(param)->list = child;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK findTop(HWND top, LPARAM param) {
  auto* found = reinterpret_cast<Found*>(param);
  if (!IsWindowVisible(top)) return TRUE;
  EnumChildWindows(top, findList, param);
  if (found->list == nullptr) return TRUE;
  found->top = top;
  return FALSE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: list_probe SECONDS TEXT\n");
    return 2;
  }
  const DWORD deadline = GetTickCount() + static_cast<DWORD>(_wtoi(argv[1])) * 1000;
  const std::wstring text = argv[2];
  std::vector<std::wstring> lines;
  Found found;
  bool seen = waitForSettledList(
      deadline, text,
      [&found] {
        found = Found();
        EnumWindows(findTop, reinterpret_cast<LPARAM>(&found));
        return found.list;
      },
      &lines);
  for (const std::wstring& line : lines) std::printf("%s\n", utf8(line).c_str());
  if (found.top != nullptr) PostMessageW(found.top, WM_SYSCOMMAND, SC_CLOSE, 0);
  return seen ? 0 : 1;
}
