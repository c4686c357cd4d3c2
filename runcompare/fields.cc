// The forms of the field scan that the program runs, and the choice between them.
#include "runcompare/fields.h"

namespace runcompare {

LineFields field_starts_fast(const char* line, std::size_t column) {
  return field_starts_with<textio::Fast>(line, column);
}

#if TEXTIO_HAVE_SSE2
// Compiled for processors with AVX2; flatten inlines the AVX2 primitives into the scan, which
// they could not be into a function compiled for every processor.
__attribute__((target("avx2,bmi,popcnt"), flatten)) LineFields field_starts_avx2(
    const char* line, std::size_t column) {
  return field_starts_with<textio::Avx2>(line, column);
}

const FieldScan kFieldStartsForProcessor =
    textio::HaveAvx2() ? field_starts_avx2 : field_starts_fast;
#else
const FieldScan kFieldStartsForProcessor = field_starts_fast;
#endif

}  // namespace runcompare
