// Readers of the site file in its two forms.
#include "sitecheck/site_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace sitecheck {

namespace {

// Reads `expected` integers, handing each to `keep(i, value)`.
template <typename Keep>
bool ReadNumbers(Reader& siteFile, int32_t expected, SiteBlock* block, Keep keep) {
  block->expected = expected;
  ScanStatus status;
  block->read = siteFile.ReadInts(expected, keep, &status);
  if (status == ScanStatus::kOk) return true;
  block->status = SiteStatus::kCutShort;
  block->at_end = status == ScanStatus::kEnd;
  return false;
}

// Reads the count after the first ':' of a header line. The line is copied so that the
// number ends with the line: digits of the next piece never extend it.
SiteStatus ReadCount(std::string_view header, int32_t* count) {
  const size_t colon = header.find(':');
  if (colon == std::string_view::npos) return SiteStatus::kNoColon;
  char lineBuf[kMaxPiece + 1];
  const std::string_view after = header.substr(colon + 1);
  std::memcpy(lineBuf, after.data(), after.size());
  lineBuf[after.size()] = '\0';
  return ScanLeadingInt(lineBuf, count) ? SiteStatus::kOk : SiteStatus::kNoCount;
}

std::string Format(const char* format, int a, int b, int c) {
  char text[160];
  std::snprintf(text, sizeof text, format, a, b, c);
  return text;
}

}  // namespace

std::string SiteErrorMessage(const SiteBlock& block, int replicate) {
  switch (block.status) {
    case SiteStatus::kOk:
      return "";
    case SiteStatus::kNoColon:
      return "did not find ':' in line.";
    case SiteStatus::kNoCount:
      return "did not find the number of sites after ':' in line.";
    case SiteStatus::kTooMany:
      return "Too many sites. ls wrong?";
    case SiteStatus::kNoHeader:
      return Format("site file ends before replicate %d.", replicate, 0, 0);
    case SiteStatus::kCutShort:
      if (block.at_end) {
        return Format("site file ends in replicate %d after %d of %d numbers.", replicate,
                      block.read, block.expected);
      }
      return Format("number %d of %d in replicate %d of the site file is not a readable integer.",
                    block.read + 1, block.expected, replicate);
  }
  return "";
}

SiteBlock readTrueSiteList(Reader& siteFile, int32_t ls, int32_t* trueSites) {
  SiteBlock block;
  // A file that ends before the header leaves nothing to examine: an empty line.
  std::string_view header;
  block.at_end = !siteFile.SkipToPieceWith(kReplicateMark, &header);
  int32_t count = 0;
  block.status = ReadCount(header, &count);
  if (block.status != SiteStatus::kOk) return block;
  if (count > ls) {
    block.status = SiteStatus::kTooMany;
    block.expected = count;
    return block;
  }
  // The numbers start after the header line, however long it is, so numbers after the
  // count on it are never taken for sites; a count of 0 or less reads none.
  if (header.back() != '\n') siteFile.SkipRestOfLine();
  if (ReadNumbers(siteFile, count, &block,
                  [trueSites](int32_t i, int32_t site) { trueSites[i] = site; })) {
    block.n = count;
  }
  return block;
}

SiteBlock readSiteClasses(Reader& siteFile, int32_t ls, const std::vector<int32_t>& positiveClasses,
                          int32_t* trueSites, std::vector<bool>* seen) {
  SiteBlock block;
  std::string_view header;
  if (!siteFile.SkipToPieceWith(kReplicateMark, &header)) {
    block.status = SiteStatus::kNoHeader;
    return block;
  }
  // Classes are small numbers as a rule: those below 256 are looked up in a table.
  bool small_class[256] = {};
  for (int32_t site_class : positiveClasses) {
    if (site_class >= 0 && site_class < 256) small_class[site_class] = true;
  }
  bool small_seen[256] = {};
  int32_t n = 0;
  if (ReadNumbers(siteFile, ls, &block, [&](int32_t i, int32_t site_class) {
        bool positive;
        if (site_class >= 0 && site_class < 256) {
          positive = small_class[site_class];
          small_seen[site_class] = true;
        } else {
          const auto at =
              std::lower_bound(positiveClasses.begin(), positiveClasses.end(), site_class);
          positive = at != positiveClasses.end() && *at == site_class;
          if (positive && seen != nullptr) (*seen)[at - positiveClasses.begin()] = true;
        }
        // Written without a branch, which site classes make unpredictable; n <= i < ls.
        trueSites[n] = i + 1;
        n += positive;
      })) {
    block.n = n;
  }
  for (size_t c = 0; seen != nullptr && c < positiveClasses.size(); ++c) {
    const int32_t site_class = positiveClasses[c];
    if (site_class >= 0 && site_class < 256 && small_seen[site_class]) (*seen)[c] = true;
  }
  return block;
}

}  // namespace sitecheck
