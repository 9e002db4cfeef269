// tabletool's arguments and files. Inside tabletool a path is the bytes the
// tables' own code uses: GBK on Windows whatever the system's code page (as
// the tool itself), the file system's bytes in the native build. Messages
// show paths as UTF-8, like the rest of tabletool's output.
#pragma once

#include <string>
#include <vector>

std::vector<std::string> toolArguments(int argc, char** argv);  // without the program
bool readToolFile(const std::string& path, std::string& bytes);
bool writeToolFile(const std::string& path, const std::string& bytes);
void removeToolFile(const std::string& path);
std::string pathForDisplay(const std::string& path);
