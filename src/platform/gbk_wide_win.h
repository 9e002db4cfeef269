// The tool's texts are GBK bytes whatever the system's code page is. At the
// Windows boundary they are converted with code page 936 explicitly and the
// wide functions are called, so the tool works the same on an English,
// Japanese or Traditional Chinese system.
#pragma once

#include <string>

// GBK bytes to UTF-16. Bytes code page 936 has no character for become U+FFFD
// (a file name with them names no file, which is then reported as missing).
std::wstring gbkToWide(const std::string& gbk);

// UTF-16 to GBK. False when a character has no GBK form (it is written as "?",
// so the text names nothing real any more).
bool wideToGbk(const std::wstring& wide, std::string& gbk);
std::string wideToGbk(const std::wstring& wide);

// A path from Windows as GBK. A path with a character GBK cannot hold (a folder
// named in Korean, say) is given in its short 8.3 form, which names the same
// file in plain ASCII. False when there is no such form either.
bool windowsPathToGbk(const std::wstring& path, std::string& gbk);
