// pendra for Windows: the reminder window as a modal dialog from the
// resource template, with a date-time picker and a list box. The engine
// runs on a worker thread that posts WM_ENGINE_DONE when it ends, so the
// window answers while it works. All text crosses the API as UTF-16.
#include <windows.h>
// commctrl.h and commdlg.h need the types of windows.h.
#include <commctrl.h>
#include <commdlg.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "common/date.h"
#include "gui/date_label.h"
#include "gui/runner.h"
#include "gui/win32/list_fill.h"
#include "gui/win32/resource.h"
#include "gui/win32/tray.h"
#include "gui/win32/wide.h"

namespace {

// wParam: the generation of the run that ended.
constexpr UINT WM_ENGINE_DONE = WM_APP + 1;

HWND gDialog = nullptr;
std::string gEnginePath;

// The run in progress: the worker writes result and then posts
// WM_ENGINE_DONE; only the dialog's thread touches the rest.
struct Run {
  std::unique_ptr<gui::EngineJob> job;
  std::thread worker;
  gui::EngineRun result;
  std::string exportFile;  // UTF-8; empty for an Update
  WPARAM generation = 0;
} gRun;

void setPickerDate(const pendra::Date& date) {
  HWND picker = GetDlgItem(gDialog, IDC_DATE);
  SYSTEMTIME time = {};
  SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time));
  time.wDay = date.day;
  time.wMonth = date.month;
  time.wYear = static_cast<WORD>(date.year);
  time.wDayOfWeek = static_cast<WORD>(pendra::weekdayOf(date.day, date.month, date.year) - 1);
  SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
}

pendra::Date getPickerDate() {
  SYSTEMTIME time = {};
  SendMessageW(GetDlgItem(gDialog, IDC_DATE), DTM_GETSYSTEMTIME, 0,
               reinterpret_cast<LPARAM>(&time));
  return pendra::Date(static_cast<uint8_t>(time.wDay), static_cast<uint8_t>(time.wMonth),
                      time.wYear);
}

void showDateLabel(const pendra::Date& date) {
  SetWindowTextW(GetDlgItem(gDialog, IDC_LABEL), gui::widen(gui::dateLabel(date)).c_str());
}

void setBusy(bool busy) {
  // The old report stays, greyed, until the new one replaces it; the
  // buttons stay live so that Update can restart and the window can close.
  EnableWindow(GetDlgItem(gDialog, IDC_LIST), !busy);
  POINT point;
  GetCursorPos(&point);
  SetCursorPos(point.x, point.y);  // asks for WM_SETCURSOR at once
}

bool busy() { return gRun.worker.joinable(); }

void stopRun() {
  if (!busy()) return;
  gRun.job->stop();
  gRun.worker.join();
  gRun.job.reset();
  setBusy(false);
}

// Stops the current run, if any, then starts this one.
void start(gui::EngineRequest request, std::string exportFile) {
  stopRun();
  gRun.job = std::make_unique<gui::EngineJob>(std::move(request));
  gRun.exportFile = std::move(exportFile);
  WPARAM generation = ++gRun.generation;
  gRun.worker = std::thread([job = gRun.job.get(), generation] {
    gRun.result = job->run();
    PostMessageW(gDialog, WM_ENGINE_DONE, generation, 0);
  });
  setBusy(true);
}

void finish(WPARAM generation) {
  // A run that was stopped and replaced may still have posted its end.
  if (generation != gRun.generation || !busy()) return;
  gRun.worker.join();
  gRun.job.reset();
  setBusy(false);
  if (gRun.result.stopped) return;
  HWND list = GetDlgItem(gDialog, IDC_LIST);
  if (gRun.exportFile.empty()) {
    gui::fillListBox(list, gui::listLines(gRun.result, gEnginePath));
  } else if (std::vector<std::string> lines =
                 gui::finishExport(gRun.result, gEnginePath, gRun.exportFile);
             !lines.empty()) {
    gui::fillListBox(list, lines);
  }
}

void update() {
  pendra::Date date = getPickerDate();
  showDateLabel(date);
  start({gEnginePath, gui::engineArguments(date, gui::kDaysBefore, gui::kDaysAfter),
         gui::timeLimit()},
        {});
}

// Asks for the file with the system's save dialog; empty when cancelled.
std::string chooseExportFile() {
  std::wstring file(32768, L'\0');
  const wchar_t initial[] = L"pendra.ics";
  file.replace(0, sizeof initial / sizeof initial[0] - 1, initial);
  OPENFILENAMEW dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = gDialog;
  dialog.lpstrFilter = L"iCalendar (*.ics)\0*.ics\0All files\0*.*\0";
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrTitle = L"Export";
  dialog.lpstrDefExt = L"ics";
  dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
  if (!GetSaveFileNameW(&dialog)) return std::string();
  file.resize(wcslen(file.c_str()));
  return gui::narrow(file);
}

void exportCalendar() {
  std::string file = chooseExportFile();
  if (file.empty()) return;
  gui::EngineRequest request{
      gEnginePath, gui::exportArguments(getPickerDate(), gui::kDaysBefore, gui::kDaysAfter),
      gui::timeLimit()};
  request.cap = gui::kExportCap;
  request.errorsApart = true;  // messages must not end up in the calendar
  start(std::move(request), std::move(file));
}

void step(bool forward) {
  pendra::Date date = getPickerDate();
  if (forward) {
    date.nextDay();
  } else {
    date.previousDay();
  }
  setPickerDate(date);
}

INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      gDialog = dialog;
      setPickerDate(pendra::today());
      update();
      return TRUE;
    case WM_ENGINE_DONE:
      finish(wParam);
      return TRUE;
    case WM_SETCURSOR:
      if (!busy()) return FALSE;
      // IDC_APPSTARTING is a resource number in a narrow-pointer costume.
      SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_APPSTARTING)));
      SetWindowLongPtrW(dialog, DWLP_MSGRESULT, TRUE);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_TODAY:
          setPickerDate(pendra::today());
          return TRUE;
        case IDC_BACK:
          step(false);
          return TRUE;
        case IDC_FORWARD:
          step(true);
          return TRUE;
        case IDC_UPDATE:
        case IDOK:  // Enter
          update();
          return TRUE;
        case IDC_EXPORT:
          exportCalendar();
          return TRUE;
      }
      return FALSE;
    case WM_SYSCOMMAND:
      if ((wParam & 0xfff0) != SC_CLOSE) return FALSE;
      [[fallthrough]];
    case WM_CLOSE:  // also what taskkill and a session's end send
      stopRun();
      PostQuitMessage(0);
      return TRUE;
  }
  return FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  if (gui::trayRequested()) return gui::runTray(instance);
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_DATE_CLASSES};
  InitCommonControlsEx(&controls);
  // The engine inherits the error mode: one that crashes then ends at once
  // with its exception code, which the list names, instead of waiting
  // behind the system's crash dialog.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  gEnginePath = gui::enginePath();
  DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_PENDRA), nullptr, dialogProc, 0);
  stopRun();  // however the dialog ended, no engine outlives it
  return 0;
}
