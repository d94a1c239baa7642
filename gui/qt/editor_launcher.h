// Opens a reminder file in the user's editor, at a line when the editor
// takes one: $VISUAL, else $EDITOR, else the desktop's handler for the
// file (xdg-open). The editor runs on its own; pendra does not wait.
#ifndef PENDRA_GUI_QT_EDITOR_LAUNCHER_H_
#define PENDRA_GUI_QT_EDITOR_LAUNCHER_H_

#include <QString>
#include <string>

namespace gui {

// Starts the editor on file at line (0: at the top). Returns "" when it
// started, else why not ("Could not start vim: No such file or directory").
QString openInEditor(const std::string& file, int line);

}  // namespace gui

#endif  // PENDRA_GUI_QT_EDITOR_LAUNCHER_H_
