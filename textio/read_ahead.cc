// A byte source read ahead on a thread: a ring of blocks, filled by the thread and emptied
// by Read, with one mutex and two condition variables between them.
#include "textio/read_ahead.h"

#include <pthread.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <csignal>
#include <cstring>
#include <mutex>
#include <system_error>
#include <thread>

namespace textio {

namespace {

constexpr size_t kBlockSize = 128 << 10;
constexpr int kBlocks = 3;

// The sources reading ahead now, in the whole process.
std::atomic<int> reading_ahead{0};

class ReadAheadSource : public ByteSource {
 public:
  explicit ReadAheadSource(std::unique_ptr<ByteSource> source) : source_(std::move(source)) {}
  ~ReadAheadSource() override;
  ReadAheadSource(const ReadAheadSource&) = delete;
  ReadAheadSource& operator=(const ReadAheadSource&) = delete;

  /// Starts the thread; false when none can be had.
  bool Start();
  std::unique_ptr<ByteSource> TakeSource() { return std::move(source_); }
  size_t Read(char* into, size_t size) override;
  bool Checked() const override { return source_->Checked(); }

 private:
  struct Block {
    std::unique_ptr<char[]> bytes{new char[kBlockSize]};
    size_t size = 0;
    bool last = false;  // source_ ended, or failed, after these bytes
  };

  void Produce();

  std::unique_ptr<ByteSource> source_;
  Block blocks_[kBlocks];
  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable filled_;   // a block was filled
  std::condition_variable emptied_;  // a block was handed back, or stop_ was set
  int ready_ = 0;                    // filled blocks, from blocks_[head_] on
  bool stop_ = false;
  // Read's own: the block at head_ while it holds one, and how much of it is handed out.
  int head_ = 0;
  bool holding_ = false;
  size_t taken_ = 0;
  bool ended_ = false;
};

ReadAheadSource::~ReadAheadSource() {
  if (!thread_.joinable()) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  emptied_.notify_one();
  thread_.join();
  reading_ahead.fetch_sub(1);
}

bool ReadAheadSource::Start() {
  int running = reading_ahead.load();
  do {
    if (running >= kMaxReadAheadSources) return false;
  } while (!reading_ahead.compare_exchange_weak(running, running + 1));
  // The thread starts with every signal blocked, as it inherits the mask of the thread that
  // creates it: a signal sent to the process is then taken by a thread of the caller's,
  // which may hold it back around work that must not be cut short, and never by this one.
  sigset_t all, old_mask;
  sigfillset(&all);
  pthread_sigmask(SIG_BLOCK, &all, &old_mask);
  bool started = true;
  try {
    thread_ = std::thread(&ReadAheadSource::Produce, this);
  } catch (const std::system_error&) {
    reading_ahead.fetch_sub(1);
    started = false;
  }
  pthread_sigmask(SIG_SETMASK, &old_mask, nullptr);
  return started;
}

// The thread: fills the free blocks in turn until the source ends or fails, or the
// reader goes.
void ReadAheadSource::Produce() {
  for (int tail = 0;; tail = (tail + 1) % kBlocks) {
    {
      std::unique_lock<std::mutex> lock(mutex_);
      emptied_.wait(lock, [this] { return stop_ || ready_ < kBlocks; });
      if (stop_) return;
    }
    // The block at tail is free: Read touches only filled blocks.
    Block& block = blocks_[tail];
    block.size = 0;
    block.last = false;
    while (block.size < kBlockSize && !block.last) {
      const size_t got = source_->Read(block.bytes.get() + block.size, kBlockSize - block.size);
      block.size += got;
      block.last = got == 0;
    }
    {
      std::lock_guard<std::mutex> lock(mutex_);
      ++ready_;
    }
    filled_.notify_one();
    if (block.last) return;
  }
}

size_t ReadAheadSource::Read(char* into, size_t size) {
  size_t copied = 0;
  while (copied < size && !ended_) {
    if (!holding_) {
      std::unique_lock<std::mutex> lock(mutex_);
      // Hand out what has come rather than wait for more.
      if (copied > 0 && ready_ == 0) break;
      filled_.wait(lock, [this] { return ready_ > 0; });
      holding_ = true;
    }
    const Block& block = blocks_[head_];
    const size_t count = std::min(size - copied, block.size - taken_);
    std::memcpy(into + copied, block.bytes.get() + taken_, count);
    copied += count;
    taken_ += count;
    if (taken_ < block.size) break;
    ended_ = block.last;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      --ready_;
    }
    emptied_.notify_one();
    head_ = (head_ + 1) % kBlocks;
    holding_ = false;
    taken_ = 0;
  }
  // The thread is done with source_ once it has filled the last block.
  if (copied == 0 && ended_ && source_->Failed()) FailAs(*source_);
  return copied;
}

}  // namespace

std::unique_ptr<ByteSource> ReadAhead(std::unique_ptr<ByteSource> source) {
  auto ahead = std::make_unique<ReadAheadSource>(std::move(source));
  if (!ahead->Start()) return ahead->TakeSource();
  return ahead;
}

}  // namespace textio
