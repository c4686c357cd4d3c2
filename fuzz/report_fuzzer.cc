// Fuzz target for the analysis report: each replicate's list is found by its header text and
// its entries read, at most ls of them, until the header is no longer found. The input is
// "ls [B]" (a settings part; B picks the Bayes-empirical header text), 0xFF, then the
// report. The report is read twice, as it is through a small window and in CR LF form
// through the full one; both must give the same entries.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "sitecheck/checker.h"
#include "sitecheck/reader.h"
#include "sitecheck/report.h"
#include "sitecheck/tally.h"
#include "testsupport/string_source.h"
#include "textio/byte_source.h"

namespace {

constexpr int32_t kMaxSites = 300;
constexpr int kMaxBlocks = 200;

struct Entry {
  int32_t site;
  char residue;
  double probability;
  bool operator==(const Entry& o) const {
    // Bit for bit: the same text must give the same double, -0.0 included.
    return site == o.site && residue == o.residue &&
           std::memcmp(&probability, &o.probability, sizeof probability) == 0;
  }
};

std::vector<std::vector<Entry>> ReadLists(const std::string& text, int32_t ls, const char* header,
                                          size_t buffer_size) {
  textio::StringSource source(text);
  sitecheck::Reader reader(source, buffer_size);
  std::vector<std::vector<Entry>> lists;
  for (int r = 0; r < kMaxBlocks; ++r) {
    if (!sitecheck::findReportBlock(reader, header)) break;
    std::vector<Entry> list;
    sitecheck::PredictedSite entry;
    while (static_cast<int32_t>(list.size()) < ls && sitecheck::readPredictedSite(reader, &entry)) {
      fuzz::Require(std::isfinite(entry.probability), "a probability is a finite number");
      int site_class = sitecheck::classify(entry.probability);
      fuzz::Require(site_class >= 0 && site_class < sitecheck::kClasses, "class in 0..20");
      list.push_back({entry.site, entry.residue, entry.probability});
    }
    lists.push_back(list);
  }
  fuzz::Require(!reader.Failed(), "a file in memory reads without error");
  return lists;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string_view> parts = fuzz::SplitParts(data, size, 2);
  if (parts.size() < 2) return 0;
  std::vector<std::string> words = fuzz::Words(parts[0], 2);
  int32_t ls = 100;
  if (!words.empty()) sitecheck::ScanLeadingInt(words[0].c_str(), &ls);
  if (ls > kMaxSites) ls %= kMaxSites + 1;
  const char* header = words.size() > 1 && words[1] == "B" ? "Bayes Empirical" : "Naive Empirical";
  std::string text(parts[1]);
  auto plain = ReadLists(text, ls, header, 0);
  auto crlf = ReadLists(fuzz::WithCrLf(text), ls, header, 256 << 10);
  fuzz::Require(plain == crlf, "CR LF lines read like LF lines");
  return 0;
}
