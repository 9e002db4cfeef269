// Executable names are compared as GBK byte texts.
#pragma once

#include <string>

// ASCII lower-casing that steps over two-byte characters: a byte of 0x80 or
// more and the byte after it are copied unchanged.
std::string lowerAsciiGbk(const std::string& text);

// Equal bytes; without exactCase both sides are lower-cased first.
bool exeNamesEqual(const std::string& a, const std::string& b, bool exactCase);
