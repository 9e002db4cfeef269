// tabletool: makes and inspects lookup tables. Texts in the TSV files and in
// the output are UTF-8; the tables store them as code page 936.
#pragma once

#include <string>
#include <vector>

// Runs one command (args without the program name); `out` and `err` collect
// what goes to standard output and standard error. Returns the exit status:
// 0 success, 1 a failure reported in `err`, 2 a usage error.
int runTabletool(const std::vector<std::string>& args, std::string& out, std::string& err);
