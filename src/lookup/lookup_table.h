// The lookup-table component: open tables under aliases, one current table,
// a current record per table, forward search with a predicate, column reads.
// All of it runs on the window thread; between programs the table files are
// coordinated by one-byte locks. Paths and texts are GBK bytes.
#pragma once

#include <cstdint>
#include <string>

enum class ColumnKind { Byte, Short, Int, Int64, Float, Double, Bool, DateTime, SubPointer, Text, Bytes };

// A typed value read from a column. Integer kinds (Byte, Short, Int, Int64,
// SubPointer) use `integer`; Float, Double and DateTime use `real`; Bool uses
// `flag`; Text and Bytes use `bytes` (a Text without its terminating zero).
struct ColumnValue {
  ColumnKind kind = ColumnKind::Text;
  int64_t integer = 0;
  double real = 0.0;
  bool flag = false;
  std::string bytes;
};

// A search predicate: called with the context it was given, it may call
// readColumn (which then reads the record under test) and answers true for a
// match. A record it accepts is read again under its record lock and tested
// once more before it counts, so a predicate may see the same record twice.
using TablePredicate = bool (*)(void* context);

bool openTable(const std::string& path, const std::string& alias);
bool selectTable(const std::string& alias);
bool goToRecord(int32_t n);
bool findForward(TablePredicate predicate, void* context);
ColumnValue readColumn(int32_t n);
void closeAllTables();

// Reason code of the calling thread's last table operation; 0 for success.
int32_t lastTableError();
