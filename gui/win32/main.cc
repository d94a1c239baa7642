// pendra for Windows: the reminder window as a modeless dialog from the
// resource template. A month grid marks the days with reminders; the list
// beside it shows pendcal's listing for the chosen view, grouped by day.
// The engine runs on a worker thread that posts WM_ENGINE_DONE when it ends,
// so the window answers while it works. All text crosses the API as UTF-16.
#include <windows.h>
// commctrl.h, commdlg.h and shlobj.h need the types of windows.h.
#include <commctrl.h>
#include <commdlg.h>
#include <shlobj.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "common/date.h"
#include "gui/first_run.h"
#include "gui/list_rows.h"
#include "gui/listing.h"
#include "gui/runner.h"
#include "gui/safe_write.h"
#include "gui/settings.h"
#include "gui/view_range.h"
#include "gui/win32/day_list.h"
#include "gui/win32/layout.h"
#include "gui/win32/profile_settings.h"
#include "gui/win32/resource.h"
#include "gui/win32/wide.h"

namespace {

// wParam: the generation of the run that ended.
constexpr UINT WM_ENGINE_DONE = WM_APP + 1;
// Names the grid's marked days again once it shows other months.
constexpr UINT WM_NAME_MARKS = WM_APP + 2;

HWND gDialog = nullptr;
std::string gEnginePath;
std::string gSettingsPath;
gui::Settings gSettings;
std::unique_ptr<gui::DayList> gList;
gui::LayoutMetrics gMetrics;

pendra::Date gPicked;            // the date the window is about
gui::ListingResult gListing;     // the last listing read
gui::Range gListed;              // the days it covers
bool gHaveListing = false;       // false: none yet, or no reminder file
std::map<int64_t, int> gCounts;  // reminders per day number, for the grid
bool gSyncing = false;           // the window itself is setting the picker or the grid
bool gUpdatePending = false;     // Update was asked for during an export

// The run in progress: the worker writes result and then posts
// WM_ENGINE_DONE; only the dialog's thread touches the rest.
struct Run {
  std::unique_ptr<gui::EngineJob> job;
  std::thread worker;
  gui::EngineRun result;
  gui::Range range;
  std::string exportFile;  // UTF-8; empty for an Update
  WPARAM generation = 0;
} gRun;

HWND item(int id) { return GetDlgItem(gDialog, id); }

void setStatus(const std::string& text) {
  SetWindowTextW(item(IDC_STATUS), gui::widen(text).c_str());
}

pendra::Date withWeekday(pendra::Date date) {
  date.weekday = pendra::weekdayOf(date.day, date.month, date.year);
  return date;
}

pendra::Date today() { return withWeekday(pendra::today()); }

SYSTEMTIME systemTime(const pendra::Date& date) {
  SYSTEMTIME time = {};
  time.wDay = date.day;
  time.wMonth = date.month;
  time.wYear = static_cast<WORD>(date.year);
  time.wDayOfWeek = static_cast<WORD>(pendra::weekdayOf(date.day, date.month, date.year) - 1);
  time.wHour = 12;
  return time;
}

pendra::Date dateOf(const SYSTEMTIME& time) {
  return withWeekday(
      pendra::Date(static_cast<uint8_t>(time.wDay), static_cast<uint8_t>(time.wMonth), time.wYear));
}

// ==== The month grid's marks

// MONTHDAYSTATE words for count months from the month of first: bit d-1 set
// when day d has a reminder.
std::vector<MONTHDAYSTATE> dayStates(const SYSTEMTIME& first, int count) {
  std::vector<MONTHDAYSTATE> states(static_cast<size_t>(std::max(count, 0)), 0);
  pendra::Date month(1, static_cast<uint8_t>(first.wMonth), first.wYear);
  for (MONTHDAYSTATE& state : states) {
    int64_t start = month.dayNumber();
    int days = pendra::daysInMonth(month.month, month.year);
    for (auto it = gCounts.lower_bound(start); it != gCounts.end() && it->first < start + days;
         ++it) {
      if (it->second > 0) state |= 1u << (it->first - start);
    }
    month.nextMonth();
  }
  return states;
}

void nameMarks();

void markCalendar() {
  HWND calendar = item(IDC_CALENDAR);
  SYSTEMTIME range[2] = {};
  int count = static_cast<int>(
      SendMessageW(calendar, MCM_GETMONTHRANGE, GMR_DAYSTATE, reinterpret_cast<LPARAM>(range)));
  std::vector<MONTHDAYSTATE> states = dayStates(range[0], count);
  if (!states.empty())
    SendMessageW(calendar, MCM_SETDAYSTATE, states.size(), reinterpret_cast<LPARAM>(states.data()));
  InvalidateRect(calendar, nullptr, TRUE);  // not every grid repaints for new states
  nameMarks();
}

// Bold days are lost on a screen reader: the grid's name lists them.
void nameMarks() {
  HWND calendar = item(IDC_CALENDAR);
  SYSTEMTIME whole[2] = {};
  SendMessageW(calendar, MCM_GETMONTHRANGE, GMR_VISIBLE, reinterpret_cast<LPARAM>(whole));
  std::string marked = gui::markedDaysText(gCounts, dateOf(whole[0]), dateOf(whole[1]));
  SetWindowTextW(
      calendar,
      gui::widen(marked.empty() ? "No reminders this month" : "Reminders: " + marked).c_str());
}

// ==== Runs of the engine

void setBusy(bool busy) {
  POINT point;
  GetCursorPos(&point);
  SetCursorPos(point.x, point.y);  // asks for WM_SETCURSOR at once
  if (busy && gRun.exportFile.empty()) setStatus("Reading the reminders\u2026");
}

bool busy() { return gRun.worker.joinable(); }
bool exporting() { return busy() && !gRun.exportFile.empty(); }

void stopRun() {
  if (!busy()) return;
  gRun.job->stop();
  gRun.worker.join();
  gRun.job.reset();
  setBusy(false);
}

// Stops the current run, if any, then starts this one.
void start(gui::EngineRequest request, const gui::Range& range, std::string exportFile) {
  stopRun();
  request.errorsApart = true;  // problems are read apart from the listing
  gRun.job = std::make_unique<gui::EngineJob>(std::move(request));
  gRun.range = range;
  gRun.exportFile = std::move(exportFile);
  WPARAM generation = ++gRun.generation;
  gRun.worker = std::thread([job = gRun.job.get(), generation] {
    gRun.result = job->run();
    PostMessageW(gDialog, WM_ENGINE_DONE, generation, 0);
  });
  setBusy(true);
}

void update() {
  if (exporting()) {
    // An export is never stopped for an Update; the list follows it.
    gUpdatePending = true;
    setStatus("Exporting\u2026 the list is updated when the export is done.");
    return;
  }
  gui::Range range = gui::listingRange(gSettings.view, gPicked);
  gui::EngineRequest request{
      gEnginePath,
      gui::listingArguments(range.date, range.before, range.after, gSettings.reminderFile),
      gui::timeLimit()};
  start(std::move(request), range, {});
}

std::string countText(int count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

// The list and the grid from the listing at hand, for the view's days.
void showRows() {
  gui::Range shown = gui::viewRange(gSettings.view, gPicked);
  gCounts = gui::reminderCounts(gListing.listing);
  gList->fill(gui::listRows(gListing, shown, today()));
  gList->scrollTo(gPicked);
  int reminders = 0;
  for (auto it = gCounts.lower_bound(shown.first().dayNumber());
       it != gCounts.end() && it->first <= shown.last().dayNumber(); ++it) {
    reminders += it->second;
  }
  std::string status = countText(reminders, "reminder", "reminders") + " from " +
                       gui::windowDate(shown.first()) + " to " + gui::windowDate(shown.last());
  if (!gListing.problems.empty()) status += "; " + gui::problemCountText(gListing.problems.size());
  setStatus(status);
  markCalendar();
}

void showListing() {
  gListing = gui::readListingRun(gRun.result, gEnginePath);
  gListed = gRun.range;
  gHaveListing = !gListing.noReminderFile;
  if (gHaveListing) {
    showRows();
    return;
  }
  gCounts.clear();
  gList->fill(gui::noReminderFileRows(gui::reminderSearchPlaces()));
  setStatus("No reminder file");
  markCalendar();
}

void finishExport() {
  const gui::EngineRun& run = gRun.result;
  const std::string& file = gRun.exportFile;
  if (!gui::exportSucceeded(run)) {
    // Nothing was written; the list stays as it was.
    std::string reason;
    if (!run.ok) {
      reason = std::string(gui::kEngineError) + " " + gEnginePath;
    } else {
      gui::ListingResult result = gui::readListingRun(run, gEnginePath);
      for (const gui::Problem& problem : result.problems) {
        if (problem.text.rfind("warning", 0) == 0) continue;
        reason = gui::problemText(problem);
        break;
      }
      if (reason.empty()) reason = gui::endingLine(run);
      if (reason.empty()) reason = "pendcal ended with status " + std::to_string(run.status);
    }
    setStatus("Export failed, " + file + " not written: " + reason.substr(0, reason.find('\n')));
    return;
  }
  gui::WriteResult written = gui::createFile(file, run.output, gui::Existing::Replace);
  if (!written.ok) {
    setStatus("Export failed, " + file + " not written: " + written.reason);
    return;
  }
  std::string status = gui::exportedText(gui::countEvents(run.output), file);
  // A whole calendar may come with problems in the file: they were left out.
  size_t problems = gui::parseProblems(run.errors).size();
  if (problems > 0) status += "; " + gui::problemCountText(problems);
  setStatus(status);
}

void finish(WPARAM generation) {
  // A run that was stopped and replaced may still have posted its end.
  if (generation != gRun.generation || !busy()) return;
  gRun.worker.join();
  gRun.job.reset();
  setBusy(false);
  bool wasExport = !gRun.exportFile.empty();
  if (gRun.result.stopped) {
    if (wasExport) setStatus("The export was stopped; no file was written.");
  } else if (wasExport) {
    finishExport();
  } else {
    showListing();
  }
  gRun.exportFile.clear();
  if (wasExport && gUpdatePending) {
    gUpdatePending = false;
    update();
  }
}

// ==== Export

std::wstring documentsFolder() {
  PWSTR path = nullptr;
  std::wstring folder;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Documents, 0, nullptr, &path))) folder = path;
  CoTaskMemFree(path);
  return folder;
}

