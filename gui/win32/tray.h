// pendra.exe --tray: the Windows tray companion. A hidden window owns the
// notification-area icon, its menu, the timers and the checks.
#ifndef PENDRA_GUI_WIN32_TRAY_H_
#define PENDRA_GUI_WIN32_TRAY_H_

#include <windows.h>

namespace gui {

// True when the command line's first argument is --tray.
bool trayRequested();

// Runs the tray until Quit; returns the exit status. When another tray of
// this user already runs, asks it to open the window and returns 0.
int runTray(HINSTANCE instance);

}  // namespace gui

#endif  // PENDRA_GUI_WIN32_TRAY_H_
