// The --tsv rows: formatted by hand, one block of 21 rows per replicate, so that writing
// them costs little beside reading the replicate.
#include "sitecheck/replicate_rows.h"

#include <cstdio>
#include <cstring>
#include <utility>

#include "textio/gzip_sink.h"

namespace sitecheck {

namespace {

constexpr char kHeader[] =
    "replicate\tsites\ttrue_sites\tclass\tp_low\tp_high\tpredicted\tmatches\n";

// The longest row: three 11-character numbers, the class part, two 20-character numbers.
constexpr size_t kMaxRow = 128;

// "\tCLASS\tP_LOW\tP_HIGH\t" of every class, as the table prints its edges.
struct ClassParts {
  char text[kClasses][32];
  size_t length[kClasses];
  ClassParts() {
    for (int i = 0; i < kClasses; ++i) {
      const double lower = i == 0 ? 0.5 : classBounds[i - 1];
      const int n = std::snprintf(text[i], sizeof text[i], "\t%d\t%.3f\t%.3f\t", i + 1, lower,
                                  classBounds[i]);
      length[i] = static_cast<size_t>(n);
    }
  }
};

// Writes `value` in decimal at `at`; returns the end.
char* PutInt(char* at, long long value) {
  unsigned long long magnitude = value < 0 ? 0ull - static_cast<unsigned long long>(value)
                                           : static_cast<unsigned long long>(value);
  char digits[20];
  int count = 0;
  do {
    digits[count++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) *at++ = '-';
  while (count > 0) *at++ = digits[--count];
  return at;
}

std::string Failure(const std::string& path, int error_number) {
  return path + ": " + std::strerror(error_number);
}

}  // namespace

std::unique_ptr<ReplicateRows> ReplicateRows::Create(const std::string& path,
                                                     std::string* failure) {
  int error_number = 0;
  std::unique_ptr<textio::ReplacingFile> file = textio::ReplacingFile::Create(path, &error_number);
  if (!file) {
    *failure = Failure(path, error_number);
    return nullptr;
  }
  std::unique_ptr<ReplicateRows> rows(new ReplicateRows(path, std::move(file)));
  rows->sink_->Write(kHeader, sizeof kHeader - 1);
  return rows;
}

ReplicateRows::ReplicateRows(std::string path, std::unique_ptr<textio::ReplacingFile> file)
    : path_(std::move(path)), file_(std::move(file)), sink_(file_.get()) {
  const bool gzip = path_.size() >= 3 && path_.compare(path_.size() - 3, 3, ".gz") == 0;
  if (gzip) {
    gzip_ = std::make_unique<textio::GzipSink>(*file_);
    sink_ = gzip_.get();
  }
}

ReplicateRows::~ReplicateRows() = default;

void ReplicateRows::Add(int r, int32_t ls, const SiteTally& tally) {
  static const ClassParts kParts;
  char prefix[40];
  char* end = PutInt(prefix, r);
  *end++ = '\t';
  end = PutInt(end, ls);
  *end++ = '\t';
  end = PutInt(end, static_cast<long long>(tally.trueSitesTotal - last_.trueSitesTotal));
  const size_t prefix_length = static_cast<size_t>(end - prefix);

  char rows[kClasses * kMaxRow];
  char* at = rows;
  for (int i = 0; i < kClasses; ++i) {
    std::memcpy(at, prefix, prefix_length);
    at += prefix_length;
    std::memcpy(at, kParts.text[i], kParts.length[i]);
    at += kParts.length[i];
    at = PutInt(at, static_cast<long long>(tally.binCount[i] - last_.binCount[i]));
    *at++ = '\t';
    at = PutInt(at, static_cast<long long>(tally.binMatches[i] - last_.binMatches[i]));
    *at++ = '\n';
  }
  sink_->Write(rows, static_cast<size_t>(at - rows));
  last_ = tally;
}

bool ReplicateRows::Commit(std::string* failure) {
  // The gzip sink's Finish ends the member and writes out the file's buffer; Commit then
  // closes and renames.
  if (sink_->Finish() && file_->Commit()) return true;
  const int error_number = sink_->ErrorNumber() != 0 ? sink_->ErrorNumber() : file_->ErrorNumber();
  *failure = Failure(path_, error_number);
  return false;
}

}  // namespace sitecheck
