#include "platform/gbk_text.h"

#include <iconv.h>

bool gbkToUtf8Text(const std::string& gbk, std::string& utf8) {
  utf8.clear();
  iconv_t cd = iconv_open("UTF-8", "CP936");
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  char* in = const_cast<char*>(gbk.data());
  size_t inLeft = gbk.size();
  std::string buffer(gbk.size() * 3 + 4, '\0');
  char* out = &buffer[0];
  size_t outLeft = buffer.size();
  bool ok = iconv(cd, &in, &inLeft, &out, &outLeft) != static_cast<size_t>(-1);
  iconv_close(cd);
  utf8.assign(buffer.data(), buffer.size() - outLeft);
  return ok;
}
