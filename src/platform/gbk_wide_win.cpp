#include "platform/gbk_wide_win.h"

#include <windows.h>

#include <map>
#include <mutex>

namespace {
const UINT kGbk = 936;

// Stand-in GBK text -> the real path it came from. Only paths Windows gave us
// with characters GBK lacks are kept: a handful in a run of the tool.
std::mutex standInsLock;
std::map<std::string, std::wstring>& standIns() {
  static std::map<std::string, std::wstring> paths;
  return paths;
}
}  // namespace

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
  if (path.empty()) {
    gbk.clear();
    return false;
  }
  if (wideToGbk(path, gbk)) return true;
  std::lock_guard<std::mutex> hold(standInsLock);
  standIns()[gbk] = path;
  return true;
}

std::wstring widePath(const std::string& gbkPath) {
  if (gbkPath.find('?') != std::string::npos) {
    std::lock_guard<std::mutex> hold(standInsLock);
    // The longest stand-in that is the whole path or a folder of it.
    const std::pair<const std::string, std::wstring>* best = nullptr;
    for (const auto& entry : standIns()) {
      const std::string& standIn = entry.first;
      if (gbkPath.compare(0, standIn.size(), standIn) != 0) continue;
      if (gbkPath.size() != standIn.size() && gbkPath[standIn.size()] != '\\') continue;
      if (best == nullptr || standIn.size() > best->first.size()) best = &entry;
    }
    if (best != nullptr) return best->second + gbkToWide(gbkPath.substr(best->first.size()));
  }
  return gbkToWide(gbkPath);
}
