#include "gui/win32/editor_launch.h"

// shellapi.h and shlwapi.h need the types of windows.h.
#include <shellapi.h>
#include <shlwapi.h>

#include <string>
#include <vector>

#include "gui/editor.h"
#include "gui/runner.h"
#include "gui/win32/wide.h"

namespace gui {

namespace {

// The program that the "edit" verb of the file's type runs; "" for none.
std::wstring editProgram(const std::wstring& file) {
  const wchar_t* extension = PathFindExtensionW(file.c_str());
  if (extension == nullptr || *extension == L'\0') return std::wstring();
  wchar_t program[MAX_PATH * 2];
  DWORD size = MAX_PATH * 2;
  if (AssocQueryStringW(ASSOCF_INIT_IGNOREUNKNOWN | ASSOCF_NOTRUNCATE, ASSOCSTR_EXECUTABLE,
                        extension, L"edit", program, &size) != S_OK)
    return std::wstring();
  return program;
}

// Starts the command without a console; "" or the system's reason.
std::string startProcess(const std::string& program, const std::vector<std::string>& arguments,
                         bool searchPath) {
  std::wstring commandLine = widen(windowsCommandLine(program, arguments));
  std::wstring application = widen(program);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(searchPath ? nullptr : application.c_str(), commandLine.data(), nullptr,
                      nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return systemErrorText(GetLastError());
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return std::string();
}

}  // namespace

std::string openInEditor(HWND owner, const std::string& file, int line) {
  std::wstring wideFile = widen(file);
  // An editor that takes a line is started by us, to pass it.
  std::wstring program = editProgram(wideFile);
  if (!program.empty() && !lineArgument(narrow(program), line).empty()) {
    std::string failure =
        startProcess(narrow(program), {lineArgument(narrow(program), line), file}, false);
    if (failure.empty()) return failure;
  }
  SHELLEXECUTEINFOW shell = {};
  shell.cbSize = sizeof shell;
  shell.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
  shell.hwnd = owner;
  shell.lpVerb = L"edit";
  shell.lpFile = wideFile.c_str();
  shell.nShow = SW_SHOWNORMAL;
  if (ShellExecuteExW(&shell)) return std::string();
  EditorCommand notepad = notepadCommand(file);
  std::string failure = startProcess(notepad.program, notepad.arguments, true);
  if (failure.empty()) return failure;
  return "Could not open " + file + " in an editor: " + failure;
}

}  // namespace gui
