// Filling the reminder window's list box with many lines quickly.
#ifndef PENDRA_GUI_WIN32_LIST_FILL_H_
#define PENDRA_GUI_WIN32_LIST_FILL_H_

#include <windows.h>

#include <string>
#include <vector>

namespace gui {

// Replaces the list box's items with the lines (UTF-8) in one batch with
// redraw off, so it lays out and paints once, and sets its horizontal
// extent to the widest line.
void fillListBox(HWND list, const std::vector<std::string>& lines);

}  // namespace gui

#endif  // PENDRA_GUI_WIN32_LIST_FILL_H_
