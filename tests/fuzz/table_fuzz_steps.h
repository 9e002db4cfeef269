// One fuzz input run through the table format steps, over in-memory files.
// Shared by the libFuzzer target and by the replay of the seed corpus that
// the ordinary tests run.
//
// Input: a 4-byte little-endian length n, then n bytes of table file (fewer
// when the input is shorter), then the side file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "lookup/table_format.h"

inline void exerciseTableFormat(const uint8_t* data, size_t size) {
  if (size < 4) return;
  uint32_t tableSize = static_cast<uint32_t>(data[0]) | static_cast<uint32_t>(data[1]) << 8 |
                       static_cast<uint32_t>(data[2]) << 16 | static_cast<uint32_t>(data[3]) << 24;
  size_t rest = size - 4;
  if (tableSize > rest) tableSize = static_cast<uint32_t>(rest);
  std::string tableBytes(reinterpret_cast<const char*>(data + 4), tableSize);
  std::string sideBytes(reinterpret_cast<const char*>(data + 4 + tableSize), rest - tableSize);

  // The path rules over the same bytes, as a path and as an alias.
  std::string path = tableBytes.substr(0, 40);
  tableNameOf(sideFilePathOf(withDefaultExtension(path)));

  TableFile table = memoryTableFile(tableBytes);
  TableLayout layout;
  if (loadTableLayout(table, layout) != 0) return;
  TableFile side = memoryTableFile(sideBytes);
  TableFile* sideFile = nullptr;
  if (layout.needsSideFile) {
    if (checkSideFile(side, layout.version) != 0) return;
    sideFile = &side;
  }
  // Every column of the first records, as readColumn would read them.
  const uint8_t* records = reinterpret_cast<const uint8_t*>(tableBytes.data()) + layout.recordsStart;
  int64_t count = layout.recordCount < 16 ? layout.recordCount : 16;
  for (int64_t k = 0; k < count; ++k) {
    for (int32_t c = 0; c < layout.columnCount && c < 32; ++c) {
      const ColumnDescriptor& column = layout.columns[static_cast<size_t>(c)];
      if (!slotInsideRecord(column, layout.recordSize)) continue;
      ColumnValue value;
      decodeColumn(column, records + k * layout.recordSize + column.offset, sideFile, value);
    }
  }
  // Chains from the first few blocks, whatever the records point at.
  for (int32_t block = 1; sideFile != nullptr && block <= 4; ++block) {
    std::string bytes;
    readBlockChain(side, block, bytes);
  }
}
