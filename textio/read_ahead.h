// Reading a byte source ahead on a thread of its own, so that producing the bytes (say,
// inflating them) overlaps with the caller's work on the bytes before.
#ifndef TEXTIO_READ_AHEAD_H_
#define TEXTIO_READ_AHEAD_H_

#include <memory>

#include "textio/byte_source.h"

namespace textio {

/// Most sources read ahead at once in a process; each holds three blocks of 128 KiB and a
/// thread. Sources opened beyond them are read on the caller's thread, so that a run over
/// a thousand files needs no thousand threads.
constexpr int kMaxReadAheadSources = 16;

/// A source with the bytes of `source`, read ahead on a thread of its own into blocks, in
/// order, its failure shown after its last byte as it would be. `source` must not need the
/// caller's thread and must not wait long in Read, since the thread is joined when the
/// returned source goes, also half-way. The thread blocks every signal, so that a signal
/// sent to the process goes to the caller's threads. When kMaxReadAheadSources are reading
/// ahead, or no thread can be had, `source` itself comes back.
std::unique_ptr<ByteSource> ReadAhead(std::unique_ptr<ByteSource> source);

}  // namespace textio

#endif  // TEXTIO_READ_AHEAD_H_
