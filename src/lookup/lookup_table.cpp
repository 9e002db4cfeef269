#include "lookup/lookup_table.h"

bool openTable(const std::string&, const std::string&) { return false; }
bool selectTable(const std::string&) { return false; }
bool goToRecord(int32_t) { return false; }
bool findForward(TablePredicate, void*) { return false; }
ColumnValue readColumn(int32_t) { return ColumnValue(); }
void closeAllTables() {}
int32_t lastTableError() { return 0; }
