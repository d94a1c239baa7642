// What the Wine probes read from another process's list box: its lines,
// whether one holds a text, and the wait for a list that holds it and has
// settled; and the UTF-8 in which they print what they saw.
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

inline bool holds(const std::vector<std::wstring>& lines, const std::wstring& text) {
  for (const std::wstring& line : lines)
    if (line.find(text) != std::wstring::npos) return true;
  return false;
}

// Looks every half second until the deadline for the list that find()
// gives (nullptr while there is none) to hold TEXT and to be unchanged
// since the look before; *lines gets the last lines seen.
template <typename Find>
bool waitForSettledList(DWORD deadline, const std::wstring& text, Find find,
                        std::vector<std::wstring>* lines) {
  std::vector<std::wstring> previous;
  while (static_cast<LONG>(deadline - GetTickCount()) > 0) {
    Sleep(500);
    HWND list = find();
    if (list == nullptr) continue;
    previous = *lines;
    *lines = listLines(list);
    if (holds(*lines, text) && *lines == previous) return true;
  }
  return false;
}

inline std::string utf8(const std::wstring& text) {
  int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(size > 0 ? size : 1), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), size, nullptr, nullptr);
  out.resize(out.size() - 1);
  return out;
}

#endif  // PENDRA_TESTS_WINE_PROBE_LIST_H_