// Asks for the file with the system's save dialog; empty when cancelled.
std::string chooseExportFile(const std::string& name) {
  std::wstring file(32768, L'\0');
  std::wstring initial = gui::widen(name);
  file.replace(0, initial.size(), initial);
  std::wstring folder = documentsFolder();
  OPENFILENAMEW dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = gDialog;
  dialog.lpstrFilter = L"iCalendar (*.ics)\0*.ics\0All files\0*.*\0";
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  dialog.lpstrTitle = L"Export";
  dialog.lpstrDefExt = L"ics";
  dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
  if (!GetSaveFileNameW(&dialog)) return std::string();
  file.resize(wcslen(file.c_str()));
  return gui::narrow(file);
}

void exportCalendar(gui::ExportChoice choice) {
  if (exporting()) {
    setStatus("An export is already running.");
    return;
  }
  gui::Range range = gui::exportRange(choice, gSettings.view, gPicked, today());
  std::string file = chooseExportFile(gui::exportFileName(choice, range));
  if (file.empty()) return;
  // An Update in progress gives way and runs again after the export.
  if (busy()) {
    stopRun();
    gUpdatePending = true;
  }
  gui::EngineRequest request{
      gEnginePath,
      gui::calendarArguments(range.date, range.before, range.after, gSettings.reminderFile),
      gui::timeLimit()};
  request.cap = gui::kExportCap;
  start(std::move(request), range, std::move(file));
  setStatus("Exporting " + gui::windowDate(range.first()) + " to " + gui::windowDate(range.last()) +
            "\u2026");
}

