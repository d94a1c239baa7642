// How long the Win32 list box takes to show a report, in milliseconds:
//   win32_fill_bench [ENGINE ARGUMENT...]
// With an engine, runs it as Update does and fills the list with its
// lines; without one, fills 1 MiB of 64-byte lines. Prints the time to run
// the engine, to fill in one batch with redraw off (fillListBox), and, for
// the first 1,100 lines only, to fill line by line with redraw on.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "gui/runner.h"
#include "gui/win32/list_fill.h"

namespace {

double millisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

// Lets the list paint, as the dialog's message loop would.
void pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

HWND makeList() {
  HWND list = CreateWindowExW(0, L"ListBox", L"",
                              WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL |
                                  LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT,
                              0, 0, 400, 450, nullptr, nullptr, nullptr, nullptr);
  pump();
  return list;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> lines;
  if (argc > 1) {
    std::vector<std::string> arguments(argv + 2, argv + argc);
    auto start = std::chrono::steady_clock::now();
    gui::EngineRun run = gui::runEngine(argv[1], arguments);
    std::printf("engine run: %.0f ms, %zu bytes\n", millisecondsSince(start), run.output.size());
    lines = gui::listLines(run, argv[1]);
  } else {
    char line[64];
    for (int i = 0; i < (1 << 20) / 64; ++i) {
      std::snprintf(line, sizeof line, "%06d  ---today---  : a reminder of fifty-odd bytes", i);
      lines.push_back(line);
    }
  }
  HWND list = makeList();
  auto start = std::chrono::steady_clock::now();
  gui::fillListBox(list, lines);
  pump();
  std::printf("one batch, redraw off: %zu lines in %.0f ms\n", lines.size(),
              millisecondsSince(start));

  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  pump();
  size_t few = std::min<size_t>(lines.size(), 1100);
  start = std::chrono::steady_clock::now();
  for (size_t i = 0; i < few; ++i) {
    std::wstring text(lines[i].begin(), lines[i].end());  // ASCII here
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    pump();
  }
  std::printf("line by line, redraw on: %zu lines in %.0f ms\n", few, millisecondsSince(start));
  DestroyWindow(list);
  return 0;
}
