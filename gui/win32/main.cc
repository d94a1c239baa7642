// pendra for Windows: the reminder window as a modal dialog from the
// resource template, with a date-time picker and a list box.
#include <windows.h>
// commctrl.h needs the types of windows.h.
#include <commctrl.h>

#include <string>
#include <vector>

#include "common/date.h"
#include "gui/date_label.h"
#include "gui/runner.h"
#include "gui/win32/resource.h"

namespace {

HWND gDialog = nullptr;
std::string gEnginePath;

void setPickerDate(const pendra::Date& date) {
  HWND picker = GetDlgItem(gDialog, IDC_DATE);
  SYSTEMTIME time = {};
  SendMessageA(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time));
  time.wDay = date.day;
  time.wMonth = date.month;
  time.wYear = static_cast<WORD>(date.year);
  time.wDayOfWeek = static_cast<WORD>(pendra::weekdayOf(date.day, date.month, date.year) - 1);
  SendMessageA(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
}

pendra::Date getPickerDate() {
  SYSTEMTIME time = {};
  SendMessageA(GetDlgItem(gDialog, IDC_DATE), DTM_GETSYSTEMTIME, 0,
               reinterpret_cast<LPARAM>(&time));
  return pendra::Date(static_cast<uint8_t>(time.wDay), static_cast<uint8_t>(time.wMonth),
                      time.wYear);
}

void showDateLabel(const pendra::Date& date) {
  SetWindowTextA(GetDlgItem(gDialog, IDC_LABEL), gui::dateLabel(date).c_str());
}

// Fills the list box; its horizontal scroll bar needs the widest line.
void showLines(const std::vector<std::string>& lines) {
  HWND list = GetDlgItem(gDialog, IDC_LIST);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  HDC dc = GetDC(list);
  HGDIOBJ oldFont =
      SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(list, WM_GETFONT, 0, 0)));
  LONG widest = 0;
  for (const std::string& line : lines) {
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    SIZE size = {};
    if (GetTextExtentPoint32A(dc, line.c_str(), static_cast<int>(line.size()), &size) &&
        size.cx > widest) {
      widest = size.cx;
    }
  }
  SelectObject(dc, oldFont);
  ReleaseDC(list, dc);
  SendMessageA(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + 8), 0);
}

void update() {
  pendra::Date date = getPickerDate();
  showDateLabel(date);
  showLines(gui::updateLines(gEnginePath, date));
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
      }
      return FALSE;
    case WM_SYSCOMMAND:
      if ((wParam & 0xfff0) == SC_CLOSE) {
        PostQuitMessage(0);
        return TRUE;
      }
      return FALSE;
  }
  return FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_DATE_CLASSES};
  InitCommonControlsEx(&controls);
  gEnginePath = gui::enginePath();
  DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_PENDRA), nullptr, dialogProc, 0);
  return 0;
}
