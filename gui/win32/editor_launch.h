// Opens a reminder file in the user's editor on Windows: the program of
// the file's "edit" verb, told the line when it takes one (Notepad++ with
// -nLINE), else the verb itself through the shell, else Notepad.
#ifndef PENDRA_GUI_WIN32_EDITOR_LAUNCH_H_
#define PENDRA_GUI_WIN32_EDITOR_LAUNCH_H_

#include <windows.h>

#include <string>

namespace gui {

// Starts the editor on file (UTF-8) at line (0: the top). "" when one
// started, else why none did.
std::string openInEditor(HWND owner, const std::string& file, int line);

}  // namespace gui

#endif  // PENDRA_GUI_WIN32_EDITOR_LAUNCH_H_
