// The run shared by the site checkers: settings lines, files, replicate loop, table.
#include "sitecheck/checker.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>

#include "sitecheck/diagnostics.h"
#include "sitecheck/numbers.h"
#include "sitecheck/reader.h"
#include "sitecheck/replicate_rows.h"
#include "sitecheck/report.h"
#include "sitecheck/site_file.h"
#include "sitecheck/site_set.h"
#include "sitecheck/tally.h"
#include "textio/byte_source.h"
#include "textio/bytes.h"
#include "textio/input_failure.h"

namespace sitecheck {

namespace {

// Prints a message that ends the run, then its detail, if any, on standard error; returns
// the exit status for it.
int Fail(FILE* out, const std::string& message, const Diagnostics& diagnostics,
         const std::string& detail = "") {
  std::fprintf(out, "%s\n", message.c_str());
  std::fflush(out);
  diagnostics.Detail(detail);
  return -1;
}

// The two input files, open for reading.
struct Inputs {
  std::unique_ptr<textio::ByteSource> siteFile;
  std::unique_ptr<textio::ByteSource> report;
};

// Opens the site file, then the report. False, with `*message` and `*detail` set, when
// either cannot be read: it cannot be opened or is a folder ("file error"), or it is
// compressed in another format than gzip.
bool OpenInputs(const CheckerSettings& settings, Inputs* inputs, std::string* message,
                std::string* detail) {
  for (auto [path, source] : {std::pair{&settings.siteFile, &inputs->siteFile},
                              std::pair{&settings.report, &inputs->report}}) {
    textio::OpenError error;
    *source = textio::OpenFile(*path, &error);
    if (*source) continue;
    *message = error.kind == textio::OpenError::kOtherFormat
                   ? *path + " is " + textio::DescribeOpenError(error) + "."
                   : "file error";
    *detail = SystemErrorDetail(*path, error.error_number);
    return false;
  }
  return true;
}

// The message for an input whose reading failed, and the system's reason as its detail.
std::string ReadFailure(const std::string& path, const textio::ByteSource& source,
                        std::string* detail) {
  if (source.Damaged()) {
    return "damaged compressed data in " + path + ": " + textio::DescribeReadFailure(source) + ".";
  }
  *detail = SystemErrorDetail(path, source.ErrorNumber());
  return "read error in " + path + ".";
}

// A compressed input is read to its end, past what the run needed, so that its checks
// cover every byte the run took from it. False, with `*message` set, when that fails.
bool CheckToTheEnd(const CheckerSettings& settings, Inputs& inputs, std::string* message,
                   std::string* detail) {
  for (auto [path, source] : {std::pair{&settings.siteFile, inputs.siteFile.get()},
                              std::pair{&settings.report, inputs.report.get()}}) {
    if (source->Checked() && !textio::ReadToEnd(*source)) {
      *message = ReadFailure(*path, *source, detail);
      return false;
    }
  }
  return true;
}

// Working storage: true sites, predicted sites and their classes, `ls` entries each. It is
// left untouched until used, so a huge `ls` costs address space only.
struct Storage {
  std::unique_ptr<int32_t[], decltype(&std::free)> block{nullptr, &std::free};
  int32_t* trueSites = nullptr;
  int32_t* predicted_sites = nullptr;
  int32_t* predicted_classes = nullptr;

  bool Allocate(int32_t ls) {
    if (ls < 0) return false;
    if (ls == 0) return true;
    const size_t entries = static_cast<size_t>(ls);
    block.reset(static_cast<int32_t*>(std::malloc(3 * entries * sizeof(int32_t))));
    if (!block) return false;
    trueSites = block.get();
    predicted_sites = trueSites + entries;
    predicted_classes = trueSites + 2 * entries;
    return true;
  }
};

// Reads the positive site classes and prints the class line. False, with `*message` set,
// for an argument that does not start with an integer.
bool AnnounceClasses(const std::vector<std::string>& args, std::vector<int32_t>* classes, FILE* out,
                     std::string* message) {
  for (const std::string& arg : args) {
    int32_t value = 0;
    if (!ScanLeadingInt(arg.c_str(), &value)) {
      *message = "site class '" + arg + "' is not an integer.";
      return false;
    }
    classes->push_back(value);
  }
  std::fprintf(out,
               "%d site classes are under positive selection: ", static_cast<int>(classes->size()));
  for (int32_t site_class : *classes) std::fprintf(out, " %2d", site_class);
  std::fputs("\n", out);
  // Looked up, not listed, from here on: a repeated class changes nothing.
  std::sort(classes->begin(), classes->end());
  return true;
}

// One replicate after the other: the true sites from the site file, the predicted sites
// from the report, the matches counted into the tally.
class ReplicateScorer {
 public:
  ReplicateScorer(const CheckerProfile& profile, const CheckerSettings& settings, Inputs& inputs,
                  const Storage& storage, std::vector<int32_t> positiveClasses)
      : profile_(profile),
        settings_(settings),
        storage_(storage),
        positiveClasses_(std::move(positiveClasses)),
        class_seen_(positiveClasses_.size()),
        inputs_(inputs),
        true_set_(settings.ls),
        sites_(*inputs.siteFile, settings.reader_window),
        report_(*inputs.report, settings.reader_window) {}

