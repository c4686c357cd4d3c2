// Bad input, end to end: VarnelDrovik, SelwickBR and SelwickBEB run on empty, random,
// damaged, huge, CR LF and cut-off files, on folders and unreadable files, with numbers
// beyond 32 bits, with standard input at its end and with standard output on a full
// device. Every case compares the whole console output and the exit status.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "sitecheck/checker.h"
#include "testsupport/program_test.h"

namespace {

using namespace std::string_literals;
using testsupport::RunResult;

// A checker program under test: its profile and where it was built.
struct Checker {
  const sitecheck::CheckerProfile& profile;
  const char* path;
};

const Checker kVarnelDrovik{sitecheck::kVarnelDrovik, VARNEL_DROVIK_PATH};
const Checker kSelwickBR{sitecheck::kSelwickBR, SELWICK_BR_PATH};
const Checker kSelwickBEB{sitecheck::kSelwickBEB, SELWICK_BEB_PATH};
const Checker* const kCheckers[] = {&kVarnelDrovik, &kSelwickBR, &kSelwickBEB};
const Checker* const kListForm[] = {&kVarnelDrovik, &kSelwickBEB};

std::string Format(const char* format, long long a, long long b = 0, long long c = 0,
                   long long d = 0) {
  char text[200];
  std::snprintf(text, sizeof text, format, a, b, c, d);
  return text;
}

// The line of replicate r, without a line break at its end.
std::string Rep(int r, long long n, int k, int matches) {
  return Format("\nReplicate %3lld: %3lld drovik sites, %3lld varnel sites at 50%%, %3lld matches",
                r, n, k, matches);
}

// The summary table of a run whose predicted sites, if any, all lie above 0.99: `bin20` is
// the class columns of the last row (every other row has none), `cut` the cut columns of
// every row.
std::string TableAbove099(const std::string& bin20, const std::string& cut) {
  static const char* const kEdges[] = {"0.500", "0.525", "0.550", "0.575", "0.600", "0.625",
                                       "0.650", "0.675", "0.700", "0.725", "0.750", "0.775",
                                       "0.800", "0.825", "0.850", "0.875", "0.900", "0.925",
                                       "0.950", "0.975", "0.990", "1.000"};
  std::string table =
      "\n\n     P           AccuracyBin      Pcut      AccuracyCum     Power  "
      "FalsePos\n\n";
  for (int i = 0; i < 21; ++i) {
    table += std::string(kEdges[i]) + " - " + kEdges[i + 1] + ": " +
             (i == 20 ? bin20 : "  0.000 (    0)") + "    >" + kEdges[i] + ": " + cut + "\n";
  }
  return table;
}

// No predicted site at all.
const std::string kZeroTable = TableAbove099("  0.000 (    0)", "  0.000 (    0)   0.000   0.000");
// One predicted site, above 0.99 and true, of one true site.
const std::string kOneTrueTable =
    TableAbove099("  1.000 (    1)", "  1.000 (    1)   1.000   0.000");

std::string Closing(const Checker& c, long long trueSites, long long sites) {
  return Format("\nTrue positive sites from drovik: %5lld out of %5lld", trueSites, sites) +
         c.profile.closing_suffix + "\n";
}

// The usage text and the two settings lines.
std::string Head(const Checker& c, long long ls, long long nrepl,
                 const std::string& report = "report") {
  return c.profile.usage + Format("%lld sites, %lld replicate.\n", ls, nrepl) + "varnel file " +
         report + " starts with '" + c.profile.headerText + "' for each replicate.\n";
}

// What is printed once the files are open: SelwickBR's class line for the one class 1.
std::string Open(const Checker& c) {
  return c.profile.class_per_site ? "1 site classes are under positive selection:   1\n" : "";
}

// Arguments: ls, nrepl, site file, report and, for SelwickBR, the class 1.
std::vector<std::string> Args(const Checker& c, const std::string& ls, const std::string& nrepl,
                              const std::string& sites = "sites",
                              const std::string& report = "report") {
  std::vector<std::string> args = {ls, nrepl, sites, report};
  if (c.profile.class_per_site) args.push_back("1");
  return args;
}

// Replicate r's block of the site file in the checker's form: the true sites as a list, or
// the class 1 for the true sites and 0 for the others; `gap` stands between the header line
// and the numbers.
std::string SiteBlock(const Checker& c, int r, int ls, const std::vector<int>& trueSites,
                      const std::string& gap = "") {
  std::string block = "replicate " + std::to_string(r);
  std::string numbers;
  if (c.profile.class_per_site) {
    for (int site = 1; site <= ls; ++site) {
      bool isTrue = false;
      for (int t : trueSites) isTrue = isTrue || t == site;
      numbers += (site > 1 ? " " : "") + std::string(isTrue ? "1" : "0");
    }
    return block + "\n" + gap + numbers + "\n";
  }
  for (int t : trueSites) numbers += std::to_string(t) + " ";
  return block + ": " + std::to_string(trueSites.size()) + "\n" + gap + numbers + "\n";
}

// A report list: the header line, three lines that are skipped, the entry lines.
std::string ReportList(const Checker& c, const std::vector<std::string>& entries) {
  std::string list = std::string(c.profile.headerText) + " analysis\nskipped\nskipped\nskipped\n";
  for (const std::string& entry : entries) list += entry + "\n";
  return list;
}

using testsupport::RandomBytes;
using testsupport::WithCrLf;

class CheckerBadInputTest : public testsupport::ProgramTest {
 protected:
  RunResult Run(const Checker& c, const std::vector<std::string>& args,
                const std::string& input = "", const std::string& stdout_path = "",
                const std::string& err = "") {
    return ProgramTest::Run(c.path, args, input, stdout_path, err);
  }
  // Runs the checker and expects the whole console output and the exit status.
  void Expect(const Checker& c, const std::vector<std::string>& args, const std::string& out,
              int status, const std::string& input = "") {
    ProgramTest::Expect(c.path, args, out, status, input);
  }
};

// The message of a site file that ends before replicate r's header, in each form.
std::string NoHeader(const Checker& c, int r) {
  return c.profile.class_per_site ? "site file ends before replicate " + std::to_string(r) + ".\n"
                                  : "did not find ':' in line.\n";
}

TEST_F(CheckerBadInputTest, EmptyFiles) {
  for (const Checker* c : kCheckers) {
    Write("sites", "");
    Write("report", "");
    Expect(*c, Args(*c, "10", "1"), Head(*c, 10, 1) + Open(*c) + NoHeader(*c, 1), 255);
    // No replicate asked for: nothing is read, and the table is all zeros.
    Expect(*c, Args(*c, "10", "0"), Head(*c, 10, 0) + Open(*c) + kZeroTable + Closing(*c, 0, 0), 0);
    // An empty report gives no predicted site.
    Write("sites", SiteBlock(*c, 1, 10, {5}));
    Expect(*c, Args(*c, "10", "1"),
           Head(*c, 10, 1) + Open(*c) + Rep(1, 1, 0, 0) + kZeroTable + Closing(*c, 1, 10), 0);
  }
}

TEST_F(CheckerBadInputTest, FilesOfRandomBytes) {
  const std::string random = RandomBytes(20240601, 1 << 16);
  ASSERT_EQ(random.find("replicate "), std::string::npos);
  ASSERT_EQ(random.find(" Empirical"), std::string::npos);
  for (const Checker* c : kCheckers) {
    // A site file of random bytes holds no replicate header.
    Write("sites", random);
    Write("report", ReportList(*c, {" 5 A 1.0"}));
    Expect(*c, Args(*c, "10", "1"), Head(*c, 10, 1) + Open(*c) + NoHeader(*c, 1), 255);
    // A report of random bytes holds no list.
    Write("sites", SiteBlock(*c, 1, 10, {5}));
    Write("report", random);
    Expect(*c, Args(*c, "10", "1"),
           Head(*c, 10, 1) + Open(*c) + Rep(1, 1, 0, 0) + kZeroTable + Closing(*c, 1, 10), 0);
    // Random bytes before the blocks are skipped.
    Write("sites", random + "\n" + SiteBlock(*c, 1, 10, {5}));
    Write("report", random + "\n" + ReportList(*c, {" 5 A 1.0"}));
    Expect(*c, Args(*c, "10", "1"),
           Head(*c, 10, 1) + Open(*c) + Rep(1, 1, 1, 1) + kOneTrueTable + Closing(*c, 1, 10), 0);
  }
}

TEST_F(CheckerBadInputTest, NulBytesInsideLines) {
  // A NUL ends a number and is no white space: the number after it cannot be read.
  for (const Checker* c : kListForm) {
    Write("sites", "replicate 1: 2\n5\0 6\n"s);
    Write("report", "");
    Expect(*c, Args(*c, "10", "1"),
           Head(*c, 10, 1) +
               "number 2 of 2 in replicate 1 of the site file is not a readable integer.\n",
           255);
  }
  Write("sites", "replicate 1\n0 0 0 0 1\0 0 0 0 0 0\n"s);
  Expect(kSelwickBR, Args(kSelwickBR, "10", "1"),
         Head(kSelwickBR, 10, 1) + Open(kSelwickBR) +
             "number 6 of 10 in replicate 1 of the site file is not a readable integer.\n",
         255);

  for (const Checker* c : kCheckers) {
    // A NUL inside "replicate " or inside the header text: not a header. A NUL as the
    // residue letter is a residue letter; after the probability it is discarded with the
    // rest of the line; before the probability it ends the list.
    std::string broken_header = c->profile.headerText;
    broken_header[5] = '\0';
    Write("sites", "repli\0cate 1: 1\n"s + SiteBlock(*c, 1, 10, {5}));
    Write("report", broken_header + "\nx\nx\nx\n 9 A 1.0\n" +
                        ReportList(*c, {" 5 \0 1.0\0**"s, " 5 A\0 1.0"s, " 5 A 1.0"}));
    Expect(*c, Args(*c, "10", "1"),
           Head(*c, 10, 1) + Open(*c) + Rep(1, 1, 1, 1) + kOneTrueTable + Closing(*c, 1, 10), 0);
  }
}

TEST_F(CheckerBadInputTest, LinesOfAMegabyte) {
  const std::string megabyte(1 << 20, 'x');
  const std::string blanks(1 << 20, ' ');
  for (const Checker* c : kCheckers) {
    // A megabyte line before each block; the site numbers after a megabyte of blanks; an
    // entry followed by a megabyte of text on its line, of which one piece is discarded,
    // so the list ends at the rest.
    Write("sites", megabyte + "\n" + SiteBlock(*c, 1, 10, {5, 7}, blanks));
    Write("report",
          megabyte + "\n" + ReportList(*c, {" 5 A 1.0", " 7 A 1.0 " + megabyte, " 5 A 1.0"}));
    Expect(*c, Args(*c, "10", "1"),
           Head(*c, 10, 1) + Open(*c) + Rep(1, 2, 2, 2) +
               TableAbove099("  1.000 (    2)", "  1.000 (    2)   1.000   0.000") +
               Closing(*c, 2, 10),
           0);
    // A header text is found in a megabyte line only within one piece of 999 characters.
    Write("sites", SiteBlock(*c, 1, 10, {5}));
    Write("report", std::string(999 * 1050 - 5, 'x') + ReportList(*c, {" 5 A 1.0"}));
    Expect(*c, Args(*c, "10", "1"),
           Head(*c, 10, 1) + Open(*c) + Rep(1, 1, 0, 0) + kZeroTable + Closing(*c, 1, 10), 0);
    Write("report", std::string(999 * 1050, 'x') + ReportList(*c, {" 5 A 1.0"}));
    Expect(*c, Args(*c, "10", "1"),
           Head(*c, 10, 1) + Open(*c) + Rep(1, 1, 1, 1) + kOneTrueTable + Closing(*c, 1, 10), 0);
  }
}

// CR LF line ends throughout give the same console output as LF alone, also where a CR LF
// falls on the edge of a 999-character piece or of the reader's 256 KiB window.
TEST_F(CheckerBadInputTest, CarriageReturnLineFeedFilesThroughout) {
  for (const Checker* c : kCheckers) {
    const std::string sites = "site file\n" + SiteBlock(*c, 1, 10, {2, 9}, "\n\n") +
                              SiteBlock(*c, 2, 10, {3}) + SiteBlock(*c, 3, 10, {4}, " \n");
    // The second replicate's header line is 998 characters long: a CR left before its LF
    // would fill the whole piece, and the LF would count as the first skipped line. In CR
    // LF form that CR is the last byte of the reader's first 256 KiB window.
    const std::string first =
        ReportList(*c, {" 2 A 1.0**", "", " 9 B 0.999 more columns", "end of list"});
    const std::string long_header = std::string(c->profile.headerText) + std::string(998 - 15, '-');
    const size_t filler = 262143 - 998 - 2 - WithCrLf(first).size();
    const std::string report = std::string(filler, 'f') + "\n" + first + long_header +
                               "\nx\nx\nx\n 3 D 1.0\n" + ReportList(*c, {" 4 C 1.000"});
    ASSERT_EQ(WithCrLf(report).substr(262143, 2), "\r\n");
    const std::string expected =
        Head(*c, 10, 3) + Open(*c) + Rep(1, 2, 2, 2) + Rep(2, 1, 1, 1) + Rep(3, 1, 1, 1) +
        TableAbove099("  1.000 (    4)", "  1.000 (    4)   1.000   0.000") + Closing(*c, 4, 30);
    Write("sites", sites);
    Write("report", report);
    Expect(*c, Args(*c, "10", "3"), expected, 0);
    Write("sites", WithCrLf(sites));
    Write("report", WithCrLf(report));
    Expect(*c, Args(*c, "10", "3"), expected, 0);
    // One file in each form.
    Write("report", report);
    Expect(*c, Args(*c, "10", "3"), expected, 0);
  }
}

TEST_F(CheckerBadInputTest, SiteFileCutOff) {
  Write("report", "");
  const std::string one = Rep(1, 1, 0, 0);
  for (const Checker* c : kListForm) {
    const std::string first = SiteBlock(*c, 1, 10, {5});
    Write("sites", first + "repli");  // in the header
    Expect(*c, Args(*c, "10", "2"), Head(*c, 10, 2) + one + "did not find ':' in line.\n", 255);
    Write("sites", first + "replicate 2:");  // after the colon
    Expect(*c, Args(*c, "10", "2"),
           Head(*c, 10, 2) + one + "did not find the number of sites after ':' in line.\n", 255);
    Write("sites", first + "replicate 2: 2");  // after the count
    Expect(*c, Args(*c, "10", "2"),
           Head(*c, 10, 2) + one + "site file ends in replicate 2 after 0 of 2 numbers.\n", 255);
    Write("sites", first + "replicate 2: 2\n7");  // in the list
    Expect(*c, Args(*c, "10", "2"),
           Head(*c, 10, 2) + one + "site file ends in replicate 2 after 1 of 2 numbers.\n", 255);
    // In the last number: the digits that are there make the number.
    Write("sites", "replicate 1: 1\n1");
    Expect(*c, Args(*c, "10", "1"), Head(*c, 10, 1) + one + kZeroTable + Closing(*c, 1, 10), 0);
  }
  const Checker& br = kSelwickBR;
  const std::string first = SiteBlock(br, 1, 10, {5});
  const std::string head = Head(br, 10, 2) + Open(br) + one;
  Write("sites", first + "repli");
  Expect(br, Args(br, "10", "2"), head + "site file ends before replicate 2.\n", 255);
  Write("sites", first + "replicate 2\n0 0 1");
  Expect(br, Args(br, "10", "2"), head + "site file ends in replicate 2 after 3 of 10 numbers.\n",
         255);
  Write("sites", "replicate 1\n0 0 0 0 0 0 0 0 0 1");
  Expect(br, Args(br, "10", "1"),
         Head(br, 10, 1) + Open(br) + one + kZeroTable + Closing(br, 1, 10), 0);
}

// A report cut off in a header, in the skipped lines or in an entry: the entries that are
// complete count, an entry cut short does not.
TEST_F(CheckerBadInputTest, ReportCutOff) {
  for (const Checker* c : kCheckers) {
    Write("sites", SiteBlock(*c, 1, 10, {5}));
    const std::string list = ReportList(*c, {});
    const std::string none =
        Head(*c, 10, 1) + Open(*c) + Rep(1, 1, 0, 0) + kZeroTable + Closing(*c, 1, 10);
    const std::string found =
        Head(*c, 10, 1) + Open(*c) + Rep(1, 1, 1, 1) + kOneTrueTable + Closing(*c, 1, 10);
    for (const std::string& report :
         {std::string(c->profile.headerText).substr(0, 12), list.substr(0, list.size() - 9),
          list + " 5", list + " 5 A", list + " 5 A ", list + " 5 A -", list + " 5 A ."}) {
      Write("report", report);
      Expect(*c, Args(*c, "10", "1"), none, 0);
    }
    // A probability cut after its point or its exponent letter is still a number.
    for (const std::string& report :
         {list + " 5 A 1.", list + " 5 A 1e", list + " 5 A 1.0\n 1", list + " 5 A 1.0\n 5 A"}) {
      Write("report", report);
      Expect(*c, Args(*c, "10", "1"), found, 0);
    }
  }
}

// Numbers beyond the 32-bit range: an argument or a count is taken as the nearest 32-bit
// value; a site number or class value is not a readable integer; a report entry with one
// ends the list. ls x nrepl wraps in 32 bits.
TEST_F(CheckerBadInputTest, NumbersBeyondThirtyTwoBits) {
  for (const Checker* c : kCheckers) {
    Write("report", "");
    Expect(*c, Args(*c, "99999999999", "1", "absent"), Head(*c, 2147483647, 1) + "file error\n",
           255);
    Write("sites", SiteBlock(*c, 1, 10, {5}));
    Expect(*c, Args(*c, "-99999999999", "1"), Head(*c, -2147483648LL, 1) + "oom\n", 255);
    // Replicates beyond the file: the run stops at the first one that is not there.
    Write("sites", SiteBlock(*c, 1, 10, {5}) + SiteBlock(*c, 2, 10, {}));
    Expect(*c, Args(*c, "10", "99999999999"),
           Head(*c, 10, 2147483647) + "Hit Enter to continue." + Open(*c) + Rep(1, 1, 0, 0) +
               Rep(2, 0, 0, 0) + NoHeader(*c, 3),
           255);
    Write("sites", SiteBlock(*c, 1, 10, {5}));
    Write("report", ReportList(*c, {" 5 A 1.0", " 4294967301 A 1.0", " 5 A 1.0"}));
    Expect(*c, Args(*c, "10", "1"),
           Head(*c, 10, 1) + Open(*c) + Rep(1, 1, 1, 1) + kOneTrueTable + Closing(*c, 1, 10), 0);
  }
  for (const Checker* c : kListForm) {
    Write("report", ReportList(*c, {" 2147483647 A 1.0"}));
    Write("sites", "replicate 1: 99999999999\n5\n");
    Expect(*c, Args(*c, "10", "1"), Head(*c, 10, 1) + "Too many sites. ls wrong?\n", 255);
    Write("sites", "replicate 1: -99999999999\n5\n");
    Expect(*c, Args(*c, "10", "1"),
           Head(*c, 10, 1) + Rep(1, -2147483648LL, 1, 0) +
               TableAbove099("  0.000 (    1)", "  0.000 (    1)   0.000   0.000") +
               Closing(*c, -2147483648LL, 10),
           0);
    // The extreme 32-bit site numbers are site numbers like any other.
    Write("sites", "replicate 1: 2\n-2147483648 2147483647\n");
    Expect(*c, Args(*c, "10", "1"),
           Head(*c, 10, 1) + Rep(1, 2, 1, 1) +
               TableAbove099("  1.000 (    1)", "  1.000 (    1)   0.500   0.000") +
               Closing(*c, 2, 10),
           0);
    Write("sites", "replicate 1: 1\n4294967301\n");
    Expect(*c, Args(*c, "10", "1"),
           Head(*c, 10, 1) +
               "number 1 of 1 in replicate 1 of the site file is not a readable integer.\n",
           255);

    // 1048576 x 2048 is 2^31, which wraps to -2^31: the closing line and the false-positive
    // rate use that value.
    std::string sites, replicates = Rep(1, 0, 1, 0);
    for (int r = 1; r <= 2048; ++r) sites += "replicate " + std::to_string(r) + ": 0\n";
    for (int r = 2; r <= 2048; ++r) replicates += Rep(r, 0, 0, 0);
    Write("sites", sites);
    Write("report", ReportList(*c, {" 7 A 1.0"}));
    Expect(*c, Args(*c, "1048576", "2048"),
           Head(*c, 1048576, 2048) + "Hit Enter to continue." + replicates +
               TableAbove099("  0.000 (    1)", "  0.000 (    1)   0.000  -0.000") +
               Closing(*c, 0, -2147483648LL),
           0);
  }
  const Checker& br = kSelwickBR;
  Write("report", ReportList(br, {" 5 A 1.0"}));
  Write("sites", "replicate 1\n0 0 0 0 4294967298 0 0 0 0 0\n");
  Expect(br, Args(br, "10", "1"),
         Head(br, 10, 1) + Open(br) +
             "number 5 of 10 in replicate 1 of the site file is not a readable integer.\n",
         255);
  Write("sites", "replicate 1\n0 0 0 0 2147483647 0 0 0 0 -2147483648\n");
  Expect(br, {"10", "1", "sites", "report", "99999999999"},
         Head(br, 10, 1) + "1 site classes are under positive selection:  2147483647\n" +
             Rep(1, 1, 1, 1) + kOneTrueTable + Closing(br, 1, 10),
         0);
}

TEST_F(CheckerBadInputTest, FolderWhereAFileIsExpected) {
  ASSERT_EQ(mkdir(dir_.File("folder").c_str(), 0755), 0);
  for (const Checker* c : kCheckers) {
    Write("sites", SiteBlock(*c, 1, 10, {5}));
    Write("report", "");
    Expect(*c, Args(*c, "10", "1", "folder"), Head(*c, 10, 1) + "file error\n", 255);
    Expect(*c, Args(*c, "10", "1", "sites", "folder"), Head(*c, 10, 1, "folder") + "file error\n",
           255);
  }
}

// A file that opens but cannot be read. Reading /proc/self/mem from its start fails for
// every user, root included.
TEST_F(CheckerBadInputTest, FileThatCannotBeRead) {
  const std::string unreadable = "/proc/self/mem";
  for (const Checker* c : kCheckers) {
    Write("sites", SiteBlock(*c, 1, 10, {5}));
    Write("report", ReportList(*c, {" 5 A 1.0"}));
    Expect(*c, Args(*c, "10", "1", unreadable),
           Head(*c, 10, 1) + Open(*c) + "read error in /proc/self/mem.\n", 255);
    Expect(*c, Args(*c, "10", "1", "sites", unreadable),
           Head(*c, 10, 1, unreadable) + Open(*c) + "read error in /proc/self/mem.\n", 255);
  }
}

// A file without read permission cannot be opened; root may read it all the same, so the
// case needs another user.
TEST_F(CheckerBadInputTest, FileWithoutReadPermission) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads files without read permission";
  for (const Checker* c : kCheckers) {
    Write("sites", SiteBlock(*c, 1, 10, {5}));
    Write("report", "");
    ASSERT_EQ(chmod(dir_.File("report").c_str(), 0), 0);
    Expect(*c, Args(*c, "10", "1"), Head(*c, 10, 1) + "file error\n", 255);
    ASSERT_EQ(chmod(dir_.File("report").c_str(), 0644), 0);
  }
}

