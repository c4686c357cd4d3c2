// The site checkers' warnings and error details.
#include "sitecheck/diagnostics.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <memory>

#include "sitecheck/numbers.h"
#include "sitecheck/reader.h"
#include "textio/byte_source.h"
#include "textio/bytes.h"

namespace sitecheck {

namespace {

using textio::Portable;

// What is wrong with a number argument: "" when it reads whole as a 32-bit integer, white
// space around it allowed.
const char* NumberFault(const std::string& text) {
  const char* const end = text.c_str() + text.size();
  const char* p = Portable::SkipSpace(text.c_str(), end);
  int32_t value = 0;
  const ScanStatus status = ScanInt(&p, &value);
  const bool whole = Portable::SkipSpace(p, end) == end;
  if (status == ScanStatus::kOk && whole) return "";
  return status == ScanStatus::kOverflow && whole ? "is beyond 32 bits" : "is not an integer";
}

void WarnAboutNumber(const char* name, const std::string& text, int32_t used,
                     const Diagnostics& diagnostics) {
  const char* fault = NumberFault(text);
  if (*fault == '\0') return;
  diagnostics.Warn(std::string(name) + " '" + text + "' " + fault + ": " + std::to_string(used) +
                   " used");
}

// "replicate A" or "replicates A to B".
std::string Replicates(int64_t first, int64_t last) {
  return first == last ? "replicate " + std::to_string(first)
                       : "replicates " + std::to_string(first) + " to " + std::to_string(last);
}

}  // namespace

void Diagnostics::Warn(const std::string& what) const {
  std::fprintf(err_, "%s: warning: %s\n", program_, what.c_str());
}

void Diagnostics::Detail(const std::string& detail) const {
  if (!detail.empty()) std::fprintf(err_, "%s: %s\n", program_, detail.c_str());
}

void WarnAboutArguments(const CheckerProfile& profile, const std::vector<std::string>& args,
                        const CheckerSettings& settings, const Diagnostics& diagnostics) {
  if (args.size() > 0) WarnAboutNumber("#sites", args[0], settings.ls, diagnostics);
  if (args.size() > 1) WarnAboutNumber("#repl", args[1], settings.nrepl, diagnostics);
  if (!profile.class_per_site) return;
  if (settings.class_args.empty()) {
    diagnostics.Warn("no positive site class named: no site counted as selected");
  }
  for (const std::string& arg : settings.class_args) {
    int32_t value = 0;
    // One that does not start with an integer ends the run with a message of its own.
    if (ScanLeadingInt(arg.c_str(), &value)) WarnAboutNumber("class", arg, value, diagnostics);
  }
}

std::string SystemErrorDetail(const std::string& path, int error_number) {
  return error_number > 0 ? path + ": " + std::strerror(error_number) : "";
}

int64_t LineAt(const std::string& path, uint64_t offset) {
  // A pipe or a terminal cannot be read again.
  struct stat info;
  if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return 0;
  textio::OpenError error;
  const std::unique_ptr<textio::ByteSource> source = textio::OpenFile(path, &error);
  if (!source) return 0;
  Reader reader(*source);
  int64_t line = 1;
  uint64_t at = 0;
  std::string_view piece;
  while (at <= offset && reader.ReadPiece(kMaxPiece, &piece)) {
    at += piece.size();
    // The line feed at at - 1 ends a line before the byte at `offset`.
    if (piece.back() == '\n' && at <= offset) ++line;
  }
  return at > offset ? line : 0;
}

std::string SiteErrorDetail(const SiteBlock& block, int r, int32_t ls, const std::string& path,
                            uint64_t offset) {
  const std::string replicate = std::to_string(r);
  // A format error names the line of the byte it is found at.
  const auto at = [&path](uint64_t byte, const std::string& what) {
    const int64_t line = LineAt(path, byte);
    return path + ": " + (line > 0 ? "line " + std::to_string(line) + ": " : "") + what;
  };
  switch (block.status) {
    case SiteStatus::kOk:
      return "";
    case SiteStatus::kNoColon:
      if (!block.at_end) return at(offset - 1, "no ':' in the header of replicate " + replicate);
      [[fallthrough]];
    case SiteStatus::kNoHeader:
      return path + ": ends before the header of replicate " + replicate;
    case SiteStatus::kNoCount:
      return at(offset - 1, "no number of sites after ':' in the header of replicate " + replicate);
    case SiteStatus::kTooMany:
      return at(offset - 1, "replicate " + replicate + " has " + std::to_string(block.expected) +
                                " true sites, more than #sites (" + std::to_string(ls) + ")");
    case SiteStatus::kCutShort:
      if (block.at_end) {
        return path + ": ends in replicate " + replicate + " after " + std::to_string(block.read) +
               " of " + std::to_string(block.expected) + " numbers";
      }
      return at(offset, "number " + std::to_string(block.read + 1) + " of replicate " + replicate +
                            " is not a readable integer");
  }
  return "";
}

void WarnMissingLists(const CheckerSettings& settings, const char* headerText, int64_t first,
                      int64_t last, const Diagnostics& diagnostics) {
  if (first == 0 || first > last) return;
  const std::string lists = first == 1 ? "has no '" + std::string(headerText) + "' list"
                                       : "has '" + std::string(headerText) + "' lists for " +
                                             Replicates(1, first - 1) + " only";
  diagnostics.Warn(settings.report + " " + lists + ": " + Replicates(first, last) +
                   " counted with 0 varnel sites");
}

void WarnUnseenClasses(const CheckerSettings& settings, const std::vector<int32_t>& classes,
                       const std::vector<bool>& seen, const Diagnostics& diagnostics) {
  for (size_t c = 0; c < classes.size(); ++c) {
    // A class named twice is one class, flagged at its first entry.
    if ((c > 0 && classes[c] == classes[c - 1]) || seen[c]) continue;
    diagnostics.Warn("no site in " + settings.siteFile + " has class " +
                     std::to_string(classes[c]) + ": it selects none");
  }
}

void Pause(const CheckerSettings& settings, FILE* in, FILE* out, FILE* err) {
  const int descriptor = fileno(in);
  struct stat input;
  if (descriptor >= 0 && fstat(descriptor, &input) == 0) {
    for (const std::string* path : {&settings.siteFile, &settings.report}) {
      struct stat file;
      if (stat(path->c_str(), &file) == 0 && file.st_dev == input.st_dev &&
          file.st_ino == input.st_ino) {
        return;
      }
    }
  }
  if (descriptor >= 0 && isatty(descriptor) && !isatty(fileno(out))) {
    std::fputs("Hit Enter to continue.", err);
    std::fflush(err);
  }
  std::getc(in);
}

}  // namespace sitecheck
