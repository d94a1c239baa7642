// The Add form on Windows: a date, a repeat, a text and "remind me N days
// before" make one entry, shown as it will be written with the next three
// days pendcal finds for it; Add appends it safely to the reminder file.
#ifndef PENDRA_GUI_WIN32_ADD_DIALOG_H_
#define PENDRA_GUI_WIN32_ADD_DIALOG_H_

#include <windows.h>

#include <string>
#include <vector>

#include "common/date.h"

namespace gui {

struct AddRequest {
  std::string enginePath;                // pendcal, for the next days
  std::string file;                      // the file to add to (UTF-8)
  std::vector<std::string> listedFiles;  // the listing's file records
  pendra::Date date;                     // the form's first date
};

// Runs the form modally. True when an entry was written; *message then
// says what was added, else it is empty.
bool runAddDialog(HWND owner, const AddRequest& request, std::string* message);

}  // namespace gui

#endif  // PENDRA_GUI_WIN32_ADD_DIALOG_H_