// The range menu under the Export button.
void exportMenu() {
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING, IDM_EXPORT_WINDOW, L"The days &shown");
  AppendMenuW(menu, MF_STRING, IDM_EXPORT_MONTH, L"The &month shown");
  AppendMenuW(menu, MF_STRING, IDM_EXPORT_YEAR, L"The next &twelve months");
  RECT button;
  GetWindowRect(item(IDC_EXPORT), &button);
  TrackPopupMenu(menu, TPM_RIGHTALIGN | TPM_TOPALIGN, button.right, button.bottom, 0, gDialog,
                 nullptr);
  DestroyMenu(menu);
}

// ==== The picked date

void pick(const pendra::Date& date) {
  if (!date.isValid() || date.year < 1601 || date.year > 9999) return;  // the controls' range
  gPicked = withWeekday(date);
  gSyncing = true;
  SYSTEMTIME time = systemTime(gPicked);
  SendMessageW(item(IDC_DATE), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
  SendMessageW(item(IDC_CALENDAR), MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&time));
  gSyncing = false;
  SetWindowTextW(item(IDC_LABEL), gui::widen(gui::windowDate(gPicked)).c_str());
  // The grid's month and the view's days: run again only when the last
  // listing does not cover them.
  gui::Range needed = gui::listingRange(gSettings.view, gPicked);
  if (gHaveListing && !busy() && gListed.contains(needed.first()) &&
      gListed.contains(needed.last())) {
    showRows();
  } else {
    update();
  }
}

