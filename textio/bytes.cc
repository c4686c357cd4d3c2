// The one question to the processor about its vector instructions.
#include "textio/bytes.h"

namespace textio {

bool HaveAvx2() {
#if TEXTIO_HAVE_SSE2 && (defined(__GNUC__) || defined(__clang__))
  static const bool kHave = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi") &&
           __builtin_cpu_supports("popcnt");
  }();
  return kHave;
#else
  return false;
#endif
}

}  // namespace textio
