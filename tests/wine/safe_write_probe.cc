// Checks the Win32 safe writer where it runs: under Wine (tools/test-wine.sh)
// or on Windows. Works in a fresh folder under the temporary directory, with
// a non-ASCII name; prints each failed check and exits 1 if there was one.
#include <windows.h>

#include <cstdio>
#include <string>

#include "gui/safe_write.h"
#include "gui/settings.h"
#include "gui/win32/wide.h"

namespace {

int failures = 0;

void check(bool ok, const char* what, const std::string& detail = std::string()) {
  if (ok) return;
  ++failures;
  std::printf("FAILED: %s %s\n", what, detail.c_str());
}

std::string contents(const std::string& path) {
  std::string bytes, reason;
  gui::FileStamp stamp;
  return gui::readFile(path, &bytes, &stamp, &reason) ? bytes : "(unreadable: " + reason + ")";
}

gui::FileStamp stampOf(const std::string& path) {
  std::string reason;
  gui::FileStamp stamp;
  check(gui::fileStamp(path, &stamp, &reason), "stamp", reason);
  return stamp;
}

}  // namespace

int wmain() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::string directory = gui::narrow(temp) +
                          "pendra probe \xD0\xBF\xD0\xB0\xD0\xBF\xD0\xBA\xD0\xB0 " +
                          std::to_string(GetCurrentProcessId());
  std::string reason;
  check(gui::makeDirectories(directory + "\\sub", &reason), "makeDirectories", reason);
  std::string path = directory + "\\pendra.pnd";

  check(gui::createFile(path, "a.\r\n", gui::Existing::Refuse).ok, "create");
  check(gui::createFile(path, "x", gui::Existing::Refuse).reason == gui::kFileExists,
        "create refuses an existing file");
  gui::WriteResult replaced = gui::replaceFile(path, stampOf(path), "a.\r\nb.\r\n");
  check(replaced.ok, "replace", replaced.reason);
  check(contents(path) == "a.\r\nb.\r\n", "new contents", contents(path));
  check(contents(gui::backupPath(path)) == "a.\r\n", "backup", contents(gui::backupPath(path)));

  gui::FileStamp stale = stampOf(path);
  gui::createFile(path, "changed elsewhere\r\n");
  check(gui::replaceFile(path, stale, "lost").reason == gui::kChangedSinceRead,
        "refuses a changed file");
  check(contents(path) == "changed elsewhere\r\n", "changed file kept", contents(path));

  SetFileAttributesW(gui::widen(path).c_str(), FILE_ATTRIBUTE_READONLY);
  check(gui::replaceFile(path, stampOf(path), "lost").reason == gui::kReadOnlyFile,
        "refuses a read-only file");
  SetFileAttributesW(gui::widen(path).c_str(), FILE_ATTRIBUTE_NORMAL);

  CreateDirectoryW(gui::widen(path + ".new").c_str(), nullptr);
  gui::WriteResult blocked = gui::replaceFile(path, stampOf(path), "lost");
  check(!blocked.ok && !blocked.reason.empty(), "fails with a reason", blocked.reason);
  check(contents(path) == "changed elsewhere\r\n", "failed write leaves the file", contents(path));
  RemoveDirectoryW(gui::widen(path + ".new").c_str());

  _wputenv_s(L"APPDATA", L"C:\\users\\a\\AppData\\Roaming");
  check(gui::settingsPath() == "C:\\users\\a\\AppData\\Roaming\\Pendra\\pendra.ini",
        "settings path", gui::settingsPath());

  for (const char* name : {"\\pendra.pnd", "\\pendra.pnd~"})
    DeleteFileW(gui::widen(directory + name).c_str());
  RemoveDirectoryW(gui::widen(directory + "\\sub").c_str());
  RemoveDirectoryW(gui::widen(directory).c_str());
  std::printf("safe_write_probe: %d failed\n", failures);
  return failures == 0 ? 0 : 1;
}