void stepDays(int days) {
  pendra::Date date = gPicked;
  if (days > 0) date.addDays(days);
  if (days < 0) date.subtractDays(-days);
  pick(date);
}

void stepMonth(bool forward) {
  pendra::Date date = gPicked;
  uint8_t day = date.day;
  date.day = 1;
  if (forward) {
    date.nextMonth();
  } else {
    date.previousMonth();
  }
  date.day = std::min(day, pendra::daysInMonth(date.month, date.year));
  pick(date);
}

// ==== Layout

int dialogUnitsX(int units) {
  RECT r = {0, 0, units, 0};
  MapDialogRect(gDialog, &r);
  return r.right;
}

int dialogUnitsY(int units) {
  RECT r = {0, 0, 0, units};
  MapDialogRect(gDialog, &r);
  return r.bottom;
}

void measure() {
  gui::LayoutMetrics& m = gMetrics;
  m.margin = dialogUnitsX(6);
  m.gap = dialogUnitsX(4);
  m.rowHeight = dialogUnitsY(14);
  m.buttonWidth = dialogUnitsX(44);
  m.pickerWidth = dialogUnitsX(64);
  m.viewLabelWidth = dialogUnitsX(22);
  m.textHeight = dialogUnitsY(10);
  m.minListWidth = dialogUnitsX(150);
  m.minListHeight = dialogUnitsY(60);
  RECT calendar = {};
  SendMessageW(item(IDC_CALENDAR), MCM_GETMINREQRECT, 0, reinterpret_cast<LPARAM>(&calendar));
  m.calendarWidth = std::max<int>(calendar.right - calendar.left, dialogUnitsX(110));
  m.calendarHeight = std::max<int>(calendar.bottom - calendar.top, dialogUnitsY(90));
}

void place(int id, const gui::Box& box, HDWP* positions) {
  *positions = DeferWindowPos(*positions, item(id), nullptr, box.x, box.y, box.width, box.height,
                              SWP_NOZORDER | SWP_NOACTIVATE);
}

void layout() {
  RECT client;
  GetClientRect(gDialog, &client);
  if (client.right == 0 && client.bottom == 0) return;  // minimised
  gui::WindowLayout l = gui::layoutWindow(gMetrics, {client.right, client.bottom});
  RECT oldList;
  GetClientRect(item(IDC_LIST), &oldList);
  HDWP positions = BeginDeferWindowPos(12);
  place(IDC_TODAY, l.today, &positions);
  place(IDC_BACK, l.back, &positions);
  place(IDC_DATE, l.picker, &positions);
  place(IDC_FORWARD, l.forward, &positions);
  place(IDC_UPDATE, l.update, &positions);
  place(IDC_EXPORT, l.exportButton, &positions);
  place(IDC_CALENDAR, l.calendar, &positions);
  place(IDC_VIEW_LABEL, l.viewLabel, &positions);
  // A drop-down list's height is its open list's.
  place(IDC_VIEW, {l.view.x, l.view.y, l.view.width, l.view.height * 6}, &positions);
  place(IDC_LABEL, l.label, &positions);
  place(IDC_LIST, l.list, &positions);
  place(IDC_STATUS, l.status, &positions);
  EndDeferWindowPos(positions);
  RECT newList;
  GetClientRect(item(IDC_LIST), &newList);
  if (newList.right != oldList.right && gList) gList->remeasure();
  InvalidateRect(gDialog, nullptr, TRUE);
}

void minimumSize(MINMAXINFO* info) {
  gui::ClientSize least = gui::minimumClientSize(gMetrics);
  RECT r = {0, 0, least.width, least.height};
  AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrW(gDialog, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(gDialog, GWL_EXSTYLE)));
  info->ptMinTrackSize.x = std::max<LONG>(r.right - r.left, gui::kMinWidth);
  info->ptMinTrackSize.y = std::max<LONG>(r.bottom - r.top, gui::kMinHeight);
}

// ==== Settings

