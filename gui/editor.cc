#include "gui/editor.h"

#include <cctype>
#include <cstdlib>

namespace gui {

namespace {

// The program's own name: no directory, no ".exe", lower case.
std::string baseName(std::string_view program) {
  size_t separator = program.find_last_of("/\\");
  if (separator != std::string_view::npos) program.remove_prefix(separator + 1);
  std::string name;
  for (char c : program) name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (name.size() > 4 && name.compare(name.size() - 4, 4, ".exe") == 0)
    name.resize(name.size() - 4);
  return name;
}

bool blank(const char* text) {
  if (text == nullptr) return true;
  for (; *text != '\0'; ++text)
    if (!std::isspace(static_cast<unsigned char>(*text))) return false;
  return true;
}

}  // namespace

std::string lineArgument(std::string_view program, int line) {
  if (line < 1) return std::string();
  static const char* const kPlusLine[] = {"vi",    "vim",         "nvim",  "view", "nano",
                                          "emacs", "emacsclient", "gedit", "kate"};
  std::string name = baseName(program);
  const char* flag = name == "notepad++" ? "-n" : nullptr;
  for (const char* editor : kPlusLine)
    if (name == editor) flag = "+";
  if (flag == nullptr) return std::string();
  std::string argument = flag;
  argument += std::to_string(line);
  return argument;
}

std::vector<std::string> splitCommandWords(std::string_view command) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;
  char quote = 0;
  for (size_t i = 0; i < command.size(); ++i) {
    char c = command[i];
    if (quote == '\'') {
      if (c == '\'')
        quote = 0;
      else
        word += c;
    } else if (c == '\\' && i + 1 < command.size()) {
      word += command[++i];
      inWord = true;
    } else if (quote == '"') {
      if (c == '"')
        quote = 0;
      else
        word += c;
    } else if (c == '\'' || c == '"') {
      quote = c;
      inWord = true;
    } else if (std::isspace(static_cast<unsigned char>(c))) {
      if (inWord) words.push_back(std::move(word));
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) words.push_back(std::move(word));
  return words;
}

EditorCommand editorCommand(const std::string& file, int line, const char* visual,
                            const char* editor) {
  const char* chosen = !blank(visual) ? visual : !blank(editor) ? editor : nullptr;
  EditorCommand command;
  std::vector<std::string> words;
  if (chosen != nullptr) words = splitCommandWords(chosen);
  if (words.empty()) {
    command.program = "xdg-open";
    command.arguments = {file};
    return command;
  }
  command.program = words.front();
  command.arguments.assign(words.begin() + 1, words.end());
  if (std::string at = lineArgument(command.program, line); !at.empty()) {
    command.arguments.push_back(at);
    command.atLine = true;
  }
  command.arguments.push_back(file);
  return command;
}

EditorCommand editorCommand(const std::string& file, int line) {
  return editorCommand(file, line, std::getenv("VISUAL"), std::getenv("EDITOR"));
}

EditorCommand notepadCommand(const std::string& file) {
  return EditorCommand{"notepad.exe", {file}, false};
}

}  // namespace gui
