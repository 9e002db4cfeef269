#include <cstdio>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include "platform/gbk_wide_win.h"
#endif

#include "tabletool/tabletool.h"

int main(int argc, char** argv) {
#ifdef _WIN32
  // UTF-8 bytes out as they are: no newline translation.
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  std::vector<std::string> args(argv + 1, argv + argc);
#ifdef _WIN32
  // Arguments as GBK, like every text of the tool, whatever the system's code page.
  int count = 0;
  if (wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
    args.clear();
    for (int i = 1; i < count; ++i) args.push_back(wideToGbk(wide[i]));
    LocalFree(wide);
  }
#endif
  std::string out, err;
  int status = runTabletool(args, out, err);
  std::fwrite(out.data(), 1, out.size(), stdout);
  std::fwrite(err.data(), 1, err.size(), stderr);
  return status;
}
