// The lock cases between two processes, over the Windows file layer under wine64.
#include "logic/table_lock_test.cpp"
