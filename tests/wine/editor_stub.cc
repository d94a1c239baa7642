// Stands in for an editor: appends its command line after the program's
// name, in UTF-8, to editor-arguments.txt beside itself, and ends.
#include <windows.h>

#include <string>

int wmain(int argc, wchar_t** argv) {
  wchar_t self[MAX_PATH * 2];
  DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH * 2);
  std::wstring record(self, length);
  record = record.substr(0, record.find_last_of(L'\\')) + L"\\editor-arguments.txt";
  std::wstring words;
  for (int i = 1; i < argc; ++i) words += (i > 1 ? L" " : L"") + std::wstring(argv[i]);
  words += L"\n";
  int size = WideCharToMultiByte(CP_UTF8, 0, words.c_str(), static_cast<int>(words.size()), nullptr,
                                 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, words.c_str(), static_cast<int>(words.size()), bytes.data(), size,
                      nullptr, nullptr);
  HANDLE file = CreateFileW(record.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return 0;
}
