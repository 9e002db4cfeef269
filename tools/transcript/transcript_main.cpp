// transcript FILE-提取.ini [--format text|csv|json|markdown] [--keep-blank]
// Prints a recording as UTF-8, one line each, in the order the lines were
// first recorded.
#include <cstdio>
#include <cstring>
#include <string>

#ifdef _WIN32
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>
#endif

#include "transcript/transcript.h"

static int usage() {
  std::fprintf(stderr,
               "usage: transcript FILE.ini [--format text|csv|json|markdown] [--keep-blank]\n"
               "Prints a Tallowick recording as UTF-8 in the order its lines were first recorded.\n");
  return 2;
}

int main(int argc, char** argv) {
  const char* path = nullptr;
  int pathIndex = 0;
  TranscriptFormat format = TranscriptFormat::Text;
  bool keepBlank = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--keep-blank") == 0) {
      keepBlank = true;
    } else if (std::strcmp(argv[i], "--format") == 0 && i + 1 < argc) {
      const char* name = argv[++i];
      if (std::strcmp(name, "text") == 0) format = TranscriptFormat::Text;
      else if (std::strcmp(name, "csv") == 0) format = TranscriptFormat::Csv;
      else if (std::strcmp(name, "json") == 0) format = TranscriptFormat::Json;
      else if (std::strcmp(name, "markdown") == 0) format = TranscriptFormat::Markdown;
      else return usage();
    } else if (argv[i][0] == '-' || path != nullptr) {
      return usage();
    } else {
      path = argv[i];
      pathIndex = i;
    }
  }
  if (path == nullptr) return usage();

#ifdef _WIN32
  // Opened by the name as typed, whatever the system's code page: the wide
  // command line holds it exactly (the narrow one is in the system's code page).
  std::FILE* file = nullptr;
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide != nullptr && pathIndex < count) file = _wfopen(wide[pathIndex], L"rb");
  if (wide != nullptr) LocalFree(wide);
#else
  std::FILE* file = std::fopen(path, "rb");
#endif
  if (file == nullptr) {
    std::fprintf(stderr, "transcript: cannot open %s\n", path);
    return 1;
  }
  std::string bytes;
  char buffer[65536];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
  bool readFailed = std::ferror(file) != 0;
  std::fclose(file);
  if (readFailed) {
    std::fprintf(stderr, "transcript: cannot read %s\n", path);
    return 1;
  }

#ifdef _WIN32
  _setmode(_fileno(stdout), _O_BINARY);  // the output's line ends are the format's own
#endif
  std::string out;
  bool clean = formatTranscript(parseRecording(bytes), format, keepBlank, out);
  std::fwrite(out.data(), 1, out.size(), stdout);
  if (!clean) std::fprintf(stderr, "transcript: some bytes are not code page 936 text; shown as U+FFFD\n");
  return 0;
}
