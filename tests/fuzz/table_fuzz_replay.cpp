// Runs every file of the fuzz corpus through the same steps as the fuzzer,
// without libFuzzer: part of the ordinary tests, under the sanitizers.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "table_fuzz_steps.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: table_fuzz_replay CORPUS-DIRECTORY\n");
    return 2;
  }
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(argv[1])) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    exerciseTableFormat(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    ++files;
  }
  std::printf("replayed %d corpus files\n", files);
  return files > 0 ? 0 : 1;
}
