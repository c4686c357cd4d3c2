// Fuzz target: whole runs of SelwickBEB on fuzzed files (see checker_run.h for the input).
#include <cstddef>
#include <cstdint>

#include "fuzz/checker_run.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return fuzz::RunChecker(sitecheck::kSelwickBEB, data, size);
}
