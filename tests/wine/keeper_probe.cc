// Uses a running pendra under Wine as a new user would, from outside:
//  1. no reminder file: the welcome lists the places and offers Create;
//     Create writes PROFILE\pendra.pnd (CR LF lines) and it is listed with
//     no problems;
//  2. Add... with the file changed on disk since the form opened: refused
//     and the file untouched; again: the entry is appended with CR LF,
//     the old file kept as pendra.pnd~, and the reminder listed;
//  3. a Scheme typo appended from outside: listed again by itself, the
//     problem shown with its file and line, the reminders still listed;
//  4. a save by rename: listed again, the problem gone;
//  5. double-click on the reminder: the "edit" verb's editor (a stand-in
//     named notepad++.exe) is started with -nLINE and the file.
// Saves the window as SHOTS\welcome.bmp, add.bmp and problems.bmp.
// Usage: keeper_probe SECONDS PROFILE SHOTS EDITOR; prints one line per
// step and exits 0 when every check passed. Closes the window at the end.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <functional>
#include <string>
#include <vector>

#include "probe_list.h"

namespace {

// The window's control identifiers (gui/win32/resource.h).
constexpr int kList = 107, kStatus = 112, kAdd = 114, kProblems = 116, kCreate = 117;
constexpr int kAddText = 153, kAddEntry = 155, kAddNext = 156, kAddMessage = 157;

DWORD gDeadline = 0;

std::wstring textOf(HWND window) {
  wchar_t text[2048] = L"";
  SendMessageTimeoutW(window, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 5000,
                      nullptr);
  return text;
}

int indexOf(HWND list, const std::wstring& text) {
  std::vector<std::wstring> all = listLines(list);
  for (size_t i = 0; i < all.size(); ++i)
    if (all[i].find(text) != std::wstring::npos) return static_cast<int>(i);
  return -1;
}

// Waits for the condition until the deadline, looking every 200 ms.
bool waitFor(const std::function<bool()>& condition) {
  while (static_cast<LONG>(gDeadline - GetTickCount()) > 0) {
    if (condition()) return true;
    Sleep(200);
  }
  return condition();
}

struct Search {
  DWORD process = 0;
  std::wstring title;  // the start of the title
  HWND found = nullptr;
};

BOOL CALLBACK findTop(HWND top, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  DWORD process = 0;
  GetWindowThreadProcessId(top, &process);
  if (!IsWindowVisible(top) || (search->process != 0 && process != search->process)) return TRUE;
  if (textOf(top).rfind(search->title, 0) != 0) return TRUE;
  search->found = top;
  return FALSE;
}

HWND topWindow(DWORD process, const std::wstring& title) {
  Search search{process, title, nullptr};
  EnumWindows(findTop, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string readAll(const std::wstring& path) {
  std::string bytes;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(file);
  return bytes;
}

bool writeAll(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool done = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size();
  CloseHandle(file);
  return done;
}

// The window's client area as the screen shows it, as a 24-bit BMP file.
void screenshot(HWND window, const std::wstring& path) {
  SetForegroundWindow(window);
  Sleep(300);  // the controls repaint after they were changed from outside
  // The client area: without a window manager there is no frame to show.
  RECT r;
  GetClientRect(window, &r);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
  int width = r.right - r.left, height = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
  SelectObject(memory, old);
  BITMAPINFOHEADER header = {};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
  std::string pixels(stride * static_cast<size_t>(height), '\0');
  GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(),
            reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
  BITMAPFILEHEADER file = {};
  file.bfType = 0x4d42;
  file.bfOffBits = sizeof file + sizeof header;
  file.bfSize = static_cast<DWORD>(file.bfOffBits + pixels.size());
  std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
  bytes.append(reinterpret_cast<const char*>(&header), sizeof header);
  writeAll(path, bytes + pixels);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
}

// Presses a button without waiting for what it starts (a modal form).
void press(HWND dialog, int id) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

bool ok = true;
void check(bool passed, const char* what, const std::wstring& seen = L"") {
  std::printf("%s: %s%s%s\n", what, passed ? "ok" : "FAILED", seen.empty() ? "" : " ",
              utf8(seen).c_str());
  ok = ok && passed;
}

// Opens the Add form, types text and waits for its next days.
HWND openAdd(HWND window, DWORD process, const std::wstring& text) {
  press(window, kAdd);
  HWND form = nullptr;
  waitFor([&] { return (form = topWindow(process, L"Add a reminder")) != nullptr; });
  if (form == nullptr) return nullptr;
  SendMessageW(GetDlgItem(form, kAddText), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  waitFor([&] { return textOf(GetDlgItem(form, kAddNext)).find(L" 20") != std::wstring::npos; });
  return form;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: keeper_probe SECONDS PROFILE SHOTS EDITOR\n");
    return 2;
  }
  gDeadline = GetTickCount() + static_cast<DWORD>(_wtoi(argv[1])) * 1000;
  const std::wstring profile = argv[2], shots = argv[3], editor = argv[4];
  const std::wstring file = profile + L"\\pendra.pnd";

  // 1. The welcome, then Create.
  HWND window = nullptr;
  waitFor([&] {
    window = topWindow(0, L"Pendra");
    return window != nullptr && IsWindowVisible(GetDlgItem(window, kCreate)) &&
           indexOf(GetDlgItem(window, kList), file) >= 0;
  });
  if (window == nullptr) {
    std::printf("window: none\n");
    return 1;
  }
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  HWND list = GetDlgItem(window, kList), problems = GetDlgItem(window, kProblems);
  check(IsWindowVisible(GetDlgItem(window, kCreate)) && indexOf(list, L"Welcome") == 0,
        "welcome with the places", textOf(GetDlgItem(window, kStatus)));
  screenshot(window, shots + L"\\welcome.bmp");
  press(window, kCreate);
  bool listed = waitFor([&] {
    return !IsWindowVisible(GetDlgItem(window, kCreate)) &&
           indexOf(problems, L"No problems") == 0 &&
           textOf(GetDlgItem(window, kStatus)).find(L"reminder") != std::wstring::npos;
  });
  std::string starter = readAll(file);
  check(listed && starter.find("remind [Pay the rent].\r\n") != std::string::npos,
        "created and listed", textOf(GetDlgItem(window, kStatus)));

  // 2. Add..., first refused for a change on disk since the form opened.
  const std::wstring text = L"Probe [1] at the café";
  HWND form = openAdd(window, process, text);
  check(form != nullptr, "add form", form ? textOf(GetDlgItem(form, kAddEntry)) : L"");
  if (form == nullptr) return 1;
  std::wstring entry = textOf(GetDlgItem(form, kAddEntry));
  screenshot(form, shots + L"\\add.bmp");
  std::string changed = starter + "; changed elsewhere\r\n";
  writeAll(file, changed);
  press(form, IDOK);
  waitFor(
      [&] { return textOf(GetDlgItem(form, kAddMessage)).find(L"changed") != std::wstring::npos; });
  check(readAll(file) == changed, "refused after a change on disk",
        textOf(GetDlgItem(form, kAddMessage)));
  press(form, IDCANCEL);
  waitFor([&] { return !IsWindow(form); });
  form = openAdd(window, process, text);
  if (form == nullptr) return 1;
  press(form, IDOK);
  bool added = waitFor([&] { return !IsWindow(form) && indexOf(list, text) >= 0; });
  std::string after = readAll(file);
  check(added && after == changed + utf8(entry) + "\r\n" && readAll(file + L"~") == changed,
        "added with CR LF and a backup", entry);

  // 3. A Scheme typo from outside: the problem apart, the reminders listed.
  int typoLine = 1;
  for (char c : after) typoLine += c == '\n';
  writeAll(file, after + "(display (dayname))\r\n");
  std::wstring place = L"pendra.pnd(" + std::to_wstring(typoLine) + L")";
  bool shown = waitFor([&] { return indexOf(problems, place) >= 0 && indexOf(list, text) >= 0; });
  int typo = indexOf(problems, place);
  check(shown, "a typo shown beside the reminders", typo >= 0 ? listLines(problems)[typo] : L"");
  screenshot(window, shots + L"\\problems.bmp");

  // 4. Saved by rename, as many editors do: the typo gone.
  writeAll(file + L".tmp", after + "; mended\r\n");
  MoveFileExW((file + L".tmp").c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING);
  check(waitFor([&] { return indexOf(problems, L"No problems") == 0 && indexOf(list, text) >= 0; }),
        "listed again after a save by rename");

  // 5. Double-click on the reminder: its line in the editor.
  int index = indexOf(list, text);
  SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
  PostMessageW(window, WM_COMMAND, MAKEWPARAM(kList, LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
  std::wstring record = editor.substr(0, editor.find_last_of(L'\\')) + L"\\editor-arguments.txt";
  // The file as pendcal names it, which may join the profile and the name with "/".
  std::string expected = "-n" + std::to_string(typoLine - 1) + " " + utf8(profile);
  bool edited = waitFor([&] {
    std::string seen = readAll(record);
    return seen.rfind(expected, 0) == 0 && seen.find("pendra.pnd\n") != std::string::npos;
  });
  check(edited, "double-click opens the editor at the line", L"-n" + std::to_wstring(typoLine - 1));

  PostMessageW(window, WM_CLOSE, 0, 0);
  return ok ? 0 : 1;
}
