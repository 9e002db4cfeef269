// Builds a table of 100,000 records of 16 bytes and times, in one run:
//   - one plain sequential read of the whole file (the baseline),
//   - a findForward from record 1 that finds nothing,
//   - a findForward from record 1 that finds the last record,
//   - with --per-record, the old way: lock, read and unlock every record.
// Prints each figure (the best of several tries) and its ratio to the baseline.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "lookup/lookup_table.h"
#include "lookup/table_format.h"
#include "tabletool/table_image.h"

#include "../median_time.h"

namespace {

template <typename Work>
double bestOf(int tries, Work work) {
  double best = 1e300;
  for (int i = 0; i < tries; ++i) best = std::min(best, timeMs(work));
  return best;
}

struct Wanted {
  int64_t key;
};

bool keyIs(void* context) { return readColumn(1).integer == static_cast<Wanted*>(context)->key; }

}  // namespace

int main(int argc, char** argv) {
  const int32_t count = 100000;
  const bool perRecord = argc > 1 && std::strcmp(argv[1], "--per-record") == 0;
  std::filesystem::path dir = std::filesystem::temp_directory_path() / "tallowick-table-bench";
  std::filesystem::create_directories(dir);
  std::string path = (dir / "bench.dat").string();

  TableImage image;
  image.recordSize = 16;
  image.recordCount = count;
  image.columns = {imageColumn("key", kTypeInt, 4), imageColumn("label", kTypeText, 8, 8)};
  image.records.assign(static_cast<size_t>(count) * 16, '\0');
  for (int32_t k = 1; k <= count; ++k) putInt32(image.records, static_cast<size_t>(k - 1) * 16 + 4, k);
  std::string bytes = tableImageBytes(image);
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  if (!openTable(path, "a")) {
    std::fprintf(stderr, "table_bench: cannot open %s: %d\n", path.c_str(), lastTableError());
    return 1;
  }

  const int tries = 7;
  std::vector<char> buffer(bytes.size());
  double plain = bestOf(tries, [&] {
    TableFile file;
    openTableFile(path, file);
    uint32_t got = 0;
    readTableFile(file, 0, buffer.data(), static_cast<uint32_t>(buffer.size()), got);
    closeTableFile(file);
  });
  Wanted missing{-1}, last{count};
  bool foundMissing = true, foundLast = false;
  double none = bestOf(tries, [&] {
    goToRecord(1);
    foundMissing = findForward(keyIs, &missing);
  });
  double atEnd = bestOf(tries, [&] {
    goToRecord(1);
    foundLast = findForward(keyIs, &last);
  });
  if (foundMissing || !foundLast) {
    std::fprintf(stderr, "table_bench: the searches found the wrong thing (%d)\n", lastTableError());
    return 1;
  }

  std::printf("table of %d records of 16 bytes (%zu bytes)\n", count, bytes.size());
  std::printf("%-34s %10.3f ms\n", "one plain read of the file", plain);
  std::printf("%-34s %10.3f ms  %8.1f x the plain read\n", "findForward, nothing found", none, none / plain);
  std::printf("%-34s %10.3f ms  %8.1f x the plain read\n", "findForward, last record found", atEnd, atEnd / plain);

  if (perRecord) {
    // What a search cost when every record was locked, read and unlocked alone.
    TableFile file;
    openTableFile(path, file);
    // Records follow the header, the column count and the two column descriptors.
    const int64_t recordsStart = kHeaderSize + 4 + kDescriptorSize * 2;
    double locked = bestOf(1, [&] {
      std::vector<char> record(16);
      for (int32_t k = 1; k <= count; ++k) {
        int64_t at = recordsStart + static_cast<int64_t>(k - 1) * 16;
        uint32_t got = 0;
        lockTableFileRange(file, at, 1);
        readTableFile(file, at, record.data(), 16, got);
        unlockTableFileRange(file, at, 1);
      }
    });
    closeTableFile(file);
    std::printf("%-34s %10.3f ms  %8.1f x the plain read\n", "lock, read, unlock each record", locked,
                locked / plain);
  }
  closeAllTables();
  std::filesystem::remove_all(dir);
  return 0;
}
