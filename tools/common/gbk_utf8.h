// Conversion between the tool's code page 936 (GBK) byte texts and UTF-8, for
// the command-line tools that read or write files people edit by hand.
#pragma once

#include <string>

// False when `gbk` holds a byte sequence code page 936 has no character for;
// such sequences come out as U+FFFD so the rest of the text still converts.
bool gbkToUtf8(const std::string& gbk, std::string& utf8);

// False when `utf8` is malformed or holds a character code page 936 cannot hold;
// `gbk` is then unusable.
bool utf8ToGbk(const std::string& utf8, std::string& gbk);
