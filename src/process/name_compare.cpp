#include "process/name_compare.h"

std::string lowerAsciiGbk(const std::string& text) {
  std::string lowered = text;
  for (size_t i = 0; i < lowered.size(); ++i) {
    unsigned char byte = static_cast<unsigned char>(lowered[i]);
    if (byte >= 0x80) {
      ++i;  // lead byte: the trail byte stays as it is, even "A" to "Z"
    } else if (byte >= 'A' && byte <= 'Z') {
      lowered[i] = static_cast<char>(byte + 0x20);
    }
  }
  return lowered;
}

bool exeNamesEqual(const std::string& a, const std::string& b, bool exactCase) {
  if (exactCase) return a == b;
  return lowerAsciiGbk(a) == lowerAsciiGbk(b);
}
