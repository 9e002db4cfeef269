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

// Paths from Windows (the tool's own folder, the game's executable) are held
// by their real UTF-16 form, so a folder whose name GBK cannot hold (a Korean
// one, say) still works. Inside the tool such a path is GBK text with "?" for
// each character GBK lacks; "?" is no character of a Windows file name, so that
// text can only be a stand-in. The stand-in is remembered with its real path,
// and widePath turns any path that begins with a remembered stand-in back into
// the real one. False only for an empty path.
bool windowsPathToGbk(const std::wstring& path, std::string& gbk);

// A GBK path for the wide functions: a remembered stand-in at its start (the
// whole path or up to a backslash) is replaced by its real path; the rest is
// converted with code page 936.
std::wstring widePath(const std::string& gbkPath);
