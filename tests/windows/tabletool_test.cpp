// tabletool's cases built for Windows: code page 936 through the system's
// conversions, files through the Windows C runtime.
#include "tabletool/tabletool_test.cpp"
