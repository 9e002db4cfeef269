// libFuzzer target over the table format steps (built by scripts/fuzz).
#include "table_fuzz_steps.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  exerciseTableFormat(data, size);
  return 0;
}
