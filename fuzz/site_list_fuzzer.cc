// Fuzz target for the list form of the site file: replicate blocks are read one after the
// other until one cannot be read. The input is "ls" (a settings part), 0xFF, then the site
// file. The file is read twice, as it is through a small window and in CR LF form through
// the full one; both must give the same blocks.
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

std::vector<Block> ReadBlocks(const std::string& text, int32_t ls, size_t buffer_size) {
  textio::StringSource source(text);
  sitecheck::Reader reader(source, buffer_size);
  // Exactly `ls` entries, so that a write past them is caught.
  std::vector<int32_t> storage(ls > 0 ? ls : 0);
  int32_t* trueSites = storage.data();
  std::vector<Block> blocks;
  for (int r = 0; r < kMaxBlocks; ++r) {
    Block b;
    b.block = sitecheck::readTrueSiteList(reader, ls, trueSites);
    fuzz::Require(!reader.Failed(), "a file in memory reads without error");
    if (b.block.status == sitecheck::SiteStatus::kOk) {
      fuzz::Require(b.block.n <= ls, "a block never holds more than ls sites");
      if (b.block.n > 0) b.sites.assign(trueSites, trueSites + b.block.n);
    } else {
      fuzz::Require(!sitecheck::SiteErrorMessage(b.block, r + 1).empty(),
                    "every failed block has a message");
      fuzz::Require(b.block.status != sitecheck::SiteStatus::kNoHeader,
                    "the list form reports a missing header as a line without ':'");
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
  int32_t ls = 100;
  std::vector<std::string> words = fuzz::Words(parts[0], 1);
  if (!words.empty()) sitecheck::ScanLeadingInt(words[0].c_str(), &ls);
  if (ls > kMaxSites) ls %= kMaxSites + 1;
  std::string text(parts[1]);
  std::vector<Block> plain = ReadBlocks(text, ls, 0);
  std::vector<Block> crlf = ReadBlocks(fuzz::WithCrLf(text), ls, 256 << 10);
  fuzz::Require(plain == crlf, "CR LF lines read like LF lines");
  return 0;
}
