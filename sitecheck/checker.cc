// The run shared by the site checkers.
#include "sitecheck/checker.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "sitecheck/formats.h"
#include "sitecheck/reader.h"
#include "sitecheck/site_set.h"
#include "sitecheck/tally.h"

namespace sitecheck {

namespace {

struct FileCloser {
  void operator()(FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<FILE, FileCloser>;

// Opens a file for reading; a folder is no file to read, so it fails as well.
File OpenForReading(const std::string& path) {
  File file(std::fopen(path.c_str(), "r"));
  struct stat info;
  if (file && fstat(fileno(file.get()), &info) == 0 && S_ISDIR(info.st_mode)) file.reset();
  return file;
}

// Prints a message that ends the run; returns the exit status for it.
int Fail(FILE* out, const std::string& message) {
  std::fprintf(out, "%s\n", message.c_str());
  return -1;
}

// Parses the positive site classes. False, with `*message` set, for an argument that does
// not start with an integer.
bool ParseClasses(const std::vector<std::string>& args, std::vector<int32_t>* classes,
                  std::string* message) {
  for (const std::string& arg : args) {
    int32_t value = 0;
    if (!parseIntArgument(arg.c_str(), &value)) {
      *message = "site class '" + arg + "' is not an integer.";
      return false;
    }
    classes->push_back(value);
  }
  return true;
}

}  // namespace

bool parseIntArgument(const char* arg, int32_t* value) {
  int32_t parsed = 0;
  size_t used = 0;
  ScanStatus status = ScanIntText(arg, &parsed, &used);
  if (status != ScanStatus::kOk && status != ScanStatus::kOverflow) return false;
  *value = parsed;
  return true;
}

int runChecker(const CheckerOptions& options, const CheckerSettings& settings, FILE* in,
               FILE* out) {
  const int32_t ls = settings.ls, nrepl = settings.nrepl;
  std::fprintf(out, "%d sites, %d replicate.\n", ls, nrepl);
  std::fprintf(out, "varnel file %s starts with '%s' for each replicate.\n",
               settings.report.c_str(), options.headerText);
  if (nrepl > 20) {
    std::fputs("Hit Enter to continue.", out);
    std::fflush(out);
    std::getc(in);
  }

  File siteFile = OpenForReading(settings.siteFile);
  File reportFile = siteFile ? OpenForReading(settings.report) : nullptr;
  if (!siteFile || !reportFile) return Fail(out, "file error");

  // Working storage: true sites, predicted sites and their classes, `ls` entries each. It
  // is left untouched until used, so a huge `ls` costs address space only.
  if (ls < 0) return Fail(out, "oom");
  const size_t entries = static_cast<size_t>(ls);
  std::unique_ptr<int32_t[], decltype(&std::free)> storage(
      ls > 0 ? static_cast<int32_t*>(std::malloc(3 * entries * sizeof(int32_t))) : nullptr,
      &std::free);
  if (ls > 0 && !storage) return Fail(out, "oom");
  int32_t* const trueSites = storage.get();
  int32_t* const predictedSites = ls > 0 ? trueSites + entries : nullptr;
  int32_t* const predictedClasses = ls > 0 ? trueSites + 2 * entries : nullptr;

  SiteTally tally;

  std::vector<int32_t> positiveClasses;
  if (options.classPerSite) {
    std::string message;
    if (!ParseClasses(options.classArgs, &positiveClasses, &message)) return Fail(out, message);
    std::fprintf(out, "%d site classes are under positive selection: ",
                 static_cast<int>(positiveClasses.size()));
    for (int32_t siteClass : positiveClasses) std::fprintf(out, " %2d", siteClass);
    std::fputs("\n", out);
    // Looked up, not listed, from here on: a repeated class changes nothing.
    std::sort(positiveClasses.begin(), positiveClasses.end());
  }

  TrueSiteSet trueSet(ls);
  Reader sites(siteFile.get());
  Reader report(reportFile.get());
  for (int64_t replicate = 1; replicate <= nrepl; ++replicate) {
    const int r = static_cast<int>(replicate);
    SiteBlock block = options.classPerSite ? readSiteClasses(sites, ls, positiveClasses, trueSites)
                                           : readTrueSiteList(sites, ls, trueSites);
    if (sites.failed()) return Fail(out, "read error in " + settings.siteFile + ".");
    if (block.status != SiteStatus::kOk) return Fail(out, SiteErrorMessage(block, r));
    const int32_t n = block.n;
    tally.trueSitesTotal += n;
    trueSet.Assign(trueSites, n);

    int32_t k = 0;
    if (findReportBlock(report, options.headerText)) {
      PredictedSite entry;
      while (k < ls && readPredictedSite(report, &entry)) {
        predictedSites[k] = entry.site;
        predictedClasses[k] = classify(entry.probability);
        ++k;
      }
    }
    if (report.failed()) return Fail(out, "read error in " + settings.report + ".");

    int32_t matches = 0;
    for (int32_t j = 0; j < k; ++j) {
      const bool isTrue = trueSet.Contains(predictedSites[j]);
      tallySite(&tally, predictedClasses[j], isTrue);
      if (isTrue) ++matches;
    }
    std::fprintf(out, "\nReplicate %3d: %3d drovik sites, %3d varnel sites at 50%%, %3d matches", r,
                 n, k, matches);
  }

  printSummary(out, tally, ls, nrepl);
  std::fprintf(out, "\nTrue positive sites from drovik: %5.0f out of %5d%s\n", tally.trueSitesTotal,
               wrappedProduct(ls, nrepl), options.closingSuffix);

  std::fclose(siteFile.release());
  int status = std::fclose(reportFile.release()) == 0 ? 0 : -1;
  if (std::fflush(out) != 0 || std::ferror(out)) status = -1;
  return status;
}

}  // namespace sitecheck
