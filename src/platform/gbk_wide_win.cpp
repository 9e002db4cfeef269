#include "platform/gbk_wide_win.h"

#include <windows.h>

namespace {
const UINT kGbk = 936;
}

std::wstring gbkToWide(const std::string& gbk) {
  if (gbk.empty()) return std::wstring();
  int length = MultiByteToWideChar(kGbk, 0, gbk.data(), static_cast<int>(gbk.size()), nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(kGbk, 0, gbk.data(), static_cast<int>(gbk.size()), &wide[0], length);
  return wide;
}

bool wideToGbk(const std::wstring& wide, std::string& gbk) {
  gbk.clear();
  if (wide.empty()) return true;
  BOOL usedDefault = FALSE;
  int length = WideCharToMultiByte(kGbk, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()), nullptr,
                                   0, nullptr, nullptr);
  if (length <= 0) return false;
  gbk.assign(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(kGbk, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()), &gbk[0], length,
                      nullptr, &usedDefault);
  return !usedDefault;
}

std::string wideToGbk(const std::wstring& wide) {
  std::string gbk;
  wideToGbk(wide, gbk);
  return gbk;
}

bool windowsPathToGbk(const std::wstring& path, std::string& gbk) {
  if (wideToGbk(path, gbk)) return true;
  DWORD length = GetShortPathNameW(path.c_str(), nullptr, 0);
  if (length == 0) return false;
  std::wstring shortPath(length, L'\0');
  length = GetShortPathNameW(path.c_str(), &shortPath[0], length);
  if (length == 0 || length >= shortPath.size()) return false;
  shortPath.resize(length);
  return wideToGbk(shortPath, gbk);
}