  // Scores replicate `r` and prints its line. False, with `*message` and `*detail` set, when
  // the run ends.
  bool Score(int r, SiteTally* tally, FILE* out, std::string* message, std::string* detail);

  // Warns about what the replicates scored so far showed: lists missing at the report's
  // end; after a whole run, positive classes that no site had.
  void Warn(int64_t scored, const Diagnostics& diagnostics) const;

 private:
  int32_t ReadPredictions(bool* list_found);

  const CheckerProfile& profile_;
  const CheckerSettings& settings_;
  const Storage& storage_;
  const std::vector<int32_t> positiveClasses_;
  std::vector<bool> class_seen_;    // for each positive class: a site had it
  int64_t first_without_list_ = 0;  // the first replicate without a list in the report
  const Inputs& inputs_;
  TrueSiteSet true_set_;
  Reader sites_;
  Reader report_;
};

bool ReplicateScorer::Score(int r, SiteTally* tally, FILE* out, std::string* message,
                            std::string* detail) {
  const int32_t ls = settings_.ls;
  const SiteBlock block =
      profile_.class_per_site
          ? readSiteClasses(sites_, ls, positiveClasses_, storage_.trueSites, &class_seen_)
          : readTrueSiteList(sites_, ls, storage_.trueSites);
  if (sites_.Failed()) {
    *message = ReadFailure(settings_.siteFile, *inputs_.siteFile, detail);
    return false;
  }
  if (block.status != SiteStatus::kOk) {
    *message = SiteErrorMessage(block, r);
    *detail = SiteErrorDetail(block, r, ls, settings_.siteFile, sites_.Offset());
    return false;
  }
  tally->trueSitesTotal += block.n;
  true_set_.Assign(storage_.trueSites, block.n);

  bool list_found = true;
  const int32_t k = ReadPredictions(&list_found);
  if (report_.Failed()) {
    *message = ReadFailure(settings_.report, *inputs_.report, detail);
    return false;
  }
  if (!list_found && first_without_list_ == 0) first_without_list_ = r;
  int32_t matches = 0;
  for (int32_t j = 0; j < k; ++j) {
    const bool isTrue = true_set_.Contains(storage_.predicted_sites[j]);
    tallySite(tally, storage_.predicted_classes[j], isTrue);
    matches += isTrue;
  }
  std::fprintf(out, "\nReplicate %3d: %3d drovik sites, %3d varnel sites at 50%%, %3d matches", r,
               block.n, k, matches);
  return true;
}

// Reads the replicate's list of predicted sites, at most ls entries, and classifies them.
// `*list_found` turns false when the report ends before the list.
int32_t ReplicateScorer::ReadPredictions(bool* list_found) {
  int32_t k = 0;
  if (!findReportBlock(report_, profile_.headerText)) {
    *list_found = false;
    return 0;
  }
  PredictedSite entry;
  while (k < settings_.ls && readPredictedSite(report_, &entry)) {
    storage_.predicted_sites[k] = entry.site;
    storage_.predicted_classes[k] = classify(entry.probability);
    ++k;
  }
  return k;
}

void ReplicateScorer::Warn(int64_t scored, const Diagnostics& diagnostics) const {
  WarnMissingLists(settings_, profile_.headerText, first_without_list_, scored, diagnostics);
  if (profile_.class_per_site && scored == settings_.nrepl && scored > 0 && settings_.ls > 0) {
    WarnUnseenClasses(settings_, positiveClasses_, class_seen_, diagnostics);
  }
}

// Prints the table and the closing line; returns the exit status.
int Finish(const CheckerProfile& profile, const CheckerSettings& settings, const SiteTally& tally,
           FILE* out) {
  printSummary(out, tally, settings.ls, settings.nrepl);
  std::fprintf(out, "\nTrue positive sites from drovik: %5.0f out of %5d%s\n", tally.trueSitesTotal,
               WrappedProduct(settings.ls, settings.nrepl), profile.closing_suffix);
  return std::fflush(out) != 0 || std::ferror(out) ? -1 : 0;
}

// Prints "PROGRAM: WHAT" on standard error; returns the exit status -1.
int Complain(const CheckerProfile& profile, const std::string& what) {
  Diagnostics(profile.name, stderr).Detail(what);
  return -1;
}

// Writes out standard output; returns `status`, or -1 after a message when standard output
// could not be written, now or before.
int EndOutput(const CheckerProfile& profile, int status) {
  const int earlier = errno;
  errno = 0;
  if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return status;
  const int reason = errno != 0 ? errno : earlier != 0 ? earlier : EIO;
  return Complain(profile, std::string("standard output: ") + std::strerror(reason));
}

}  // namespace

CheckerSettings ParseCommandLine(const CheckerProfile& profile,
                                 const std::vector<std::string>& args) {
  CheckerSettings settings;
  settings.siteFile = profile.default_site_file;
  if (args.size() > 0) ScanLeadingInt(args[0].c_str(), &settings.ls);
  if (args.size() > 1) ScanLeadingInt(args[1].c_str(), &settings.nrepl);
  if (args.size() > 2) settings.siteFile = args[2];
  if (args.size() > 3) settings.report = args[3];
  if (profile.class_per_site && args.size() > 4) {
    settings.class_args.assign(args.begin() + 4, args.end());
  }
  return settings;
}

int RunChecker(const CheckerProfile& profile, const CheckerSettings& settings, FILE* in, FILE* out,
               FILE* err, ReplicateRows* rows) {
  const Diagnostics diagnostics(profile.name, err);
  std::fprintf(out, "%d sites, %d replicate.\n", settings.ls, settings.nrepl);
  std::fprintf(out, "varnel file %s starts with '%s' for each replicate.\n",
               settings.report.c_str(), profile.headerText);
  if (settings.nrepl > 20) {
    std::fputs("Hit Enter to continue.", out);
    std::fflush(out);
    Pause(settings, in, out, err);
  }
  Inputs inputs;
  std::string message, detail;
  if (!OpenInputs(settings, &inputs, &message, &detail)) {
    return Fail(out, message, diagnostics, detail);
  }
  Storage storage;
  if (!storage.Allocate(settings.ls)) {
    return Fail(out, "oom", diagnostics,
                "#sites " + std::to_string(settings.ls) +
                    (settings.ls < 0 ? ": a negative number of sites" : ": out of memory"));
  }
  std::vector<int32_t> positiveClasses;
  if (profile.class_per_site &&
      !AnnounceClasses(settings.class_args, &positiveClasses, out, &message)) {
    return Fail(out, message, diagnostics);
  }
  SiteTally tally;
  ReplicateScorer scorer(profile, settings, inputs, storage, std::move(positiveClasses));
  for (int64_t r = 1; r <= settings.nrepl; ++r) {
    if (!scorer.Score(static_cast<int>(r), &tally, out, &message, &detail)) {
      scorer.Warn(r - 1, diagnostics);
      return Fail(out, message, diagnostics, detail);
    }
    if (rows != nullptr) rows->Add(static_cast<int>(r), settings.ls, tally);
    if (std::ferror(out)) return -1;  // nobody sees the rest
  }
  scorer.Warn(settings.nrepl, diagnostics);
  if (!CheckToTheEnd(settings, inputs, &message, &detail)) {
    return Fail(out, message, diagnostics, detail);
  }
  return Finish(profile, settings, tally, out);
}

int CheckerMain(const CheckerProfile& profile, int argc, char** argv) {
  // A reader that goes away fails the writes to standard output, which end the run with a
  // message, instead of the signal.
  std::signal(SIGPIPE, SIG_IGN);
  const std::string only = argc == 2 ? argv[1] : "";
  if (only == "-h" || only == "--help" || only == "--version") {
    if (only == "--version") {
      std::printf("%s %s\n", profile.name, SITETOOLS_VERSION);
    } else {
      std::fputs(profile.help, stdout);
    }
    return EndOutput(profile, 0);
  }
  std::fputs(profile.usage, stdout);
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string tsv_path;
  if (!args.empty() && args[0] == "--tsv") {
    if (args.size() < 2) return EndOutput(profile, Complain(profile, "--tsv needs a file name"));
    tsv_path = args[1];
    args.erase(args.begin(), args.begin() + 2);
  }
  if (profile.needs_two_arguments && args.size() < 2) return EndOutput(profile, -1);
  const CheckerSettings settings = ParseCommandLine(profile, args);
  WarnAboutArguments(profile, args, settings, Diagnostics(profile.name, stderr));
  std::unique_ptr<ReplicateRows> rows;
  std::string failure;
  if (!tsv_path.empty() && !(rows = ReplicateRows::Create(tsv_path, &failure))) {
    return EndOutput(profile, Complain(profile, failure));
  }
  int status = RunChecker(profile, settings, stdin, stdout, stderr, rows.get());
  status = EndOutput(profile, status);
  if (status == 0 && rows && !rows->Commit(&failure)) status = Complain(profile, failure);
  return status;
}

}  // namespace sitecheck
