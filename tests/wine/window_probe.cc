// Checks the reminder window of a running pendra from outside, under Wine:
// waits for a top-level window with a month grid and a list that has an
// item holding TEXT and stays unchanged for half a second, then checks
//  - the dialog template's font is not "Comic Sans MS" and the program has
//    its icon (both read from its own resources);
//  - the grid names its marked days ("9 December, 1 reminder") and the list
//    has items;
//  - the list grows with the window, and the window keeps a minimum size.
// Prints what it saw, one "name: value" line each, and leaves the window
// open. Usage: window_probe SECONDS TEXT; exits 0 when every check passed.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <initializer_list>
#include <string>
#include <vector>

#include "probe_list.h"

namespace {

struct Found {
  HWND top = nullptr;
  HWND list = nullptr;
  HWND calendar = nullptr;
};

BOOL CALLBACK findControls(HWND child, LPARAM param) {
  auto* found = reinterpret_cast<Found*>(param);
  wchar_t name[32];
  if (GetClassNameW(child, name, 32) > 0) {
    // The first list box is the reminders'; the problems' follows it.
    if (_wcsicmp(name, L"ListBox") == 0 && found->list == nullptr) found->list = child;
    if (_wcsicmp(name, L"SysMonthCal32") == 0) found->calendar = child;
  }
  return TRUE;
}

BOOL CALLBACK findTop(HWND top, LPARAM param) {
  auto* found = reinterpret_cast<Found*>(param);
  if (!IsWindowVisible(top)) return TRUE;
  *found = Found();
  EnumChildWindows(top, findControls, param);
  if (found->list == nullptr || found->calendar == nullptr) return TRUE;
  found->top = top;
  return FALSE;
}

std::wstring windowText(HWND window) {
  LRESULT length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  LRESULT got =
      SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return text;
}

// Skips a sz_Or_Ord field or a string of a dialog template.
const WORD* skipField(const WORD* at) {
  if (*at == 0xffff) return at + 2;
  while (*at != 0) ++at;
  return at + 1;
}

// What the program that owns a window has among its resources: the typeface
// its dialog template 100 asks for (empty when none), and whether its icon
// 200 loads at the two sizes a window shows. The window's own icon is not
// readable from another process under Wine; the smoke test reads it from X.
struct Program {
  std::wstring font;
  bool icon = false;
};

Program programResources(HWND window) {
  Program program;
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  HANDLE handle = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process);
  if (handle == nullptr) return program;
  wchar_t path[MAX_PATH * 4];
  DWORD size = MAX_PATH * 4;
  BOOL named = QueryFullProcessImageNameW(handle, 0, path, &size);
  CloseHandle(handle);
  if (!named) return program;
  HMODULE module = LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (module == nullptr) return program;
  HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(100), MAKEINTRESOURCEW(5));  // RT_DIALOG
  const auto* words =
      resource ? static_cast<const WORD*>(LockResource(LoadResource(module, resource))) : nullptr;
  if (words != nullptr && words[0] == 1 && words[1] == 0xffff) {  // DLGTEMPLATEEX
    DWORD style = *reinterpret_cast<const DWORD*>(words + 6);
    const WORD* at = words + 13;               // after the header's fixed part
    at = skipField(skipField(skipField(at)));  // menu, class, title
    if (style & DS_SETFONT) program.font = reinterpret_cast<const wchar_t*>(at + 3);
  }
  program.icon = true;
  for (int pixels : {16, 32}) {
    HANDLE icon = LoadImageW(module, MAKEINTRESOURCEW(200), IMAGE_ICON, pixels, pixels, 0);
    program.icon = program.icon && icon != nullptr;
    if (icon != nullptr) DestroyIcon(static_cast<HICON>(icon));
  }
  FreeLibrary(module);
  return program;
}

RECT clientRect(HWND window) {
  RECT r = {};
  GetClientRect(window, &r);
  return r;
}

// Waits up to ten seconds for the list to have the given client size.
bool waitForListSize(HWND list, LONG width, LONG height) {
  for (int i = 0; i < 100; ++i) {
    RECT r = clientRect(list);
    if (r.right == width && r.bottom == height) return true;
    Sleep(100);
  }
  return false;
}

// Waits up to ten seconds for the window to have the given size.
bool waitForWindowSize(HWND window, LONG width, LONG height) {
  for (int i = 0; i < 100; ++i) {
    RECT r = {};
    GetWindowRect(window, &r);
    if (r.right - r.left == width && r.bottom - r.top == height) return true;
    Sleep(100);
  }
  return false;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: window_probe SECONDS TEXT\n");
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
        return found.top != nullptr ? found.list : nullptr;
      },
      &lines);
  if (!seen) {
    std::printf("window: %s\n", found.top ? "no list with the text" : "none");
    return 1;
  }
  bool ok = true;
  Program program = programResources(found.top);
  const std::wstring& face = program.font;
  std::printf("font: %s\n", utf8(face).c_str());
  ok = ok && !face.empty() && face != L"Comic Sans MS";
  bool icon = program.icon;
  std::printf("icon: %s\n", icon ? "yes" : "no");
  ok = ok && icon;
  std::printf("list items: %zu\n", lines.size());
  std::printf("calendar: %s\n", utf8(windowText(found.calendar)).c_str());

  // From 700 x 500 to 900 x 650 pixels, at the screen's corner so that
  // both fit: the list takes all that the window gains.
  RECT window = {};
  SetWindowPos(found.top, nullptr, 0, 0, 700, 500, SWP_NOZORDER | SWP_NOACTIVATE);
  waitForWindowSize(found.top, 700, 500);
  RECT before = clientRect(found.list);
  SetWindowPos(found.top, nullptr, 0, 0, 900, 650, SWP_NOZORDER | SWP_NOACTIVATE);
  bool grew = waitForWindowSize(found.top, 900, 650) &&
              waitForListSize(found.list, before.right + 200, before.bottom + 150);
  RECT after = clientRect(found.list);
  std::printf("list size: %ldx%ld, then %ldx%ld\n", before.right, before.bottom, after.right,
              after.bottom);
  ok = ok && grew;
  // Far too small: the window stops at its minimum, the list still shows.
  SetWindowPos(found.top, nullptr, 0, 0, 50, 50, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  for (int i = 0; i < 50; ++i) {  // the resize is sent, but wait for it all the same
    GetWindowRect(found.top, &window);
    if (window.right - window.left > 50) break;
    Sleep(100);
  }
  RECT smallest = clientRect(found.list);
  std::printf("smallest window: %ldx%ld, list %ldx%ld\n", window.right - window.left,
              window.bottom - window.top, smallest.right, smallest.bottom);
  ok = ok && window.right - window.left >= 480 && window.bottom - window.top >= 360 &&
       smallest.right > 100 && smallest.bottom > 50;
  SetWindowPos(found.top, nullptr, 0, 0, 800, 600, SWP_NOZORDER | SWP_NOACTIVATE);
  return ok ? 0 : 1;
}