void restoreGeometry() {
  if (!gSettings.hasGeometry) {
    // Twice the template's size fits a day's reminders without scrolling.
    RECT r;
    GetWindowRect(gDialog, &r);
    gui::Rect wanted = {r.left, r.top, (r.right - r.left) * 3 / 2, (r.bottom - r.top) * 3 / 2};
    gui::Rect fits = gui::keepOnScreen(wanted, gui::monitorWorkAreas());
    SetWindowPos(gDialog, nullptr, 0, 0, fits.width, fits.height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return;
  }
  gui::Rect r = gui::keepOnScreen(gSettings.geometry, gui::monitorWorkAreas());
  SetWindowPos(gDialog, nullptr, r.x, r.y, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void saveSettings() {
  WINDOWPLACEMENT placement = {};
  placement.length = sizeof placement;
  if (GetWindowPlacement(gDialog, &placement)) {
    RECT r;
    // The normal position is in work-area coordinates; the window's own
    // rectangle is in screen ones, as keepOnScreen wants.
    if (placement.showCmd == SW_SHOWNORMAL && GetWindowRect(gDialog, &r)) {
      placement.rcNormalPosition = r;
    }
    const RECT& n = placement.rcNormalPosition;
    gSettings.hasGeometry = true;
    gSettings.geometry = {n.left, n.top, n.right - n.left, n.bottom - n.top};
    gSettings.maximized = placement.showCmd == SW_SHOWMAXIMIZED;
  }
  std::string reason;
  gui::saveProfileSettings(gSettingsPath, gSettings, &reason);  // nothing to tell at the end
}

// ==== The dialog

void initialise(HWND dialog) {
  gDialog = dialog;
  HINSTANCE instance = GetModuleHandleW(nullptr);
  SendMessageW(dialog, WM_SETICON, ICON_BIG,
               reinterpret_cast<LPARAM>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_PENDRA),
                                                   IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                                   GetSystemMetrics(SM_CYICON), 0)));
  SendMessageW(dialog, WM_SETICON, ICON_SMALL,
               reinterpret_cast<LPARAM>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_PENDRA),
                                                   IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                   GetSystemMetrics(SM_CYSMICON), 0)));
  // The picker writes dates the user's way, with the format asked for by
  // name so that no control falls back on a format of its own.
  wchar_t format[80];
  if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SSHORTDATE, format, 80) > 0)
    SendMessageW(item(IDC_DATE), DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(format));
  HWND view = item(IDC_VIEW);
  SendMessageW(view, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"7 days back, 14 ahead"));
  SendMessageW(view, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"Week"));
  SendMessageW(view, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"Month"));
  SendMessageW(view, CB_SETCURSEL, static_cast<WPARAM>(gSettings.view), 0);
  gList = std::make_unique<gui::DayList>(item(IDC_LIST));
  measure();
  restoreGeometry();
  layout();
  pick(today());
}

void onNotify(const NMHDR* header) {
  if (header->idFrom == IDC_CALENDAR) {
    if (header->code == MCN_GETDAYSTATE) {
      auto* request = const_cast<NMDAYSTATE*>(reinterpret_cast<const NMDAYSTATE*>(header));
      static std::vector<MONTHDAYSTATE> states;  // read by the grid after we return
      states = dayStates(request->stStart, request->cDayState);
      request->prgDayState = states.data();
      PostMessageW(gDialog, WM_NAME_MARKS, 0, 0);  // the months shown changed
    } else if (header->code == MCN_SELCHANGE && !gSyncing) {
      const auto* change = reinterpret_cast<const NMSELCHANGE*>(header);
      pendra::Date date = dateOf(change->stSelStart);
      if (!date.sameDay(gPicked)) pick(date);
    }
  } else if (header->idFrom == IDC_DATE && header->code == DTN_DATETIMECHANGE && !gSyncing) {
    const auto* change = reinterpret_cast<const NMDATETIMECHANGE*>(header);
    if (change->dwFlags == GDT_VALID) {
      pendra::Date date = dateOf(change->st);
      if (!date.sameDay(gPicked)) pick(date);
    }
  }
}

