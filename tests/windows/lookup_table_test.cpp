// The lookup-table component's cases over the Windows file layer (CreateFileA,
// ReadFile, LockFile...), run under wine64.
#include "logic/lookup_table_test.cpp"
