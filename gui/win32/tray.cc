#include "gui/win32/tray.h"

// The shell headers need the types of windows.h first.
#include <objbase.h>
#include <shellapi.h>

#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "common/date.h"
#include "gui/keeper.h"
#include "gui/runner.h"
#include "gui/safe_write.h"
#include "gui/tray_check.h"
#include "gui/win32/file_watcher.h"
#include "gui/win32/resource.h"
#include "gui/win32/tray_shell.h"
#include "gui/win32/wide.h"

namespace gui {
namespace {

// lParam: the EngineRun, owned by the message.
constexpr UINT WM_TRAY_DONE = WM_APP + 21;
// A second tray asks for the window.
constexpr UINT WM_TRAY_SHOW = WM_APP + 22;
// A watched folder changed.
constexpr UINT WM_TRAY_FILES = WM_APP + 23;
constexpr UINT_PTR kMidnightTimer = 1;
constexpr UINT_PTR kSettleTimer = 2;
// Saving an editor's file comes as several changes; one run follows.
constexpr UINT kSettleMs = 500;
enum MenuId : UINT { kOpen = 1, kUpdate, kStartAtLogin, kQuit };
constexpr wchar_t kClassName[] = L"PendraTray";
// Per session: a second login of the same user has its own tray.
constexpr wchar_t kMutexName[] = L"Local\\PendraTray";

struct Tray {
  HWND window = nullptr;
  HICON icon = nullptr;
  UINT taskbarCreated = 0;
  std::wstring program;  // pendra.exe's own path
  std::string enginePath;
  TrayMemory memory;
  std::unique_ptr<EngineJob> job;
  std::thread worker;
  pendra::Date runDay;
  bool again = false;
  // The files of the last listing and how they looked then.
  std::vector<std::pair<std::string, FileStamp>> stamps;
  std::unique_ptr<FileWatcher> watcher;  // the folders of those files
} gTray;

void log(const std::string& line) { std::fprintf(stderr, "%s\n", line.c_str()); }

std::wstring ownPath() {
  std::wstring path(32768, L'\0');
  DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  path.resize(length);
  return path;
}

void openWindow() {
  ShellExecuteW(nullptr, L"open", gTray.program.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void check() {
  if (gTray.worker.joinable()) {
    gTray.again = true;
    return;
  }
  gTray.runDay = pendra::today();
  gTray.job =
      std::make_unique<EngineJob>(checkRequest(gTray.enginePath, gTray.memory, gTray.runDay));
  EngineJob* job = gTray.job.get();
  HWND window = gTray.window;
  gTray.worker = std::thread([job, window] {
    auto* run = new EngineRun(job->run());
    if (!PostMessageW(window, WM_TRAY_DONE, 0, reinterpret_cast<LPARAM>(run))) delete run;
  });
}

// Notes how the listed files look now and watches their folders.
void watchFiles(const std::vector<std::string>& files) {
  gTray.stamps.clear();
  for (const std::string& file : files) {
    FileStamp stamp;
    std::string reason;
    fileStamp(file, &stamp, &reason);
    gTray.stamps.emplace_back(file, stamp);
  }
  gTray.watcher->watch(watchedDirectories(files));
}

bool filesChanged() {
  for (const auto& [file, stamp] : gTray.stamps) {
    FileStamp now;
    std::string reason;
    fileStamp(file, &now, &reason);
    if (!(now == stamp)) return true;
  }
  return false;
}

void armMidnight() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  const UINT dayMs = 24 * 3600 * 1000;
  const UINT sinceMidnight =
      ((now.wHour * 60u + now.wMinute) * 60u + now.wSecond) * 1000u + now.wMilliseconds;
  // Two seconds past, so that the date has surely turned.
  SetTimer(gTray.window, kMidnightTimer, dayMs - sinceMidnight + 2000, nullptr);
}

void finish(EngineRun* ended) {
  std::unique_ptr<EngineRun> run(ended);
  if (gTray.worker.joinable()) gTray.worker.join();
  gTray.job.reset();
  const TrayOutcome outcome = finishCheck(*run, gTray.enginePath, gTray.runDay, &gTray.memory);
  if (!outcome.saveError.empty()) log("pendra --tray: cannot save " + outcome.saveError);
  int sent = 0;
  for (const Notification& notification : outcome.notifications) {
    sent += showBalloon(gTray.window, gTray.icon, widen(notification.title),
                        widen(notification.body()));
  }
  log(checkLogLine(gTray.runDay, sent, outcome.notifications.size()));
  watchFiles(outcome.files);
  armMidnight();
  if (gTray.again) {
    gTray.again = false;
    check();
  }
}

void toggleStartAtLogin() {
  const std::wstring link = startupShortcutPath();
  if (link.empty()) return log("pendra --tray: the Startup folder is unknown");
  if (GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES) {
    if (!DeleteFileW(link.c_str())) log("pendra --tray: cannot remove " + narrow(link));
  } else if (!createShortcut(link, gTray.program, L"--tray")) {
    log("pendra --tray: cannot write " + narrow(link));
  }
}

void showMenu() {
  HMENU menu = CreatePopupMenu();
  const std::wstring link = startupShortcutPath();
  const bool atLogin = !link.empty() && GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES;
  AppendMenuW(menu, MF_STRING, kOpen, L"Open Pendra");
  AppendMenuW(menu, MF_STRING, kUpdate, L"Update now");
  AppendMenuW(menu, MF_STRING | (atLogin ? MF_CHECKED : MF_UNCHECKED), kStartAtLogin,
              L"Start at login");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, kQuit, L"Quit");
  SetMenuDefaultItem(menu, kOpen, FALSE);
  POINT at;
  GetCursorPos(&at);
  // Without the foreground the menu would not close when clicked away.
  SetForegroundWindow(gTray.window);
  TrackPopupMenu(menu, TPM_RIGHTBUTTON, at.x, at.y, 0, gTray.window, nullptr);
  PostMessageW(gTray.window, WM_NULL, 0, 0);
  DestroyMenu(menu);
}

LRESULT CALLBACK trayProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == gTray.taskbarCreated && message != 0) {
    // Explorer restarted: its icons are gone.
    addTrayIcon(window, gTray.icon, L"Pendra");
    return 0;
  }
  switch (message) {
    case WM_TRAY_ICON:
      switch (LOWORD(lParam)) {
        case NIN_SELECT:
        case NIN_KEYSELECT:
        case NIN_BALLOONUSERCLICK:
          openWindow();
          break;
        case WM_CONTEXTMENU:
          showMenu();
          break;
      }
      return 0;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case kOpen:
          openWindow();
          break;
        case kUpdate:
          check();
          break;
        case kStartAtLogin:
          toggleStartAtLogin();
          break;
        case kQuit:
          DestroyWindow(window);
          break;
      }
      return 0;
    case WM_TRAY_DONE:
      finish(reinterpret_cast<EngineRun*>(lParam));
      return 0;
    case WM_TRAY_SHOW:
      openWindow();
      return 0;
    case WM_TRAY_FILES:
      if (filesChanged()) SetTimer(window, kSettleTimer, kSettleMs, nullptr);
      return 0;
    case WM_TIMER:
      KillTimer(window, wParam);
      check();
      return 0;
    case WM_POWERBROADCAST:
      if (wParam == PBT_APMRESUMEAUTOMATIC) check();
      return TRUE;
    case WM_DESTROY:
      removeTrayIcon(window);
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// Asks the tray that owns the mutex to open the window; it may still be
// making its own, so it is looked for for a few seconds.
bool askRunningTray() {
  for (int attempt = 0; attempt < 50; ++attempt) {
    if (HWND other = FindWindowW(kClassName, nullptr))
      return PostMessageW(other, WM_TRAY_SHOW, 0, 0) != FALSE;
    Sleep(100);
  }
  return false;
}

}  // namespace

