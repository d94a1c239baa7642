#include "gui/win32/tray_shell.h"

// The shell headers need the types of windows.h first.
#include <objbase.h>
#include <objidl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

namespace gui {
namespace {

constexpr UINT kIconId = 1;

NOTIFYICONDATAW iconData(HWND window) {
  NOTIFYICONDATAW data = {};
  data.cbSize = sizeof data;
  data.hWnd = window;
  data.uID = kIconId;
  return data;
}

template <size_t N>
void copyInto(wchar_t (&field)[N], const std::wstring& text) {
  std::wstring cut = cutText(text, N - 1);
  cut.copy(field, N - 1);
  field[cut.size()] = L'\0';
}

}  // namespace

std::wstring cutText(const std::wstring& text, size_t limit) {
  if (text.size() <= limit) return text;
  if (limit == 0) return std::wstring();
  return text.substr(0, limit - 1) + L"\u2026";
}

bool addTrayIcon(HWND window, HICON icon, const std::wstring& tip) {
  NOTIFYICONDATAW data = iconData(window);
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP;
  data.uCallbackMessage = WM_TRAY_ICON;
  data.hIcon = icon;
  copyInto(data.szTip, tip);
  if (!Shell_NotifyIconW(NIM_ADD, &data)) return false;
  data.uVersion = NOTIFYICON_VERSION_4;
  return Shell_NotifyIconW(NIM_SETVERSION, &data) != FALSE;
}

void removeTrayIcon(HWND window) {
  NOTIFYICONDATAW data = iconData(window);
  Shell_NotifyIconW(NIM_DELETE, &data);
}

bool showBalloon(HWND window, HICON icon, const std::wstring& title, const std::wstring& text) {
  NOTIFYICONDATAW data = iconData(window);
  data.uFlags = NIF_INFO;
  copyInto(data.szInfoTitle, title);
  copyInto(data.szInfo, text);
  data.dwInfoFlags = NIIF_USER | NIIF_LARGE_ICON;
  data.hBalloonIcon = icon;
  return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

std::wstring startupShortcutPath() {
  PWSTR folder = nullptr;
  std::wstring path;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Startup, KF_FLAG_CREATE, nullptr, &folder)))
    path = std::wstring(folder) + L"\\Pendra.lnk";
  CoTaskMemFree(folder);
  return path;
}

bool createShortcut(const std::wstring& link, const std::wstring& program,
                    const std::wstring& arguments) {
  IShellLinkW* shortcut = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&shortcut))))
    return false;
  std::wstring folder = program.substr(0, program.find_last_of(L"\\/") + 1);
  shortcut->SetPath(program.c_str());
  shortcut->SetArguments(arguments.c_str());
  shortcut->SetWorkingDirectory(folder.c_str());
  shortcut->SetDescription(L"Pendra reminders");
  IPersistFile* file = nullptr;
  bool saved =
      SUCCEEDED(shortcut->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
      SUCCEEDED(file->Save(link.c_str(), TRUE));
  if (file != nullptr) file->Release();
  shortcut->Release();
  return saved;
}

}  // namespace gui
