#include "gui/editor.h"

#include <gtest/gtest.h>

namespace {

using Words = std::vector<std::string>;

TEST(Editor, Commands) {
  struct Case {
    const char *visual, *editor;
    int line;
    const char* program;
    Words arguments;
  };
  const std::string f = "/home/a/my pendra.pnd";
  const Case cases[] = {
      {"vim", "nano", 12, "vim", {"+12", f}},
      {nullptr, "nano", 12, "nano", {"+12", f}},
      {"  ", "/usr/bin/emacs", 3, "/usr/bin/emacs", {"+3", f}},
      {nullptr, "emacsclient -t", 3, "emacsclient", {"-t", "+3", f}},
      {"code --wait", nullptr, 12, "code", {"--wait", f}},
      {"'/opt/my editor/kate' \"-n\" a\\ b",
       nullptr,
       7,
       "/opt/my editor/kate",
       {"-n", "a b", "+7", f}},
      {"gedit", nullptr, 0, "gedit", {f}},
      {nullptr, nullptr, 12, "xdg-open", {f}},
      {"", "", 12, "xdg-open", {f}},
  };
  for (const Case& c : cases) {
    gui::EditorCommand command = gui::editorCommand(f, c.line, c.visual, c.editor);
    EXPECT_EQ(c.program, command.program);
    EXPECT_EQ(c.arguments, command.arguments) << c.program;
    EXPECT_EQ(c.arguments.size() > 1 && c.arguments[c.arguments.size() - 2][0] == '+',
              command.atLine)
        << c.program;
  }
}

TEST(Editor, LineArguments) {
  struct Case {
    const char *program, *expected;
  };
  const Case cases[] = {{"vi", "+9"},
                        {"C:\\Program Files\\Notepad++\\NOTEPAD++.EXE", "-n9"},
                        {"notepad.exe", ""},
                        {"vimdiff", ""}};
  for (const Case& c : cases) EXPECT_EQ(c.expected, gui::lineArgument(c.program, 9)) << c.program;
}

}  // namespace
