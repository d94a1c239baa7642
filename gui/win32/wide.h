// UTF-8 inside the program, UTF-16 at the Windows API: the two conversions,
// and the system's text for an error code in UTF-8. Invalid UTF-8 becomes
// U+FFFD rather than failing, so a report in another encoding still shows,
// only with replacement characters.
#ifndef PENDRA_GUI_WIN32_WIDE_H_
#define PENDRA_GUI_WIN32_WIDE_H_

#include <windows.h>

#include <string>
#include <string_view>

namespace gui {

inline std::wstring widen(std::string_view text) {
  if (text.empty()) return std::wstring();
  int size = static_cast<int>(text.size());
  int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), length);
  return wide;
}

inline std::string narrow(std::wstring_view text) {
  if (text.empty()) return std::string();
  int size = static_cast<int>(text.size());
  int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), size, utf8.data(), length, nullptr, nullptr);
  return utf8;
}

// The system's text for an error code, without its line end and full stop.
inline std::string systemErrorText(DWORD error) {
  wchar_t* text = nullptr;
  DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message(text != nullptr ? text : L"", length);
  if (text != nullptr) LocalFree(text);
  while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' ||
                              message.back() == L' ' || message.back() == L'.'))
    message.pop_back();
  return message.empty() ? "Windows error " + std::to_string(error) : narrow(message);
}

}  // namespace gui

#endif  // PENDRA_GUI_WIN32_WIDE_H_
