#include "gui/win32/list_fill.h"

#include "gui/win32/wide.h"

namespace gui {

void fillListBox(HWND list, const std::vector<std::string>& lines) {
  // With redraw on, every added line repaints the box: minutes for a long
  // backtrace instead of about a second.
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  size_t bytes = 0;
  for (const std::string& line : lines) bytes += (line.size() + 1) * sizeof(wchar_t);
  SendMessageW(list, LB_INITSTORAGE, lines.size(), static_cast<LPARAM>(bytes));
  HDC dc = GetDC(list);
  HGDIOBJ oldFont =
      SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(list, WM_GETFONT, 0, 0)));
  LONG widest = 0;
  for (const std::string& line : lines) {
    std::wstring text = widen(line);
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    SIZE size = {};
    if (GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size) &&
        size.cx > widest) {
      widest = size.cx;
    }
  }
  SelectObject(dc, oldFont);
  ReleaseDC(list, dc);
  SendMessageW(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + 8), 0);
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

}  // namespace gui
