// The forms of the field scan that the program runs, and the choice between them.
#include "runcompare/fields.h"

namespace runcompare {

LineFields FieldStartsFast(const char* line, std::size_t column) {
  return FieldStartsWith<textio::Fast>(line, column);
}

#if TEXTIO_HAVE_SSE2
// Compiled for processors with AVX2; flatten inlines the AVX2 primitives into the scan, which
// they could not be into a function compiled for every processor.
__attribute__((target("avx2,bmi,popcnt"), flatten)) LineFields FieldStartsAvx2(const char* line,
                                                                               std::size_t column) {
  return FieldStartsWith<textio::Avx2>(line, column);
}

const FieldScan kFieldStartsForProcessor = textio::HaveAvx2() ? FieldStartsAvx2 : FieldStartsFast;
#else
const FieldScan kFieldStartsForProcessor = FieldStartsFast;
#endif

}  // namespace runcompare
