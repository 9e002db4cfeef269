// Windows: arguments taken as UTF-16 and files opened by UTF-16 names, both
// converted with code page 936, so tabletool names the same files as the
// tool on any system code page.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>

#include "common/gbk_utf8.h"
#include "platform/gbk_wide_win.h"
#include "tabletool/tool_files.h"

std::vector<std::string> toolArguments(int, char**) {
  std::vector<std::string> args;
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) return args;
  // Every argument is a path or an option; a path with characters GBK lacks
  // becomes a stand-in that the file functions turn back into the real path.
  for (int i = 1; i < count; ++i) {
    std::string arg;
    windowsPathToGbk(wide[i], arg);
    args.push_back(arg);
  }
  LocalFree(wide);
  return args;
}

bool readToolFile(const std::string& path, std::string& bytes) {
  std::FILE* file = _wfopen(widePath(path).c_str(), L"rb");
  if (file == nullptr) return false;
  bytes.clear();
  char buffer[65536];
  size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
  bool ok = !std::ferror(file);
  std::fclose(file);
  return ok;
}

bool writeToolFile(const std::string& path, const std::string& bytes) {
  std::FILE* file = _wfopen(widePath(path).c_str(), L"wb");
  if (file == nullptr) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && ok;
}

void removeToolFile(const std::string& path) { _wremove(widePath(path).c_str()); }

std::string pathForDisplay(const std::string& path) {
  std::string utf8;
  gbkToUtf8(path, utf8);
  return utf8;
}
