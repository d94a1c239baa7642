// The shell's side of the Windows tray: the notification-area icon with its
// balloon (which Windows 10 and 11 show as a toast) and the Startup-folder
// shortcut that starts the tray at login. Each call says whether it worked.
#ifndef PENDRA_GUI_WIN32_TRAY_SHELL_H_
#define PENDRA_GUI_WIN32_TRAY_SHELL_H_

#include <windows.h>

#include <string>

namespace gui {

// The icon's callback message to its window.
constexpr UINT WM_TRAY_ICON = WM_APP + 20;

// Adds the icon (id 1) of window with its tooltip; the window receives
// WM_TRAY_ICON with the version 4 events (NIN_SELECT, WM_CONTEXTMENU,
// NIN_BALLOONUSERCLICK in LOWORD(lParam)).
bool addTrayIcon(HWND window, HICON icon, const std::wstring& tip);
void removeTrayIcon(HWND window);

// The balloon: title and text cut to what the shell takes (63 and 255
// characters, the cut marked with an ellipsis).
bool showBalloon(HWND window, HICON icon, const std::wstring& title, const std::wstring& text);

// text cut to at most limit characters, the last of them "…" when cut.
std::wstring cutText(const std::wstring& text, size_t limit);

// %APPDATA%\Microsoft\Windows\Start Menu\Programs\Startup\Pendra.lnk (from
// SHGetKnownFolderPath); empty when the shell does not know the folder.
std::wstring startupShortcutPath();
// The shortcut to program with arguments (COM must be initialised).
bool createShortcut(const std::wstring& link, const std::wstring& program,
                    const std::wstring& arguments);

}  // namespace gui

#endif  // PENDRA_GUI_WIN32_TRAY_SHELL_H_
