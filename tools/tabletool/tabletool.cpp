#include "tabletool/tabletool.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "common/gbk_utf8.h"
#include "lookup/table_format.h"
#include "tabletool/table_image.h"
#include "tabletool/tool_files.h"

static const char* kUsage =
    "usage:\n"
    "  tabletool build OUT.dat ROWS.tsv [--key int|float|double] [--text WIDTH|memo]\n"
    "  tabletool dump FILE.dat [--header]\n"
    "  tabletool check FILE.dat\n"
    "  tabletool repair FILE.dat\n";

static std::string lineLabel(const std::string& file, size_t line) {
  return pathForDisplay(file) + ":" + std::to_string(line) + ": ";
}

// ---- build

enum class KeyType { Int, Float, Double };

struct BuildOptions {
  KeyType key = KeyType::Int;
  int32_t textWidth = 0;  // 0: a Memo column in the side file
};

// Undoes the escapes dump writes: \t, \n and \\. Any other backslash stays.
static std::string unescapeText(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) {
      char next = text[i + 1];
      if (next == 't' || next == 'n' || next == '\\') {
        out += next == 't' ? '\t' : next == 'n' ? '\n' : '\\';
        ++i;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

// The number as the key column's bytes; false when it is not a number of that type.
static bool encodeKey(const std::string& text, KeyType type, std::string& bytes) {
  if (text.empty() || text.find_first_of(" \t") != std::string::npos) return false;
  const char* start = text.c_str();
  char* end = nullptr;
  errno = 0;
  if (type == KeyType::Int) {
    long long value = std::strtoll(start, &end, 10);
    if (*end != '\0' || errno != 0 || value < INT32_MIN || value > INT32_MAX) return false;
    bytes = int32Bytes(static_cast<int32_t>(value));
    return true;
  }
  if (type == KeyType::Float) {
    float value = std::strtof(start, &end);
    if (*end != '\0' || errno == ERANGE || !std::isfinite(value)) return false;
    bytes.assign(reinterpret_cast<const char*>(&value), 4);
    return true;
  }
  double value = std::strtod(start, &end);
  if (*end != '\0' || errno == ERANGE || !std::isfinite(value)) return false;
  bytes.assign(reinterpret_cast<const char*>(&value), 8);
  return true;
}

static int buildTable(const std::string& outPath, const std::string& rowsPath,
                      const BuildOptions& options, std::string& out, std::string& err) {
  std::string rows;
  if (!readToolFile(rowsPath, rows)) {
    err += pathForDisplay(rowsPath) + ": cannot read\n";
    return 1;
  }
  if (rows.compare(0, 3, "\xEF\xBB\xBF") == 0) rows.erase(0, 3);  // a UTF-8 mark

  const int32_t keySize = options.key == KeyType::Int || options.key == KeyType::Float ? 4 : 8;
  const int32_t textOffset = 4 + keySize;
  const bool memo = options.textWidth == 0;
  TableImage image;
  image.recordSize = textOffset + (memo ? 4 : options.textWidth);
  uint32_t keyType = options.key == KeyType::Int     ? kTypeInt
                     : options.key == KeyType::Float ? kTypeFloat
                                                     : kTypeDouble;
  image.columns = {imageColumn("number", keyType, 4),
                   memo ? imageColumn("text", kTypeMemo, textOffset)
                        : imageColumn("text", kTypeText, textOffset, options.textWidth)};
  SideImage side;

  size_t lineNumber = 0;
  size_t at = 0;
  while (at < rows.size()) {
    size_t end = rows.find('\n', at);
    if (end == std::string::npos) end = rows.size();
    std::string line = rows.substr(at, end - at);
    at = end + 1;
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::string label = lineLabel(rowsPath, lineNumber);
    size_t tab = line.find('\t');
    if (tab == std::string::npos) {
      err += label + "no tab between the number and the text\n";
      return 1;
    }
    std::string key;
    if (!encodeKey(line.substr(0, tab), options.key, key)) {
      err += label + "\"" + line.substr(0, tab) + "\" is not a number of the key's type\n";
      return 1;
    }
    std::string text;
    if (!utf8ToGbk(unescapeText(line.substr(tab + 1)), text)) {
      err += label + "the text is not UTF-8 or holds a character code page 936 cannot hold\n";
      return 1;
    }
    if (image.recordCount == INT32_MAX) {
      err += label + "too many records\n";
      return 1;
    }
    std::string record(static_cast<size_t>(image.recordSize), '\0');
    putBytes(record, 4, key.data(), key.size());
    if (memo) {
      // A text with a zero byte would be cut there when read; TSV cannot hold one.
      putInt32(record, static_cast<size_t>(textOffset), appendChain(side, text));
    } else {
      if (text.size() > static_cast<size_t>(options.textWidth)) {
        err += label + "the text takes " + std::to_string(text.size()) +
               " bytes, more than the column's width of " + std::to_string(options.textWidth) +
               "\n";
        return 1;
      }
      putBytes(record, static_cast<size_t>(textOffset), text.data(), text.size());
    }
    image.records += record;
    ++image.recordCount;
  }

  std::string tablePath = withDefaultExtension(outPath);
  std::string sidePath = sideFilePathOf(tablePath);
  bool written = writeToolFile(tablePath, tableImageBytes(image)) &&
                 (!memo || writeToolFile(sidePath, sideImageBytes(side)));
  if (!written) {
    removeToolFile(tablePath);
    if (memo) removeToolFile(sidePath);
    err += pathForDisplay(tablePath) + ": cannot write\n";
    return 1;
  }
  out += pathForDisplay(tablePath) + ": " + std::to_string(image.recordCount) + " records" +
         (memo ? ", texts in " + pathForDisplay(sidePath) : std::string()) + "\n";
  return 0;
}

// ---- reading a table without changing it

// The table and its side file as bytes; the checks and repairs of opening
// run on these copies, never on the files.
struct TableCopy {
  std::string path, sidePath;
  std::string bytes, sideBytes;
  int64_t lengthOnDisk = 0;
  int32_t countOnDisk = 0;
  TableLayout layout;
  bool hasSide = false;
};

static int32_t loadCopy(const std::string& path, TableCopy& copy) {
  copy.path = withDefaultExtension(path);
  if (!readToolFile(copy.path, copy.bytes)) return kNoSuchFile;
  copy.lengthOnDisk = static_cast<int64_t>(copy.bytes.size());
  if (copy.bytes.size() >= 20) copy.countOnDisk = int32At(copy.bytes, 16);
  TableFile table = memoryTableFile(copy.bytes);
  int32_t code = loadTableLayout(table, copy.layout);
  if (code != 0) return code;
  if (!copy.layout.needsSideFile) return 0;
  copy.sidePath = sideFilePathOf(copy.path);
  if (!readToolFile(copy.sidePath, copy.sideBytes)) return kBadSideFile;
  copy.hasSide = true;
  TableFile side = memoryTableFile(copy.sideBytes);
  return checkSideFile(side, copy.layout.version);
}

static const char* typeName(uint32_t type) {
  static const char* const names[] = {"?",      "Byte",     "Short",      "Int",  "Int64",
                                      "Float",  "Double",   "Bool",       "DateTime",
                                      "SubPointer", "Text", "Bytes",      "Memo"};
  return type <= 12 ? names[type] : "?";
}

static std::string failure(const std::string& path, int32_t code) {
  return pathForDisplay(path) + ": " + std::to_string(code) + " " + tableCodeMeaning(code) + "\n";
}

static std::string utf8Of(const std::string& gbk) {
  std::string utf8;
  gbkToUtf8(gbk, utf8);  // bytes code page 936 lacks come out as U+FFFD
  return utf8;
}

static std::string escapeText(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\t') out += "\\t";
    else if (c == '\n') out += "\\n";
    else if (c == '\\') out += "\\\\";
    else out += c;
  }
  return out;
}

// The shortest decimal form that reads back to exactly the same number.
static std::string shortestReal(double value, bool single) {
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  char buffer[40];
  for (int precision = 1; precision <= 17; ++precision) {
    std::snprintf(buffer, sizeof buffer, "%.*g", precision, value);
    if (single ? std::strtof(buffer, nullptr) == static_cast<float>(value)
               : std::strtod(buffer, nullptr) == value) {
      break;
    }
  }
  return buffer;
}

static std::string formatValue(const ColumnValue& value) {
  switch (value.kind) {
    case ColumnKind::Float: return shortestReal(value.real, true);
    case ColumnKind::Double:
    case ColumnKind::DateTime: return shortestReal(value.real, false);
    case ColumnKind::Bool: return value.flag ? "true" : "false";
    case ColumnKind::Text: return escapeText(utf8Of(value.bytes));
    case ColumnKind::Bytes: {
      static const char digits[] = "0123456789abcdef";
      std::string hex;
      for (unsigned char c : value.bytes) {
        hex += digits[c >> 4];
        hex += digits[c & 15];
      }
      return hex;
    }
    default: return std::to_string(value.integer);
  }
}

static int dumpTable(const std::string& path, bool header, std::string& out, std::string& err) {
  TableCopy copy;
  int32_t code = loadCopy(path, copy);
  if (code != 0) {
    err += failure(withDefaultExtension(path), code);
    return 1;
  }
  const TableLayout& layout = copy.layout;
  if (header) {
    for (int32_t c = 0; c < layout.columnCount; ++c) {
      const ColumnDescriptor& column = layout.columns[static_cast<size_t>(c)];
      out += (c ? "\t" : "") + escapeText(utf8Of(column.name)) + ":" + typeName(column.type);
    }
    out += "\n";
  }
  TableFile side = memoryTableFile(copy.sideBytes);
  const uint8_t* records = reinterpret_cast<const uint8_t*>(copy.bytes.data()) + layout.recordsStart;
  for (int64_t k = 0; k < layout.recordCount; ++k) {
    const uint8_t* record = records + k * layout.recordSize;
    for (int32_t c = 0; c < layout.columnCount; ++c) {
      const ColumnDescriptor& column = layout.columns[static_cast<size_t>(c)];
      ColumnValue value;
      code = slotInsideRecord(column, layout.recordSize)
                 ? decodeColumn(column, record + column.offset, copy.hasSide ? &side : nullptr, value)
                 : kSlotUnreadable;
      if (code != 0) {
        err += pathForDisplay(copy.path) + ": record " + std::to_string(k + 1) + ", column " +
               std::to_string(c + 1) + ": " + std::to_string(code) + " " +
               tableCodeMeaning(code) + "\n";
        return 1;
      }
      out += (c ? "\t" : "") + formatValue(value);
    }
    out += "\n";
  }
  return 0;
}

static int checkTable(const std::string& path, std::string& out, std::string& err) {
  TableCopy copy;
  int32_t code = loadCopy(path, copy);
  if (code != 0) {
    err += failure(withDefaultExtension(path), code);
    return 1;
  }
  const TableLayout& layout = copy.layout;
  out += pathForDisplay(copy.path) + ": a table that opens\n";
  out += "records: " + std::to_string(layout.recordCount) + " of " +
         std::to_string(layout.recordSize) + " bytes, from offset " +
         std::to_string(layout.recordsStart) + "\n";
  if (copy.countOnDisk != layout.recordCount) {
    out += "opening lowers the record count from " + std::to_string(copy.countOnDisk) + "\n";
  }
  if (static_cast<int64_t>(copy.bytes.size()) != copy.lengthOnDisk) {
    out += "opening cuts the file from " + std::to_string(copy.lengthOnDisk) + " to " +
           std::to_string(copy.bytes.size()) + " bytes\n";
  }
  out += "columns: " + std::to_string(layout.columnCount) + "\n";
  for (int32_t c = 0; c < layout.columnCount; ++c) {
    const ColumnDescriptor& column = layout.columns[static_cast<size_t>(c)];
    out += "  " + std::to_string(c + 1) + " " + escapeText(utf8Of(column.name)) + " " +
           typeName(column.type) + " offset " + std::to_string(column.offset) + " width " +
           std::to_string(slotSize(column));
    if (!slotInsideRecord(column, layout.recordSize)) out += " (outside the record: never read)";
    out += "\n";
  }
  if (copy.hasSide) {
    out += "side file: " + pathForDisplay(copy.sidePath) + ", " + std::to_string(int32At(copy.sideBytes, 16)) +
           " blocks\n";
  } else {
    out += "side file: none needed\n";
  }
  return 0;
}

static int repairTable(const std::string& path, std::string& out, std::string& err) {
  std::string tablePath = withDefaultExtension(path);
  std::string before;
  readToolFile(tablePath, before);
  if (!openTable(tablePath, "")) {
    err += failure(tablePath, lastTableError());
    return 1;
  }
  closeAllTables();
  std::string after;
  readToolFile(tablePath, after);
  out += pathForDisplay(tablePath) + ": ";
  if (after == before) {
    out += "nothing to repair\n";
  } else {
    out += "repaired, " + std::to_string(int32At(after, 16)) + " records, " +
           std::to_string(after.size()) + " bytes\n";
  }
  return 0;
}

int runTabletool(const std::vector<std::string>& args, std::string& out, std::string& err) {
  if (args.empty()) {
    err += kUsage;
    return 2;
  }
  const std::string& command = args[0];
  if (command == "build" && args.size() >= 3) {
    BuildOptions options;
    for (size_t i = 3; i < args.size(); ++i) {
      if (args[i] == "--key" && i + 1 < args.size()) {
        const std::string& type = args[++i];
        if (type == "int") options.key = KeyType::Int;
        else if (type == "float") options.key = KeyType::Float;
        else if (type == "double") options.key = KeyType::Double;
        else {
          err += kUsage;
          return 2;
        }
      } else if (args[i] == "--text" && i + 1 < args.size()) {
        const std::string& text = args[++i];
        if (text == "memo") {
          options.textWidth = 0;
        } else {
          char* end = nullptr;
          long width = std::strtol(text.c_str(), &end, 10);
          if (text.empty() || *end != '\0' || width < 1 || width > 1000000) {
            err += "--text takes memo or a width from 1 to 1000000\n";
            return 2;
          }
          options.textWidth = static_cast<int32_t>(width);
        }
      } else {
        err += kUsage;
        return 2;
      }
    }
    return buildTable(args[1], args[2], options, out, err);
  }
  if (command == "dump" && (args.size() == 2 || (args.size() == 3 && args[2] == "--header"))) {
    return dumpTable(args[1], args.size() == 3, out, err);
  }
  if (command == "check" && args.size() == 2) return checkTable(args[1], out, err);
  if (command == "repair" && args.size() == 2) return repairTable(args[1], out, err);
  err += kUsage;
  return 2;
}
