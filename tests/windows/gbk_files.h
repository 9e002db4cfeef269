// Files named by the tool's GBK texts, for the Windows tests: the names are
// converted with code page 936 whatever the system's code page is, as the tool
// itself does, so the tests find the files the tool made.
#pragma once

#include <string>

std::string readGbkNamedFile(const std::string& path);  // empty when missing
bool gbkNamedFileExists(const std::string& path);
void removeGbkNamedFile(const std::string& path);
bool renameGbkNamedFile(const std::string& from, const std::string& to);
// Removes every file in the folder (not its subfolders).
void emptyFolder(const std::string& folder);