bool trayRequested() {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  bool tray = arguments != nullptr && count > 1 && std::wstring(arguments[1]) == L"--tray";
  LocalFree(arguments);
  return tray;
}

int runTray(HINSTANCE instance) {
  HANDLE mutex = CreateMutexW(nullptr, TRUE, kMutexName);
  if (mutex != nullptr && GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(mutex);
    if (askRunningTray()) {
      log("pendra --tray: already running; it shows the window");
      return 0;
    }
    log("pendra --tray: another tray runs but does not answer");
    return 1;
  }
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  gTray.program = ownPath();
  gTray.enginePath = enginePath();
  gTray.icon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_PENDRA), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  // IDI_APPLICATION, in its wide form.
  if (gTray.icon == nullptr) gTray.icon = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));
  gTray.taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");

  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = trayProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kClassName;
  RegisterClassExW(&windowClass);
  // A hidden top-level window, not a message-only one: those miss the
  // TaskbarCreated broadcast.
  gTray.window = CreateWindowExW(0, kClassName, L"Pendra tray", WS_OVERLAPPED, 0, 0, 0, 0, nullptr,
                                 nullptr, instance, nullptr);
  if (gTray.window == nullptr) {
    log("pendra --tray: cannot make its window");
    return 1;
  }
  gTray.watcher = std::make_unique<FileWatcher>(gTray.window, WM_TRAY_FILES);
  if (!addTrayIcon(gTray.window, gTray.icon, L"Pendra"))
    log("pendra --tray: the tray icon could not be added; notifications need it");
  check();

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  if (gTray.job) gTray.job->stop();
  if (gTray.worker.joinable()) gTray.worker.join();
  gTray.watcher.reset();
  CoUninitialize();
  if (mutex != nullptr) CloseHandle(mutex);
  return 0;
}

}  // namespace gui
