// How long the Windows reminder list takes to show a listing, in
// milliseconds:
//   win32_fill_bench [ENGINE ARGUMENT...]
// With an engine, runs it as Update does (its arguments as given, e.g.
// -k -l -b 0 -a 30 1 dec 2026) and shows its listing; without one, shows a
// made-up month of 1,000 reminders (one in ten of two lines, one in ten a
// look-ahead). Prints the time to run the engine, to read the listing into
// rows, to fill the owner-drawn list in one batch, and to measure every
// item again after the list got wider.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "gui/list_rows.h"
#include "gui/listing.h"
#include "gui/runner.h"
#include "gui/view_range.h"
#include "gui/win32/day_list.h"

namespace {

gui::DayList* gList = nullptr;

double millisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

// Lets the list paint, as the window's message loop would.
void pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

LRESULT CALLBACK parentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_MEASUREITEM && gList != nullptr) {
    gList->measure(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
    return TRUE;
  }
  if (message == WM_DRAWITEM && gList != nullptr) {
    gList->draw(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    return TRUE;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

std::string madeUpMonth(const pendra::Date& first) {
  std::string listing = "file\tpendra.pnd\n";
  char line[256];
  for (int i = 0; i < 1000; ++i) {
    pendra::Date scanned = first;
    scanned.addDays(i * 31 / 1000);
    pendra::Date matched = scanned;
    if (i % 10 == 3) matched.addDays(3);
    const char* text = i % 10 == 7 ? "A reminder of two lines\\nwith its second one"
                                   : "A reminder of fifty-odd bytes, as most of them are";
    std::snprintf(line, sizeof line, "%s\t%s\tpendra.pnd\t%d\t%s %d\n",
                  gui::isoDate(scanned).c_str(), gui::isoDate(matched).c_str(), i + 1, text, i);
    listing += line;
  }
  return listing;
}

}  // namespace

int main(int argc, char** argv) {
  pendra::Date first(1, 12, 2026);
  gui::Range range{first, 0, 30};
  gui::EngineRun run;
  run.ok = true;
  if (argc > 1) {
    std::vector<std::string> arguments(argv + 2, argv + argc);
    gui::EngineRequest request{argv[1], arguments};
    request.errorsApart = true;
    auto start = std::chrono::steady_clock::now();
    run = gui::runEngine(request);
    std::printf("engine run: %.0f ms, %zu bytes\n", millisecondsSince(start), run.output.size());
  } else {
    run.output = madeUpMonth(first);
  }
  auto start = std::chrono::steady_clock::now();
  gui::ListingResult result = gui::readListingRun(run, argc > 1 ? argv[1] : "pendcal");
  std::vector<gui::ListRow> rows = gui::listRows(result, range, first);
  std::printf("listing into rows: %zu occurrences, %zu rows in %.1f ms\n",
              result.listing.occurrences.size(), rows.size(), millisecondsSince(start));

  WNDCLASSW type = {};
  type.lpfnWndProc = parentProc;
  type.hInstance = GetModuleHandleW(nullptr);
  type.lpszClassName = L"FillBench";
  RegisterClassW(&type);
  HWND parent = CreateWindowExW(0, L"FillBench", L"fill bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                0, 640, 480, nullptr, nullptr, type.hInstance, nullptr);
  HWND list =
      CreateWindowExW(0, L"ListBox", L"",
                      WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY | LBS_HASSTRINGS |
                          LBS_OWNERDRAWVARIABLE | LBS_NOINTEGRALHEIGHT | LBS_DISABLENOSCROLL,
                      0, 0, 400, 450, parent, nullptr, type.hInstance, nullptr);
  SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
  gui::DayList dayList(list);
  gList = &dayList;
  pump();

  start = std::chrono::steady_clock::now();
  dayList.fill(rows);
  dayList.scrollTo(first);
  pump();
  std::printf("fill, one batch: %zu items in %.0f ms\n", rows.size(), millisecondsSince(start));

  MoveWindow(list, 0, 0, 600, 450, TRUE);
  start = std::chrono::steady_clock::now();
  dayList.remeasure();
  pump();
  std::printf("measure again at a new width: %.0f ms\n", millisecondsSince(start));
  gList = nullptr;
  DestroyWindow(parent);
  return 0;
}
