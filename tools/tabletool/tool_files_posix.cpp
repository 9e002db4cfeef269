// The native build: arguments and file names are the file system's bytes.
#include <cstdio>
#include <fstream>
#include <iterator>

#include "tabletool/tool_files.h"

std::vector<std::string> toolArguments(int argc, char** argv) {
  return std::vector<std::string>(argv + 1, argv + argc);
}

bool readToolFile(const std::string& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

bool writeToolFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return !out.fail();
}

void removeToolFile(const std::string& path) { std::remove(path.c_str()); }

std::string pathForDisplay(const std::string& path) { return path; }
