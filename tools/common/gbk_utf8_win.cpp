#include <windows.h>

#include "common/gbk_utf8.h"

static std::wstring widen(UINT codePage, const std::string& text, bool& clean) {
  clean = true;
  if (text.empty()) return std::wstring();
  int length = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(),
                                   static_cast<int>(text.size()), nullptr, 0);
  DWORD flags = MB_ERR_INVALID_CHARS;
  if (length == 0) {
    clean = false;  // convert anyway: invalid sequences become U+FFFD or '?'
    flags = 0;
    length = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  }
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(codePage, flags, text.data(), static_cast<int>(text.size()), &wide[0], length);
  return wide;
}

bool gbkToUtf8(const std::string& gbk, std::string& utf8) {
  bool clean;
  std::wstring wide = widen(936, gbk, clean);
  utf8.clear();
  if (wide.empty()) return clean;
  int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                   nullptr, nullptr);
  utf8.assign(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &utf8[0], length, nullptr,
                      nullptr);
  return clean;
}

bool utf8ToGbk(const std::string& utf8, std::string& gbk) {
  bool clean;
  std::wstring wide = widen(CP_UTF8, utf8, clean);
  gbk.clear();
  if (!clean) return false;
  if (wide.empty()) return true;
  BOOL lossy = FALSE;
  int length = WideCharToMultiByte(936, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                                   nullptr, 0, nullptr, &lossy);
  if (length == 0 || lossy) return false;
  gbk.assign(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(936, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()), &gbk[0], length,
                      nullptr, &lossy);
  return !lossy;
}
