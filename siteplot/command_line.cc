// siteplot's options with getopt_long; messages are made here, printed by the driver.
#include "siteplot/command_line.h"

#include <getopt.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "siteplot/figure.h"
#include "textio/byte_source.h"

namespace siteplot {

const char kHelp[] =
    "Usage: siteplot [-o FILE] [--tsv FILE] [--replicates FILE] [-l NAME]... [-t TEXT]\n"
    "                [FILE...]\n"
    "       siteplot -h | -V\n"
    "Draws the summary table that VarnelDrovik, SelwickBR or SelwickBEB printed (their\n"
    "console output saved in FILE, or the per-replicate counts of their --tsv) as an SVG\n"
    "figure: accuracy by posterior-probability class; accuracy, power and\n"
    "false-positive rate by cut-off; and power against false-positive rate. With no\n"
    "FILE, or when FILE is -, reads standard input. Several FILEs are drawn together,\n"
    "one colour each (at most 7).\n"
    "\n"
    "  -o, --output FILE      write the figure to FILE (default: standard output)\n"
    "      --tsv FILE         also write the class table as tab-separated text\n"
    "      --replicates FILE  also write the replicate lines as tab-separated text\n"
    "  -l, --label NAME       legend name of a FILE, the first -l of the first FILE and\n"
    "                         so on (default: the file name without its folder)\n"
    "  -t, --title TEXT       title above the panels\n"
    "  -h, --help             print this help and exit\n"
    "  -V, --version          print the version and exit\n";

namespace {

enum { kTsvOption = 256, kReplicatesOption };

std::string DisplayOutput(const std::string& path) {
  return path == "-" ? "standard output" : path;
}

std::string DefaultLabel(const std::string& path) {
  if (path == "-") return "stdin";
  return path.substr(path.rfind('/') + 1);
}

// The file an output goes to, when it exists: standard output's for "-", else the one
// `path` leads to, links followed.
textio::FileIdentity OutputIdentity(const std::string& path) {
  struct stat info;
  const bool known =
      path == "-" ? fstat(STDOUT_FILENO, &info) == 0 : stat(path.c_str(), &info) == 0;
  return known ? textio::FileIdentity{true, info.st_dev, info.st_ino} : textio::FileIdentity();
}

// The plain file an input is, when it is one: standard input's for "-", else the one `path`
// leads to. A terminal or /dev/null may well be both an input and an output.
textio::FileIdentity InputIdentity(const std::string& path) {
  struct stat info;
  const bool known = (path == "-" ? fstat(STDIN_FILENO, &info) : stat(path.c_str(), &info)) == 0 &&
                     S_ISREG(info.st_mode);
  return known ? textio::FileIdentity{true, info.st_dev, info.st_ino} : textio::FileIdentity();
}

// Sets `err` when two outputs go to one file, named alike or through different paths, as
// the later would replace the earlier, or when an output is one of the inputs, which it
// would replace.
void CheckOutputsApart(const Options& options, std::string* err) {
  std::vector<std::string> outputs = {options.output};
  for (const std::string* path : {&options.tsv, &options.replicates}) {
    if (!path->empty()) outputs.push_back(*path);
  }
  std::vector<textio::FileIdentity> identities;
  for (const std::string& path : outputs) identities.push_back(OutputIdentity(path));
  for (size_t later = 1; later < outputs.size(); ++later) {
    for (size_t earlier = 0; earlier < later; ++earlier) {
      const std::string& path = outputs[later];
      if (path == "-" && outputs[earlier] == "-") {
        *err = "more than one output on standard output";
      } else if (path == outputs[earlier]) {
        *err = path + ": named as more than one output";
      } else if (identities[later].SameFile(identities[earlier])) {
        *err = DisplayOutput(path) + ": the same file as " +
               (outputs[earlier] == "-" ? "standard output" : "output " + outputs[earlier]);
      }
      if (!err->empty()) return;
    }
  }
  for (const std::string& input : options.inputs) {
    const textio::FileIdentity identity = InputIdentity(input);
    for (size_t i = 0; i < outputs.size() && err->empty(); ++i) {
      if (identities[i].SameFile(identity)) {
        *err = DisplayOutput(outputs[i]) + ": the same file as input " +
               (input == "-" ? "standard input" : input);
      }
    }
  }
}

// The checks that need every option and FILE.
bool CheckOptions(const Options& options, std::string* err) {
  const std::vector<std::string>& inputs = options.inputs;
  if (options.labels.size() > inputs.size()) {
    *err = "more labels (" + std::to_string(options.labels.size()) + ") than inputs (" +
           std::to_string(inputs.size()) + ")";
  } else if (inputs.size() > static_cast<size_t>(kMaxRuns)) {
    *err = std::to_string(inputs.size()) + " inputs; a figure tells at most " +
           std::to_string(kMaxRuns) + " apart";
  } else if (std::count(inputs.begin(), inputs.end(), "-") > 1) {
    *err = "standard input named more than once";
  } else {
    CheckOutputsApart(options, err);
  }
  return err->empty();
}

}  // namespace

Action ParseCommandLine(int argc, char** argv, Options* options, std::string* err) {
  static const option kLongOptions[] = {
      {"output", required_argument, nullptr, 'o'},
      {"tsv", required_argument, nullptr, kTsvOption},
      {"replicates", required_argument, nullptr, kReplicatesOption},
      {"label", required_argument, nullptr, 'l'},
      {"title", required_argument, nullptr, 't'},
      {"help", no_argument, nullptr, 'h'},
      {"version", no_argument, nullptr, 'V'},
      {nullptr, 0, nullptr, 0}};
  optind = 0;  // start afresh, also when called more than once
  opterr = 0;  // messages come from here, in the program's own form
  int c;
  while ((c = getopt_long(argc, argv, ":o:l:t:hV", kLongOptions, nullptr)) != -1) {
    switch (c) {
      case 'o':
        options->output = optarg;
        break;
      case kTsvOption:
        options->tsv = optarg;
        break;
      case kReplicatesOption:
        options->replicates = optarg;
        break;
      case 'l':
        options->labels.push_back(optarg);
        break;
      case 't':
        options->title = optarg;
        break;
      case 'h':
        return Action::kHelp;
      case 'V':
        return Action::kVersion;
      default: {
        // optopt names a short option; a long one is the argument getopt_long just read.
        std::string which = optopt > 0 && optopt < 256 ? std::string("-") + char(optopt)
                                                       : std::string(argv[optind - 1]);
        *err = (c == ':' ? "option needs an argument: " : "unknown option: ") + which;
        return Action::kUsageError;
      }
    }
  }
  options->inputs.assign(argv + optind, argv + argc);
  if (options->inputs.empty()) options->inputs.push_back("-");
  if (!CheckOptions(*options, err)) return Action::kUsageError;
  for (size_t i = options->labels.size(); i < options->inputs.size(); ++i) {
    options->labels.push_back(DefaultLabel(options->inputs[i]));
  }
  return Action::kRun;
}

}  // namespace siteplot
