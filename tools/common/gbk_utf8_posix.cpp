#include <errno.h>
#include <iconv.h>

#include "common/gbk_utf8.h"

// Converts with iconv; on an invalid sequence either replaces it with U+FFFD
// (one byte skipped) or gives up.
static bool convert(const char* to, const char* from, const std::string& in, std::string& out,
                    bool replaceInvalid) {
  out.clear();
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  bool clean = true;
  char* inPtr = const_cast<char*>(in.data());
  size_t inLeft = in.size();
  char buffer[4096];
  while (inLeft > 0) {
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    size_t result = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    out.append(buffer, static_cast<size_t>(outPtr - buffer));
    if (result != static_cast<size_t>(-1)) continue;
    if (errno == E2BIG) continue;
    clean = false;
    if (!replaceInvalid) break;
    out += "\xEF\xBF\xBD";  // U+FFFD
    ++inPtr;
    --inLeft;
  }
  iconv_close(cd);
  return clean;
}

bool gbkToUtf8(const std::string& gbk, std::string& utf8) {
  return convert("UTF-8", "CP936", gbk, utf8, true);
}

bool utf8ToGbk(const std::string& utf8, std::string& gbk) {
  return convert("CP936", "UTF-8", utf8, gbk, false);
}
