#include "gui/win32/add_dialog.h"

// commctrl.h needs the types of windows.h.
#include <commctrl.h>

#include <algorithm>
#include <string>

#include "gui/entry_builder.h"
#include "gui/keeper.h"
#include "gui/listing.h"
#include "gui/runner.h"
#include "gui/safe_write.h"
#include "gui/view_range.h"
#include "gui/win32/resource.h"
#include "gui/win32/wide.h"

namespace gui {

namespace {

constexpr UINT_PTR kPreviewTimer = 1;
constexpr UINT kPreviewDelay = 300;  // ms after the last keystroke
// Everything the form keeps between messages; one form at a time.
struct Form {
  const AddRequest* request = nullptr;
  std::string* message = nullptr;
  std::string bytes;  // the file as read when the form opened
  FileStamp stamp;
  std::string refusal;  // why nothing can be added; empty when it can
  std::string scratch;  // the file the next days are worked out from
  bool filling = false;
} gForm;

void setText(HWND dialog, int id, const std::string& text) {
  SetDlgItemTextW(dialog, id, widen(text).c_str());
}

std::string textOf(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(
      static_cast<size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return narrow(text);
}

EntryForm formOf(HWND dialog) {
  EntryForm form;
  SYSTEMTIME time = {};
  SendDlgItemMessageW(dialog, IDC_ADD_DATE, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time));
  form.date =
      pendra::Date(static_cast<uint8_t>(time.wDay), static_cast<uint8_t>(time.wMonth), time.wYear);
  form.date.weekday = pendra::weekdayOf(form.date.day, form.date.month, form.date.year);
  LRESULT index = SendDlgItemMessageW(dialog, IDC_ADD_REPEAT, CB_GETCURSEL, 0, 0);
  form.repeat = kRepeats[index >= 0 && index < 5 ? index : 0];
  form.text = textOf(dialog, IDC_ADD_TEXT);
  BOOL number = FALSE;
  UINT before = GetDlgItemInt(dialog, IDC_ADD_BEFORE, &number, FALSE);
  form.daysBefore = number ? static_cast<int>(std::min<UINT>(before, 100000)) : 0;
  return form;
}

// The repeat names follow the date ("Every month on the second tue").
void fillRepeats(HWND dialog, const pendra::Date& date) {
  HWND combo = GetDlgItem(dialog, IDC_ADD_REPEAT);
  LRESULT index = SendMessageW(combo, CB_GETCURSEL, 0, 0);
  gForm.filling = true;
  SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  for (Repeat repeat : kRepeats)
    SendMessageW(combo, CB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(widen(repeatName(repeat, date)).c_str()));
  SendMessageW(combo, CB_SETCURSEL, index < 0 ? 0 : index, 0);
  gForm.filling = false;
}

void formChanged(HWND dialog) {
  EntryForm form = formOf(dialog);
  fillRepeats(dialog, form.date);
  std::string problem = formProblem(form);
  KillTimer(dialog, kPreviewTimer);
  if (!problem.empty()) {
    setText(dialog, IDC_ADD_ENTRY, problem);
    setText(dialog, IDC_ADD_NEXT, "");
    EnableWindow(GetDlgItem(dialog, IDOK), FALSE);
    return;
  }
  setText(dialog, IDC_ADD_ENTRY, entryText(form));
  setText(dialog, IDC_ADD_NEXT, "\u2026");
  EnableWindow(GetDlgItem(dialog, IDOK), gForm.refusal.empty());
  SetTimer(dialog, kPreviewTimer, kPreviewDelay, nullptr);
}

// Runs pendcal on the entry alone for the next three days it falls on.
void preview(HWND dialog) {
  KillTimer(dialog, kPreviewTimer);
  EntryForm form = formOf(dialog);
  if (!formProblem(form).empty() || gForm.scratch.empty()) return;
  WriteResult written = createFile(gForm.scratch, entryText(form) + "\r\n");
  if (!written.ok) {
    setText(dialog, IDC_ADD_NEXT, written.reason);
    return;
  }
  EngineRequest request{gForm.request->enginePath, previewArguments(gForm.scratch, form.date),
                        timeLimit()};
  request.errorsApart = true;
  EngineRun run = runEngine(request);
  if (!run.ok) {
    setText(dialog, IDC_ADD_NEXT, "pendcal could not be run");
    return;
  }
  std::string text;
  for (const pendra::Date& day : nextDays(parseListing(run.output)))
    text += (text.empty() ? "" : ", ") + windowDate(day);
  setText(dialog, IDC_ADD_NEXT, text.empty() ? "Not in the next three years" : text);
}

void initialise(HWND dialog) {
  const AddRequest& request = *gForm.request;
  SYSTEMTIME time = {};
  time.wDay = request.date.day;
  time.wMonth = request.date.month;
  time.wYear = static_cast<WORD>(request.date.year);
  time.wHour = 12;
  SendDlgItemMessageW(dialog, IDC_ADD_DATE, DTM_SETSYSTEMTIME, GDT_VALID,
                      reinterpret_cast<LPARAM>(&time));
  SendDlgItemMessageW(dialog, IDC_ADD_BEFORE_SPIN, UDM_SETRANGE32, 0, kMaxDaysBefore);
  SendDlgItemMessageW(dialog, IDC_ADD_BEFORE_SPIN, UDM_SETPOS32, 0, 0);
  SendDlgItemMessageW(dialog, IDC_ADD_TEXT, EM_SETLIMITTEXT, kMaxTextLength, 0);
  SetWindowTextW(dialog, widen("Add a reminder to " + fileNameOf(request.file)).c_str());

  // The file as it is now: the write checks that it is still so.
  DWORD attributes = GetFileAttributesW(widen(request.file).c_str());
  bool readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
  gForm.refusal = addRefusal(request.file, request.listedFiles, readOnly);
  std::string reason;
  if (gForm.refusal.empty() && !readFile(request.file, &gForm.bytes, &gForm.stamp, &reason))
    gForm.refusal = "Cannot read " + request.file + ": " + reason;
  setText(dialog, IDC_ADD_MESSAGE, gForm.refusal);

  wchar_t folder[MAX_PATH + 1];
  DWORD length = GetTempPathW(MAX_PATH + 1, folder);
  if (length > 0 && length <= MAX_PATH)
    gForm.scratch =
        narrow(folder) + "pendra-entry-" + std::to_string(GetCurrentProcessId()) + ".pnd";
  formChanged(dialog);
  SetFocus(GetDlgItem(dialog, IDC_ADD_TEXT));
}

bool write(HWND dialog) {
  EntryForm form = formOf(dialog);
  std::string problem = formProblem(form);
  if (!problem.empty() || !gForm.refusal.empty()) {
    setText(dialog, IDC_ADD_MESSAGE, problem.empty() ? gForm.refusal : problem);
    return false;
  }
  const std::string& file = gForm.request->file;
  WriteResult result = replaceFile(file, gForm.stamp, appendEntry(gForm.bytes, entryText(form)));
  if (!result.ok) {
    setText(dialog, IDC_ADD_MESSAGE,
            "Nothing was written to " + fileNameOf(file) + ": " + result.reason);
    return false;
  }
  *gForm.message = "Added to " + fileNameOf(file) + ": " + entryText(form);
  return true;
}

INT_PTR CALLBACK formProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      initialise(dialog);
      return FALSE;  // the focus is set
    case WM_TIMER:
      if (wParam == kPreviewTimer) preview(dialog);
      return TRUE;
    case WM_NOTIFY:
      if (reinterpret_cast<const NMHDR*>(lParam)->code == DTN_DATETIMECHANGE) formChanged(dialog);
      return FALSE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
          if (write(dialog)) EndDialog(dialog, IDOK);
          return TRUE;
        case IDCANCEL:
          EndDialog(dialog, IDCANCEL);
          return TRUE;
        case IDC_ADD_REPEAT:
          if (HIWORD(wParam) == CBN_SELCHANGE && !gForm.filling) formChanged(dialog);
          return TRUE;
        case IDC_ADD_TEXT:
        case IDC_ADD_BEFORE:
          if (HIWORD(wParam) == EN_CHANGE) formChanged(dialog);
          return TRUE;
      }
      return FALSE;
  }
  return FALSE;
}

}  // namespace

bool runAddDialog(HWND owner, const AddRequest& request, std::string* message) {
  message->clear();
  gForm = Form();
  gForm.request = &request;
  gForm.message = message;
  INT_PTR result =
      DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_ADD), owner, formProc, 0);
  if (!gForm.scratch.empty()) DeleteFileW(widen(gForm.scratch).c_str());
  gForm = Form();
  return result == IDOK;
}

}  // namespace gui
