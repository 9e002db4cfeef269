// A fresh scratch directory, and whole files written and read back byte for
// byte (narrow paths, which Windows takes in the ANSI code page).
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

inline std::string scratchDirectory() {
  std::random_device random;
  std::filesystem::path dir = std::filesystem::temp_directory_path() /
                              ("tallowick-scratch-" + std::to_string(random()) + "-" +
                               std::to_string(random()));
  std::filesystem::create_directories(dir);
  return dir.string();
}

inline void writeFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string readFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
