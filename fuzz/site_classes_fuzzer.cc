// Fuzz target for the class-per-site form of the site file: replicate blocks are read one
// after the other until one cannot be read. The input is "ls class class ..." (a settings
// part), 0xFF, then the site file. The file is read twice, as it is through a small window
// and in CR LF form through the full one; both must give the same blocks.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "sitecheck/checker.h"
#include "sitecheck/reader.h"
#include "sitecheck/site_file.h"
#include "testsupport/string_source.h"
#include "textio/byte_source.h"

namespace {

constexpr int32_t kMaxSites = 300;
constexpr int kMaxBlocks = 200;

struct Block {
  sitecheck::SiteBlock block;
  std::vector<int32_t> sites;
  bool operator==(const Block& o) const {
    return block.status == o.block.status && block.n == o.block.n &&
           block.expected == o.block.expected && block.read == o.block.read &&
           block.at_end == o.block.at_end && sites == o.sites;
  }
};

std::vector<Block> ReadBlocks(const std::string& text, int32_t ls,
                              const std::vector<int32_t>& classes, size_t buffer_size) {
  textio::StringSource source(text);
  sitecheck::Reader reader(source, buffer_size);
  std::vector<int32_t> storage(ls > 0 ? ls : 0);  // exactly ls entries
  std::vector<Block> blocks;
  for (int r = 0; r < kMaxBlocks; ++r) {
    Block b;
    b.block = sitecheck::readSiteClasses(reader, ls, classes, storage.data());
    fuzz::Require(!reader.Failed(), "a file in memory reads without error");
    if (b.block.status == sitecheck::SiteStatus::kOk) {
      fuzz::Require(b.block.n >= 0 && b.block.n <= std::max(ls, 0), "0 <= n <= ls");
      b.sites.assign(storage.begin(), storage.begin() + b.block.n);
      for (int32_t i = 0; i < b.block.n; ++i) {
        fuzz::Require(b.sites[i] >= 1 && b.sites[i] <= ls, "sites are numbered 1 to ls");
        fuzz::Require(i == 0 || b.sites[i - 1] < b.sites[i], "sites come in increasing order");
      }
      fuzz::Require(!classes.empty() || b.block.n == 0, "no class, no true site");
    } else {
      fuzz::Require(b.block.status == sitecheck::SiteStatus::kNoHeader ||
                        b.block.status == sitecheck::SiteStatus::kCutShort,
                    "the class form fails only on a missing header or a short block");
      fuzz::Require(!sitecheck::SiteErrorMessage(b.block, r + 1).empty(),
                    "every failed block has a message");
    }
    blocks.push_back(b);
    if (b.block.status != sitecheck::SiteStatus::kOk) break;
  }
  return blocks;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string_view> parts = fuzz::SplitParts(data, size, 2);
  if (parts.size() < 2) return 0;
  std::vector<std::string> words = fuzz::Words(parts[0], 200);
  int32_t ls = 100;
  if (!words.empty()) sitecheck::ScanLeadingInt(words[0].c_str(), &ls);
  if (ls > kMaxSites) ls %= kMaxSites + 1;
  std::vector<int32_t> classes;
  for (size_t i = 1; i < words.size(); ++i) {
    int32_t value = 0;
    if (sitecheck::ScanLeadingInt(words[i].c_str(), &value)) classes.push_back(value);
  }
  std::sort(classes.begin(), classes.end());
  std::string text(parts[1]);
  std::vector<Block> plain = ReadBlocks(text, ls, classes, 0);
  std::vector<Block> crlf = ReadBlocks(fuzz::WithCrLf(text), ls, classes, 256 << 10);
  fuzz::Require(plain == crlf, "CR LF lines read like LF lines");
  return 0;
}
