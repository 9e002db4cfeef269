#include "platform/gbk_text.h"

#include <windows.h>

#include "platform/gbk_wide_win.h"

bool gbkToUtf8Text(const std::string& gbk, std::string& utf8) {
  utf8.clear();
  const std::wstring wide = gbkToWide(gbk);
  if (wide.empty()) return gbk.empty();
  int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                   nullptr);
  if (length <= 0) return false;
  utf8.assign(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &utf8[0], length, nullptr, nullptr);
  return true;
}
