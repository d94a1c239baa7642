// What the Wine probes read from another process's list box: its lines.
#ifndef PENDRA_TESTS_WINE_PROBE_LIST_H_
#define PENDRA_TESTS_WINE_PROBE_LIST_H_

#include <windows.h>

#include <string>
#include <vector>

inline std::vector<std::wstring> listLines(HWND list) {
  std::vector<std::wstring> lines;
  LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    LRESULT length = SendMessageW(list, LB_GETTEXTLEN, i, 0);
    if (length < 0) break;
    std::wstring line(static_cast<size_t>(length) + 1, L'\0');
    LRESULT got = SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line.data()));
    line.resize(got > 0 ? static_cast<size_t>(got) : 0);
    lines.push_back(line);
  }
  return lines;
}

#endif  // PENDRA_TESTS_WINE_PROBE_LIST_H_
