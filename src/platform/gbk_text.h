// Conversion of the tool's GBK byte texts for files kept in UTF-8.
#pragma once

#include <string>

// False when `gbk` holds bytes code page 936 has no character for; `utf8` then
// holds what could be converted.
bool gbkToUtf8Text(const std::string& gbk, std::string& utf8);
