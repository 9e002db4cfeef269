#include <cstdio>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "tabletool/tabletool.h"
#include "tabletool/tool_files.h"

int main(int argc, char** argv) {
#ifdef _WIN32
  // UTF-8 bytes out as they are: no newline translation.
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  std::vector<std::string> args = toolArguments(argc, argv);
  std::string out, err;
  int status = runTabletool(args, out, err);
  std::fwrite(out.data(), 1, out.size(), stdout);
  std::fwrite(err.data(), 1, err.size(), stderr);
  return status;
}
