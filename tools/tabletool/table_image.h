// Table files composed byte by byte: what tabletool writes, and the fixtures of
// the tests, the fuzz corpus and the benchmark. Nothing here checks anything:
// a test can compose a damaged table as easily as a sound one.
#pragma once

#include <climits>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "lookup/table_format.h"

struct TableImage {
  int32_t magic = kTableMagic;
  int32_t version = kTableVersion;
  int32_t recordCount = 0;
  int32_t headerWord20 = 1;  // must be at least 1
  int32_t recordSize = 4;
  std::vector<ColumnDescriptor> columns;
  std::string records;  // recordSize bytes per record, appended as they are
};

struct SideImage {
  int32_t magic = kSideFileMagic;
  int32_t version = kTableVersion;
  int32_t blockCount = -1;  // -1: the number of blocks actually composed
  std::vector<std::string> blocks;  // data blocks 1, 2, ...: 512 bytes each
};

inline std::string int32Bytes(int32_t value) {
  std::string bytes(4, '\0');
  storeInt32(reinterpret_cast<uint8_t*>(&bytes[0]), value);
  return bytes;
}

inline int32_t int32At(const std::string& bytes, size_t at) {
  return loadInt32(reinterpret_cast<const uint8_t*>(bytes.data() + at));
}

inline void putInt32(std::string& bytes, size_t at, int32_t value) {
  if (bytes.size() < at + 4) bytes.resize(at + 4, '\0');
  storeInt32(reinterpret_cast<uint8_t*>(&bytes[at]), value);
}

inline void putBytes(std::string& bytes, size_t at, const void* data, size_t size) {
  if (bytes.size() < at + size) bytes.resize(at + size, '\0');
  if (size > 0) std::memcpy(&bytes[at], data, size);
}

inline ColumnDescriptor imageColumn(const std::string& name, uint32_t type, int32_t offset,
                                    int32_t width = 0) {
  ColumnDescriptor column;
  column.name = name;
  column.type = type;
  column.offset = offset;
  column.width = width;
  return column;
}

// A descriptor whose name field holds `name` (more than 16 bytes leave no zero
// byte where one must be).
inline std::string descriptorBytes(const ColumnDescriptor& column) {
  std::string entry(static_cast<size_t>(kDescriptorSize), '\0');
  putBytes(entry, 0, column.name.data(), column.name.size() < 20 ? column.name.size() : 20);
  putInt32(entry, 20, static_cast<int32_t>(column.type));
  putInt32(entry, 24, column.offset);
  putInt32(entry, 28, column.width);
  return entry;
}

inline std::string tableImageBytes(const TableImage& image) {
  std::string bytes(static_cast<size_t>(kHeaderSize), '\0');
  putInt32(bytes, 0, image.magic);
  putInt32(bytes, 4, image.version);
  putInt32(bytes, 16, image.recordCount);
  putInt32(bytes, 20, image.headerWord20);
  putInt32(bytes, 24, image.recordSize);
  putInt32(bytes, 112, static_cast<int32_t>(image.columns.size()));
  for (const ColumnDescriptor& column : image.columns) bytes += descriptorBytes(column);
  return bytes + image.records;
}

// One record: `recordSize` zero bytes with `value` stored at `offset`.
inline std::string recordWith(int32_t recordSize, size_t offset, const void* value, size_t size,
                              std::string record = std::string()) {
  if (record.empty()) record.assign(static_cast<size_t>(recordSize), '\0');
  putBytes(record, offset, value, size);
  return record;
}

constexpr int32_t kUsedAsData = INT32_MIN;

// A data block: `next`, `used` (by default the data's size) and the data.
inline std::string sideBlock(int32_t next, const std::string& data, int32_t used = kUsedAsData) {
  std::string block(static_cast<size_t>(kBlockSize), '\0');
  putInt32(block, 4, next);
  putInt32(block, 8, used == kUsedAsData ? static_cast<int32_t>(data.size()) : used);
  putBytes(block, static_cast<size_t>(kBlockHeaderSize), data.data(),
           data.size() < static_cast<size_t>(kBlockDataSize) ? data.size() : kBlockDataSize);
  return block;
}

// Stores `bytes` as a new chain of blocks; returns its first block (0 for none).
inline int32_t appendChain(SideImage& side, const std::string& bytes) {
  if (bytes.empty()) return 0;
  int32_t first = static_cast<int32_t>(side.blocks.size()) + 1;
  for (size_t at = 0; at < bytes.size(); at += kBlockDataSize) {
    std::string part = bytes.substr(at, kBlockDataSize);
    bool last = at + kBlockDataSize >= bytes.size();
    int32_t next = last ? 0 : static_cast<int32_t>(side.blocks.size()) + 2;
    side.blocks.push_back(sideBlock(next, part));
  }
  return first;
}

inline std::string sideImageBytes(const SideImage& side) {
  std::string bytes(static_cast<size_t>(kBlockSize), '\0');
  putInt32(bytes, 0, side.magic);
  putInt32(bytes, 4, side.version);
  int32_t blocks = static_cast<int32_t>(side.blocks.size()) + 1;
  putInt32(bytes, 16, side.blockCount < 0 ? blocks : side.blockCount);
  for (const std::string& block : side.blocks) bytes += block;
  return bytes;
}
