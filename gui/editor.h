// Which program opens a reminder file for editing, and how it is told the
// line. The windows start it; this only chooses.
#ifndef PENDRA_GUI_EDITOR_H_
#define PENDRA_GUI_EDITOR_H_

#include <string>
#include <string_view>
#include <vector>

namespace gui {

// A program and its arguments, to start without a shell.
struct EditorCommand {
  std::string program;                 // "xdg-open", "vim", a path
  std::vector<std::string> arguments;  // after the program's name; the file is last
  bool atLine = false;                 // the line was passed
};

// The argument that makes an editor open at a line: "+12" for vi, vim,
// nvim, view, nano, emacs, emacsclient, gedit, kate, "-n12" for notepad++;
// "" for others or line < 1. program may be a path (with '/' or '\') and on
// Windows end in ".exe"; case does not matter there.
std::string lineArgument(std::string_view program, int line);

// Splits an $EDITOR value into words: blanks separate, single and double
// quotes group, a backslash outside single quotes makes the next character
// plain ("code --wait" -> "code", "--wait").
std::vector<std::string> splitCommandWords(std::string_view command);

// The command on Linux: the words of visual, else of editor (null or blank
// counts as unset), then lineArgument when it has one, then the file; with
// neither, "xdg-open FILE" with no line.
EditorCommand editorCommand(const std::string& file, int line, const char* visual,
                            const char* editor);
// The same from the environment's VISUAL and EDITOR.
EditorCommand editorCommand(const std::string& file, int line);

// Windows, when the file has no "edit" verb: notepad.exe and the file
// (Notepad takes no line).
EditorCommand notepadCommand(const std::string& file);

}  // namespace gui

#endif  // PENDRA_GUI_EDITOR_H_
