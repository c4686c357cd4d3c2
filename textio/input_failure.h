// Why an input could not be read, in the words every program gives it: the system's reason,
// another compressor's format, or the damage of compressed data. Each program puts them in
// a frame of its own (the file's name, its wording around them).
#ifndef TEXTIO_INPUT_FAILURE_H_
#define TEXTIO_INPUT_FAILURE_H_

#include <string>

#include "textio/byte_source.h"

namespace textio {

/// Why OpenFile gave no source: for a file in another compressor's format,
/// "<format>-compressed data: only gzip-compressed files can be read", else the system's
/// reason (strerror).
std::string DescribeOpenError(const OpenError& error);

/// Why reading `source`, which failed, stopped: for damaged compressed data its Damage()
/// ("CRC mismatch in member 1", for one), else the system's reason (strerror).
std::string DescribeReadFailure(const ByteSource& source);

}  // namespace textio

#endif  // TEXTIO_INPUT_FAILURE_H_
