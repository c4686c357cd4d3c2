#include "textio/input_failure.h"

#include <cstring>

namespace textio {

std::string DescribeOpenError(const OpenError& error) {
  if (error.kind == OpenError::kOtherFormat) {
    return std::string(error.format) + "-compressed data: only gzip-compressed files can be read";
  }
  return std::strerror(error.error_number);
}

std::string DescribeReadFailure(const ByteSource& source) {
  return source.Damaged() ? source.Damage() : std::strerror(source.ErrorNumber());
}

}  // namespace textio
