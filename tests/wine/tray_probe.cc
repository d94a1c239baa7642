// Checks the Windows tray's shell calls under Wine, through the very code
// pendra.exe uses (gui/win32/tray_shell.cc): the icon is added to the
// notification area, a balloon is shown, the icon is removed, and the
// Startup-folder shortcut is made and removed.
// Usage: tray_probe            the checks; exits 0 when all pass
//        tray_probe quit       closes a running pendra.exe --tray
#include <windows.h>
// After windows.h.
#include <objbase.h>

#include <cstdio>
#include <string>

#include "gui/win32/tray_shell.h"

namespace {

int failures = 0;

void expect(bool ok, const char* what) {
  std::printf("%s: %s\n", what, ok ? "ok" : "FAILED");
  if (!ok) ++failures;
}

bool exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc > 1 && std::wstring(argv[1]) == L"quit") {
    HWND tray = FindWindowW(L"PendraTray", nullptr);
    expect(tray != nullptr && PostMessageW(tray, WM_CLOSE, 0, 0), "pendra --tray closed");
    return failures == 0 ? 0 : 1;
  }
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = L"PendraTrayProbe";
  RegisterClassW(&windowClass);
  HWND window = CreateWindowW(L"PendraTrayProbe", L"probe", WS_OVERLAPPED, 0, 0, 0, 0, nullptr,
                              nullptr, instance, nullptr);
  expect(window != nullptr, "hidden window");
  HICON icon = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));
  expect(gui::addTrayIcon(window, icon, L"Pendra probe"), "Shell_NotifyIconW NIM_ADD");
  std::wstring longText(400, L'x');
  expect(gui::showBalloon(window, icon, L"Tue 8 Dec 2026",
                          L"Dentist\nCaf\u00e9 \u0418\u0432\u0430\u043d"),
         "Shell_NotifyIconW NIF_INFO");
  expect(gui::showBalloon(window, icon, longText, longText), "NIF_INFO with texts cut");
  expect(
      gui::cutText(longText, 255).size() == 255 && gui::cutText(longText, 255).back() == L'\u2026',
      "cut text ends with an ellipsis");
  gui::removeTrayIcon(window);

  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  const std::wstring link = gui::startupShortcutPath();
  expect(link.size() > 11 && link.substr(link.size() - 11) == L"\\Pendra.lnk",
         "SHGetKnownFolderPath(FOLDERID_Startup)");
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  expect(gui::createShortcut(link, self, L"--tray") && exists(link), "IShellLinkW shortcut saved");
  expect(DeleteFileW(link.c_str()) && !exists(link), "shortcut removed");
  CoUninitialize();
  DestroyWindow(window);
  return failures == 0 ? 0 : 1;
}
