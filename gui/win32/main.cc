// pendra for Windows: the reminder window as a modeless dialog from the
// resource template. A month grid marks the days with reminders; the list
// beside it shows pendcal's listing for the chosen view, grouped by day.
// The engine runs on a worker thread that posts WM_ENGINE_DONE when it ends,
// so the window answers while it works. All text crosses the API as UTF-16.
#include <windows.h>
// commctrl.h, commdlg.h and shlobj.h need the types of windows.h.
#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "common/date.h"
#include "gui/first_run.h"
#include "gui/keeper.h"
#include "gui/list_rows.h"
#include "gui/listing.h"
#include "gui/runner.h"
#include "gui/safe_write.h"
#include "gui/settings.h"
#include "gui/view_range.h"
#include "gui/win32/add_dialog.h"
#include "gui/win32/day_list.h"
#include "gui/win32/editor_launch.h"
#include "gui/win32/file_watcher.h"
#include "gui/win32/layout.h"
#include "gui/win32/profile_settings.h"
#include "gui/win32/resource.h"
#include "gui/win32/tray.h"
#include "gui/win32/wide.h"

namespace {

// wParam: the generation of the run that ended.
constexpr UINT WM_ENGINE_DONE = WM_APP + 1;
// Names the grid's marked days again once it shows other months.
constexpr UINT WM_NAME_MARKS = WM_APP + 2;
// Something changed in a folder of the reminder file or of an include.
constexpr UINT WM_FILES_CHANGED = WM_APP + 3;

// The reload waits this long after the last change, so that a save in
// several steps gives one run.
constexpr UINT_PTR kReloadTimer = 1;
constexpr UINT kReloadDelay = 500;
// Looks for a new day this often; a timer set for midnight would miss a
// change of clock or a sleep across it.
constexpr UINT_PTR kDayTimer = 2;
constexpr UINT kDayCheck = 20000;

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

// Keeping the reminder file.
bool gWelcome = false;                          // pendcal found no file: the welcome shows
std::unique_ptr<gui::FileWatcher> gWatcher;     // the folders of gListing's files
std::map<std::string, gui::FileStamp> gStamps;  // the watched files as the last run saw them
pendra::Date gToday;                            // what "today" is in the list now

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

void takeStamps();

void update() {
  takeStamps();
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

void layout();
void showWelcome(bool welcome);
void showProblems(const std::vector<gui::Problem>& problems);
void watchFiles(const std::vector<std::string>& files);

// The list and the grid from the listing at hand, for the view's days.
void showRows() {
  gui::Range shown = gui::viewRange(gSettings.view, gPicked);
  gCounts = gui::reminderCounts(gListing.listing);
  std::vector<gui::ListRow> rows = gui::listRows(gListing, shown, today());
  // The problems have a list of their own.
  std::erase_if(rows,
                [](const gui::ListRow& row) { return row.kind == gui::ListRow::Kind::Problem; });
  gList->fill(std::move(rows));
  gList->scrollTo(gPicked);
  int reminders = 0;
  for (auto it = gCounts.lower_bound(shown.first().dayNumber());
       it != gCounts.end() && it->first <= shown.last().dayNumber(); ++it) {
    reminders += it->second;
  }
  std::string status = countText(reminders, "reminder", "reminders") + " from " +
                       gui::windowDate(shown.first()) + " to " + gui::windowDate(shown.last());
  status += "; " + gui::problemCountText(gListing.problems.size());
  setStatus(status);
  markCalendar();
}

void showListing() {
  gListing = gui::readListingRun(gRun.result, gEnginePath);
  gListed = gRun.range;
  gHaveListing = !gListing.noReminderFile;
  showWelcome(gListing.noReminderFile);
  showProblems(gListing.problems);
  watchFiles(gListing.listing.files);
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

// ==== Keeping the reminder file

// The welcome's two buttons take the problems' place under the list.
void showWelcome(bool welcome) {
  bool changed = welcome != gWelcome;
  gWelcome = welcome;
  ShowWindow(item(IDC_CREATE), welcome ? SW_SHOWNA : SW_HIDE);
  ShowWindow(item(IDC_WELCOME_OPEN), welcome ? SW_SHOWNA : SW_HIDE);
  ShowWindow(item(IDC_PROBLEMS), welcome ? SW_HIDE : SW_SHOWNA);
  EnableWindow(item(IDC_EDIT), !welcome);
  EnableWindow(item(IDC_ADD), !welcome);
  if (changed) layout();
}

void showProblems(const std::vector<gui::Problem>& problems) {
  HWND list = item(IDC_PROBLEMS);
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  if (problems.empty()) {
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"\u2714 No problems"));
  }
  for (const gui::Problem& problem : problems) {
    std::string text = gui::problemText(problem);
    text = text.substr(0, text.find('\n'));  // the backtrace stays in pendcal's report
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(gui::widen(text).c_str()));
  }
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

// The file Edit and Add... act on: the listing's first file, else the one
// given with -f; empty when there is none.
std::string reminderFile() {
  if (!gListing.listing.files.empty()) return gListing.listing.files.front();
  return gSettings.reminderFile;
}

void takeStamps() {
  for (auto& [file, stamp] : gStamps) {
    std::string reason;
    if (!gui::fileStamp(file, &stamp, &reason)) stamp = gui::FileStamp();
  }
}

void watchFiles(const std::vector<std::string>& files) {
  std::map<std::string, gui::FileStamp> stamps;
  for (const std::string& file : files) {
    auto known = gStamps.find(file);
    if (known != gStamps.end()) {
      stamps.insert(*known);  // as it was when this run started
      continue;
    }
    std::string reason;
    gui::FileStamp& stamp = stamps[file];
    if (!gui::fileStamp(file, &stamp, &reason)) stamp = gui::FileStamp();
  }
  gStamps = std::move(stamps);
  gWatcher->watch(gui::watchedDirectories(files));
}

// Half a second after the last change in a watched folder: a new run when
// one of the listed files is not as the last run saw it.
void filesSettled() {
  KillTimer(gDialog, kReloadTimer);
  for (const auto& [file, stamp] : gStamps) {
    gui::FileStamp now;
    std::string reason;
    if (!gui::fileStamp(file, &now, &reason)) now = gui::FileStamp();
    if (!(now == stamp)) {
      update();
      return;
    }
  }
}

void openInEditor(const std::string& file, int line) {
  if (file.empty()) return;
  std::string failure = gui::openInEditor(gDialog, file, line);
  if (!failure.empty()) setStatus(failure);
}

// Double-click or Enter on a row of the day list: its reminder's file at
// its line. False when the row has no place.
bool openSelectedReminder() {
  LRESULT index = SendMessageW(item(IDC_LIST), LB_GETCURSEL, 0, 0);
  if (index < 0 || static_cast<size_t>(index) >= gList->rows().size()) return false;
  const gui::ListRow& row = gList->rows()[static_cast<size_t>(index)];
  if (row.file.empty()) return false;
  openInEditor(row.file, row.line);
  return true;
}

bool openSelectedProblem() {
  LRESULT index = SendMessageW(item(IDC_PROBLEMS), LB_GETCURSEL, 0, 0);
  if (index < 0 || static_cast<size_t>(index) >= gListing.problems.size()) return false;
  const gui::Problem& problem = gListing.problems[static_cast<size_t>(index)];
  if (problem.file.empty()) return false;
  openInEditor(problem.file, problem.line);
  return true;
}

void addReminder() {
  std::string file = reminderFile();
  if (file.empty() || gWelcome) return;
  gui::AddRequest request{gEnginePath, file, gListing.listing.files, gPicked};
  std::string message;
  if (!gui::runAddDialog(gDialog, request, &message)) return;
  update();
  setStatus(message);
}

// Lists file from now on, given with -f, and keeps it in the settings.
void useFile(const std::string& file) {
  gSettings.reminderFile = file;
  std::string reason;
  if (!gui::saveProfileSettings(gSettingsPath, gSettings, &reason))
    setStatus("The settings were not saved: " + reason);
  gStamps.clear();
  update();
}

void chooseReminderFile() {
  std::wstring file(32768, L'\0');
  OPENFILENAMEW dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = gDialog;
  dialog.lpstrFilter = L"Reminder files (*.pnd)\0*.pnd\0All files\0*.*\0";
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrTitle = L"Open a reminder file";
  dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
  if (!GetOpenFileNameW(&dialog)) return;
  file.resize(wcslen(file.c_str()));
  useFile(gui::narrow(file));
}

// Writes the starter file where pendcal looks first and lists it.
void createStarterFile() {
  std::string path = gui::starterFilePath();
  if (path.empty()) {
    setStatus("No profile folder is known for the reminder file");
    return;
  }
  std::string reason;
  if (!gui::makeDirectories(gui::parentDirectory(path), &reason)) {
    setStatus("Could not create " + path + ": " + reason);
    return;
  }
  gui::WriteResult written =
      gui::createFile(path, gui::starterFileText("\r\n"), gui::Existing::Refuse);
  if (!written.ok && written.reason != gui::kFileExists) {
    setStatus("Could not create " + path + ": " + written.reason);
    return;
  }
  // pendcal finds it there; a file chosen before would come first.
  useFile(gSettings.reminderFile.empty() ? std::string() : path);
}

// A new local day moves "today" in the list.
void checkNewDay() {
  pendra::Date now = today();
  gui::NewDay action = gui::newDayAction(gToday, now, gPicked);
  gToday = now;
  if (action == gui::NewDay::MoveToToday) {
    pick(now);
    if (!busy()) update();  // the same days, but another heading is "Today"
  } else if (action == gui::NewDay::Refresh) {
    update();
  }
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
  HDWP positions = BeginDeferWindowPos(18);
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
  place(IDC_STATUS, l.status, &positions);
  // Edit, Add... and Open... under the view choice.
  const gui::LayoutMetrics& m = gMetrics;
  int third = (l.calendar.width - 2 * m.gap) / 3;
  int keepY = l.view.bottom() + m.gap;
  place(IDC_EDIT, {l.calendar.x, keepY, third, m.rowHeight}, &positions);
  place(IDC_ADD, {l.calendar.x + third + m.gap, keepY, third, m.rowHeight}, &positions);
  place(IDC_OPEN, {l.calendar.x + 2 * (third + m.gap), keepY, third, m.rowHeight}, &positions);
  // Under the list: the problems, or the welcome's Create button.
  int under = gWelcome ? m.rowHeight : 4 * m.textHeight + m.gap / 2;
  under = std::min(under, l.list.height / 3);
  gui::Box list = l.list;
  list.height -= under + m.gap;
  place(IDC_LIST, list, &positions);
  place(IDC_PROBLEMS, {list.x, list.bottom() + m.gap, list.width, under}, &positions);
  int welcomeWidth = std::min((list.width - m.gap) / 2, 4 * m.buttonWidth);
  place(IDC_CREATE, {list.x, list.bottom() + m.gap, welcomeWidth, under}, &positions);
  place(IDC_WELCOME_OPEN,
        {list.x + welcomeWidth + m.gap, list.bottom() + m.gap, welcomeWidth, under}, &positions);
  EndDeferWindowPos(positions);
  RECT newList;
  GetClientRect(item(IDC_LIST), &newList);
  if (newList.right != oldList.right && gList) gList->remeasure();
  InvalidateRect(gDialog, nullptr, TRUE);
}

void minimumSize(MINMAXINFO* info) {
  gui::ClientSize least = gui::minimumClientSize(gMetrics);
  least.height += gMetrics.rowHeight + gMetrics.gap;  // Edit, Add... and Open...
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
  gWatcher = std::make_unique<gui::FileWatcher>(dialog, WM_FILES_CHANGED);
  gToday = today();
  SetTimer(dialog, kDayTimer, kDayCheck, nullptr);
  ShowWindow(item(IDC_CREATE), SW_HIDE);
  ShowWindow(item(IDC_WELCOME_OPEN), SW_HIDE);
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
    case IDOK:  // Enter: the chosen reminder or problem in the editor, else Update
      if (GetFocus() == item(IDC_LIST) && openSelectedReminder()) return true;
      if (GetFocus() == item(IDC_PROBLEMS) && openSelectedProblem()) return true;
      update();
      return true;
    case IDC_UPDATE:
      update();
      return true;
    case IDC_LIST:
      if (code == LBN_DBLCLK) openSelectedReminder();
      return true;
    case IDC_PROBLEMS:
      if (code == LBN_DBLCLK) openSelectedProblem();
      return true;
    case IDC_EDIT:
      openInEditor(reminderFile(), 0);
      return true;
    case IDC_ADD:
      addReminder();
      return true;
    case IDC_OPEN:
    case IDC_WELCOME_OPEN:
      chooseReminderFile();
      return true;
    case IDC_CREATE:
      createStarterFile();
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
    case WM_FILES_CHANGED:
      SetTimer(dialog, kReloadTimer, kReloadDelay, nullptr);  // again from now
      return TRUE;
    case WM_TIMER:
      if (wParam == kReloadTimer) filesSettled();
      if (wParam == kDayTimer) checkNewDay();
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
      gWatcher->stop();
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
  if (gui::trayRequested()) return gui::runTray(instance);
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_DATE_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  // The engine inherits the error mode: one that crashes then ends at once
  // with its exception code, which the list names, instead of waiting
  // behind the system's crash dialog.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  gEnginePath = gui::enginePath();
  gSettingsPath = gui::settingsPath();
  gSettings = gui::loadProfileSettings(gSettingsPath);
  // pendra FILE lists that file, and keeps it for the next start.
  int count = 0;
  if (wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count)) {
    if (count >= 2) {
      wchar_t full[32768];
      DWORD length = GetFullPathNameW(words[1], 32768, full, nullptr);
      if (length > 0 && length < 32768) {
        gSettings.reminderFile = gui::narrow(full);
        std::string reason;
        gui::saveProfileSettings(gSettingsPath, gSettings, &reason);  // the window says nothing yet
      }
    }
    LocalFree(words);
  }
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
