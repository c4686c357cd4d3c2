// The rows of a checker's --tsv file: each replicate's counts by probability class, from
// which every number of the summary table is a sum.
#ifndef SITECHECK_REPLICATE_ROWS_H_
#define SITECHECK_REPLICATE_ROWS_H_

#include <cstdint>
#include <memory>
#include <string>

#include "sitecheck/tally.h"
#include "textio/byte_sink.h"

namespace sitecheck {

/// Writes the header line
///   replicate  sites  true_sites  class  p_low  p_high  predicted  matches
/// then, for each replicate, one row per class 1..21: the replicate's number, #sites, its
/// true sites, the class, the class's edges as the table prints them, and the predicted
/// sites of the replicate in the class and the true ones among them. Tab-separated, LF line
/// ends; gzip-compressed when the name ends in ".gz". The file takes its place only on
/// Commit(): a run that ends otherwise leaves no file and an older one as it was.
class ReplicateRows {
 public:
  /// Creates the file and writes the header. Null, with `*failure` set to "PATH: REASON",
  /// when it cannot be created.
  static std::unique_ptr<ReplicateRows> Create(const std::string& path, std::string* failure);
  ~ReplicateRows();

  /// Adds the rows of replicate `r`: its counts are what `tally` gained since the last call.
  void Add(int r, int32_t ls, const SiteTally& tally);

  /// Ends the file and puts it in place. False, with `*failure` set, when writing failed.
  bool Commit(std::string* failure);

 private:
  ReplicateRows(std::string path, std::unique_ptr<textio::ReplacingFile> file);

  std::string path_;
  std::unique_ptr<textio::ReplacingFile> file_;
  std::unique_ptr<textio::ByteSink> gzip_;  // between the rows and file_, for a ".gz" name
  textio::ByteSink* sink_;                  // where the rows go
  SiteTally last_;                          // the tally after the previous replicate
};

}  // namespace sitecheck

#endif  // SITECHECK_REPLICATE_ROWS_H_