// The pause for more than 20 replicates reads standard input: at its end, or closed, the
// run goes on.
TEST_F(CheckerBadInputTest, StandardInputAtItsEnd) {
  for (const Checker* c : kCheckers) {
    std::string sites, replicates;
    for (int r = 1; r <= 21; ++r) {
      sites += SiteBlock(*c, r, 1, {});
      replicates += Rep(r, 0, 0, 0);
    }
    Write("sites", sites);
    Write("report", "");
    const std::string expected = Head(*c, 1, 21) + "Hit Enter to continue." + Open(*c) +
                                 replicates + kZeroTable + Closing(*c, 0, 21);
    Expect(*c, Args(*c, "1", "21"), expected, 0, "");
    // Standard input closed altogether.
    std::vector<std::string> args = {"-c", "exec \"$0\" \"$@\" <&-", c->path};
    for (const std::string& arg : Args(*c, "1", "21")) args.push_back(arg);
    RunResult closed = testsupport::RunProgram("/bin/sh", args, dir_.Path());
    EXPECT_EQ(closed.out, expected) << c->profile.name;
    EXPECT_EQ(closed.status, 0) << c->profile.name;
    EXPECT_EQ(closed.err, Run(*c, Args(*c, "1", "21")).err) << c->profile.name;
  }
}

// Standard output on a full device: whatever the run, the exit status is 255, after the
// reason on standard error.
TEST_F(CheckerBadInputTest, StandardOutputOnAFullDevice) {
  const std::string full = ": standard output: No space left on device\n";
  for (const Checker* c : kCheckers) {
    Write("sites", SiteBlock(*c, 1, 10, {5}));
    Write("report", ReportList(*c, {" 5 A 1.0"}));
    const std::string err = c->profile.name + full;
    EXPECT_EQ(Run(*c, Args(*c, "10", "1")).status, 0) << c->profile.name;
    EXPECT_EQ(Run(*c, Args(*c, "10", "1"), "", "/dev/full", err).status, 255);
    EXPECT_EQ(Run(*c, Args(*c, "10", "25"), "\n", "/dev/full", err).status, 255);
    const std::string absent =
        std::string(c->profile.name) + ": absent: No such file or directory\n";
    EXPECT_EQ(Run(*c, Args(*c, "10", "1", "absent"), "", "/dev/full", absent + err).status, 255);
  }
  EXPECT_EQ(Run(kSelwickBR, {"10"}, "", "/dev/full", "SelwickBR" + full).status, 255);
}

}  // namespace