bool onCommand(WORD id, WORD code) {
  switch (id) {
    case IDC_TODAY:
    case IDM_GO_TODAY:
      pick(today());
      return true;
    case IDC_BACK:
    case IDM_DAY_BACK:
      stepDays(-1);
      return true;
    case IDC_FORWARD:
    case IDM_DAY_FORWARD:
      stepDays(1);
      return true;
    case IDM_MONTH_BACK:
      stepMonth(false);
      return true;
    case IDM_MONTH_FORWARD:
      stepMonth(true);
      return true;
    case IDC_UPDATE:
    case IDOK:  // Enter
      update();
      return true;
    case IDC_EXPORT:
      exportMenu();
      return true;
    case IDM_EXPORT_WINDOW:
      exportCalendar(gui::ExportChoice::Shown);
      return true;
    case IDM_EXPORT_MONTH:
      exportCalendar(gui::ExportChoice::Month);
      return true;
    case IDM_EXPORT_YEAR:
      exportCalendar(gui::ExportChoice::TwelveMonths);
      return true;
    case IDC_VIEW:
      if (code == CBN_SELCHANGE) {
        LRESULT choice = SendMessageW(item(IDC_VIEW), CB_GETCURSEL, 0, 0);
        if (choice >= 0 && choice <= 2) {
          gSettings.view = static_cast<gui::View>(choice);
          pick(gPicked);
        }
      }
      return true;
  }
  return false;
}

INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      initialise(dialog);
      return TRUE;
    case WM_ENGINE_DONE:
      finish(wParam);
      return TRUE;
    case WM_NAME_MARKS:
      nameMarks();
      return TRUE;
    case WM_SIZE:
      layout();
      return TRUE;
    case WM_GETMINMAXINFO:
      if (gDialog == nullptr) return FALSE;
      minimumSize(reinterpret_cast<MINMAXINFO*>(lParam));
      return TRUE;
    case WM_DPICHANGED: {
      const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(dialog, nullptr, suggested->left, suggested->top,
                   suggested->right - suggested->left, suggested->bottom - suggested->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      measure();
      layout();
      gList->remeasure();
      return TRUE;
    }
    case WM_MEASUREITEM:
      if (wParam != IDC_LIST || !gList) return FALSE;
      gList->measure(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
      SetWindowLongPtrW(dialog, DWLP_MSGRESULT, TRUE);
      return TRUE;
    case WM_DRAWITEM:
      if (wParam != IDC_LIST || !gList) return FALSE;
      gList->draw(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      SetWindowLongPtrW(dialog, DWLP_MSGRESULT, TRUE);
      return TRUE;
    case WM_NOTIFY:
      onNotify(reinterpret_cast<const NMHDR*>(lParam));
      return FALSE;
    case WM_SETCURSOR:
      if (!busy()) return FALSE;
      // IDC_APPSTARTING is a resource number in a narrow-pointer costume.
      SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_APPSTARTING)));
      SetWindowLongPtrW(dialog, DWLP_MSGRESULT, TRUE);
      return TRUE;
    case WM_COMMAND:
      return onCommand(LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
    case WM_SYSCOMMAND:
      if ((wParam & 0xfff0) != SC_CLOSE) return FALSE;
      [[fallthrough]];
    case WM_CLOSE:  // also what taskkill and a session's end send
      saveSettings();
      stopRun();
      DestroyWindow(dialog);
      return TRUE;
    case WM_DESTROY:
      PostQuitMessage(0);
      return TRUE;
  }
  return FALSE;
}

// PgUp and PgDn move a month while the date picker has the focus; in the
// list they scroll it, and the grid has its own.
bool monthKey(const MSG& message) {
  if (message.message != WM_KEYDOWN || (message.wParam != VK_PRIOR && message.wParam != VK_NEXT))
    return false;
  HWND picker = item(IDC_DATE);
  if (message.hwnd != picker && !IsChild(picker, message.hwnd)) return false;
  stepMonth(message.wParam == VK_NEXT);
  return true;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_DATE_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  // The engine inherits the error mode: one that crashes then ends at once
  // with its exception code, which the list names, instead of waiting
  // behind the system's crash dialog.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  gEnginePath = gui::enginePath();
  gSettingsPath = gui::settingsPath();
  gSettings = gui::loadProfileSettings(gSettingsPath);
  HWND dialog = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_PENDRA), nullptr, dialogProc, 0);
  if (dialog == nullptr) return 1;
  ShowWindow(dialog, gSettings.maximized ? SW_SHOWMAXIMIZED : show);
  HACCEL keys = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDA_PENDRA));
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (TranslateAcceleratorW(dialog, keys, &message) || monthKey(message) ||
        IsDialogMessageW(dialog, &message)) {
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  stopRun();  // however the window ended, no engine outlives it
  return 0;
}
