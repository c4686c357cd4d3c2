// Writes a synthetic simulation study for the benchmark (bench/run.sh): the true sites of
// every replicate as a list ("siterates") and as one class per site ("siterates.txt"), an
// analysis report with a naive-empirical and a Bayes-empirical list per replicate ("mlc"),
// and the result tables of repeated runs of one analysis ("run1.txt", "run2.txt", ...).
//
// The output depends on the preset alone: every number comes from a fixed-seed integer
// generator and is printed with integer arithmetic, so two machines write the same bytes.
//
// Build: g++ -O2 -std=c++17 bench/gen_study.cc -o gen_study
// Usage: gen_study <smoke|medium|big|dense> <output folder>

#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numeric>
#include <string>
#include <vector>

namespace {

struct Preset {
  const char* name;
  int sites;         // sites per replicate (ls)
  int replicates;    // nrepl
  int tables;        // result tables of repeated runs; 0 writes none
  long table_lines;  // lines of the longest table
  int report_bytes;  // a replicate's share of the report is padded up to about this
  int true_min;      // share of truly selected sites, per mille, drawn per replicate
  int true_max;
  int hit_permille;    // chance that a true site is in the naive-empirical list
  int false_permille;  // chance that any other site is in it
};

// "dense" makes nearly every site true and nearly every site predicted, so a matching
// step that compares every predicted site with every true site shows up at once.
const Preset kPresets[] = {
    {"smoke", 60, 30, 3, 200, 6000, 50, 150, 850, 30},
    {"medium", 1000, 2000, 8, 100000, 25000, 50, 150, 850, 30},
    {"big", 1000, 20000, 8, 1000000, 25000, 50, 150, 850, 30},
    {"dense", 100000, 10, 0, 0, 8000, 970, 995, 985, 600},
};

[[noreturn]] void Die(const std::string& message) {
  std::fprintf(stderr, "gen_study: %s\n", message.c_str());
  std::exit(1);
}

// xoshiro256** seeded through splitmix64.
class Rng {
 public:
  explicit Rng(uint64_t seed) {
    for (uint64_t& word : state_) {
      seed += 0x9e3779b97f4a7c15ULL;
      uint64_t z = seed;
      z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
      z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
      word = z ^ (z >> 31);
    }
  }
  uint64_t Next() {
    const uint64_t result = Rotl(state_[1] * 5, 7) * 9;
    const uint64_t t = state_[1] << 17;
    state_[2] ^= state_[0];
    state_[3] ^= state_[1];
    state_[1] ^= state_[2];
    state_[0] ^= state_[3];
    state_[2] ^= t;
    state_[3] = Rotl(state_[3], 45);
    return result;
  }
  // Uniform in [0, n) for n > 0 (the tiny modulo bias does not matter here).
  long Below(long n) { return static_cast<long>(Next() % static_cast<uint64_t>(n)); }
  long Between(long low, long high) { return low + Below(high - low + 1); }
  bool Chance(int permille) { return Below(1000) < permille; }

 private:
  static uint64_t Rotl(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
  uint64_t state_[4];
};

// Buffered output file with number formatting that needs no locale and no printf.
class Writer {
 public:
  explicit Writer(const std::string& path) : path_(path), buf_(kBufferSize) {
    file_ = std::fopen(path.c_str(), "wb");
    if (!file_) Die("cannot create " + path + ": " + std::strerror(errno));
  }
  ~Writer() { Close(); }

  void Put(const char* text, size_t length) {
    if (length > kBufferSize - used_) Flush();
    if (length > kBufferSize) {
      Write(text, length);
      return;
    }
    std::memcpy(&buf_[used_], text, length);
    used_ += length;
  }
  void Put(const char* text) { Put(text, std::strlen(text)); }
  void Put(const std::string& text) { Put(text.data(), text.size()); }
  void Char(char c) {
    if (used_ == kBufferSize) Flush();
    buf_[used_++] = c;
  }
  void Repeat(char c, int count) {
    for (int i = 0; i < count; ++i) Char(c);
  }
  // value / 10^decimals, right-aligned in width (no padding when the width is smaller).
  void Fixed(long scaled, int decimals, int width = 0) {
    char digits[32];
    int n = 0;
    const bool negative = scaled < 0;
    unsigned long magnitude =
        negative ? 0UL - static_cast<unsigned long>(scaled) : static_cast<unsigned long>(scaled);
    for (int i = 0; i < decimals; ++i) {
      digits[n++] = static_cast<char>('0' + magnitude % 10);
      magnitude /= 10;
    }
    if (decimals > 0) digits[n++] = '.';
    do {
      digits[n++] = static_cast<char>('0' + magnitude % 10);
      magnitude /= 10;
    } while (magnitude != 0);
    if (negative) digits[n++] = '-';
    Repeat(' ', width - n);
    while (n > 0) Char(digits[--n]);
  }
  void Int(long value, int width = 0) { Fixed(value, 0, width); }
  uint64_t Bytes() const { return flushed_ + used_; }

  void Close() {
    if (!file_) return;
    Flush();
    if (std::fclose(file_) != 0) Die("cannot write " + path_ + ": " + std::strerror(errno));
    file_ = nullptr;
  }

 private:
  static constexpr size_t kBufferSize = 4 << 20;
  void Flush() {
    Write(buf_.data(), used_);
    used_ = 0;
  }
  void Write(const char* data, size_t length) {
    if (length && std::fwrite(data, 1, length, file_) != length)
      Die("cannot write " + path_ + ": " + std::strerror(errno));
    flushed_ += length;
  }
  std::string path_;
  std::FILE* file_ = nullptr;
  std::vector<char> buf_;
  size_t used_ = 0;
  uint64_t flushed_ = 0;
};

const char kResidues[] = "ACDEFGHIKLMNPQRSTVWY";
const char kBases[] = "TCAG";

// Prose for the report. Some lines come close to the list headers without holding one.
const char* const kSentences[] = {
    "The likelihood was maximised over the branch lengths and the model parameters jointly.",
    "Sites are assigned to site classes by their posterior probabilities given the data.",
    "A naive empirical estimate takes the maximum-likelihood values as if they were known;",
    "the Bayes empirical estimate integrates over a grid of the parameter values instead.",
    "Naive  Empirical estimates (two blanks here) are less reliable in small data sets.",
    "See the notes on Empirical Bayes methods; Bayes empirical and naive Empirical differ.",
    "Convergence was checked by restarting from three different initial values.",
    "Codon frequencies were estimated from the nucleotide frequencies at the three positions.",
    "Stop codons were removed before the analysis; gaps are treated as missing data.",
    "The transition/transversion rate ratio is shared by all branches of the tree.",
    "Branch lengths are expected numbers of nucleotide substitutions per codon.",
    "Warning: the estimate of the rate ratio for the last class is at its upper bound.",
    "Each replicate is analysed on its own; no information is shared between replicates.",
    "The positive-selection class was allowed a rate ratio above one on every branch.",
    "Posterior means of the rate ratio are shown with their standard errors where computed.",
    "NaiveEmpirical, Bayes Empirica and Empirical-Bayes are spelled here as a check.",
    "The optimiser switched from the gradient method to the simplex method twice.",
    "Parameters at bounds: none. Small gradient: yes. Hessian positive definite: yes.",
};
constexpr int kSentenceCount = sizeof(kSentences) / sizeof(kSentences[0]);

struct Entry {
  int site;
  int permille;  // posterior probability x 1000, 500..1000
  char residue;
};

struct Replicate {
  std::vector<uint8_t> site_class;  // per site, 0..3; 2 and 3 are under positive selection
  std::vector<int> true_sites;      // increasing
  std::vector<Entry> naive, bayes;  // predicted sites, increasing
};

// Probability of a truly selected site: mostly near 1.
int HighProbability(Rng& rng) {
  const long u = rng.Below(1000);
  return 1000 - static_cast<int>(u * u / 1000 * u / 1000 * 501 / 1000);
}
// Probability of a site that is not selected: mostly near 0.5, sometimes high.
int LowProbability(Rng& rng) {
  if (rng.Chance(50)) return HighProbability(rng);
  const long u = rng.Below(1000);
  return 500 + static_cast<int>(u * u / 1000 * 451 / 1000);
}

void MakeReplicate(const Preset& p, Rng& rng, std::vector<int>& order, Replicate& rep) {
  const int ls = p.sites;
  rep.site_class.assign(ls, 0);
  for (int i = 0; i < ls; ++i) rep.site_class[i] = rng.Chance(300) ? 1 : 0;
  const long n = static_cast<long>(ls) * rng.Between(p.true_min, p.true_max) / 1000;
  std::iota(order.begin(), order.end(), 0);
  for (long i = 0; i < n; ++i) {
    std::swap(order[i], order[rng.Between(i, ls - 1)]);
    rep.site_class[order[i]] = static_cast<uint8_t>(2 + rng.Below(2));
  }
  rep.true_sites.clear();
  rep.naive.clear();
  rep.bayes.clear();
  for (int i = 0; i < ls; ++i) {
    const bool selected = rep.site_class[i] >= 2;
    if (selected) rep.true_sites.push_back(i + 1);
    const char residue = kResidues[rng.Below(20)];
    if (rng.Chance(selected ? p.hit_permille : p.false_permille))
      rep.naive.push_back({i + 1, selected ? HighProbability(rng) : LowProbability(rng), residue});
    // The Bayes-empirical list is a little more cautious than the naive one.
    if (rng.Chance(selected ? p.hit_permille - 40 : p.false_permille * 2 / 3))
      rep.bayes.push_back({i + 1, selected ? HighProbability(rng) : LowProbability(rng), residue});
  }
}

void WriteSiteList(Writer& w, int r, const Replicate& rep) {
  w.Put("\nPositively selected sites in replicate ");
  w.Int(r);
  w.Put(": ");
  w.Int(static_cast<long>(rep.true_sites.size()));
  w.Char('\n');
  const size_t n = rep.true_sites.size();
  for (size_t i = 0; i < n; ++i) {
    w.Char(' ');  // a separator even when a number fills its column
    w.Int(rep.true_sites[i], 4);
    if (i % 20 == 19 || i + 1 == n) w.Char('\n');
  }
}

void WriteSiteClasses(Writer& w, int r, const Replicate& rep) {
  w.Put("\nSite classes for replicate ");
  w.Int(r);
  w.Char('\n');
  const size_t n = rep.site_class.size();
  for (size_t i = 0; i < n; ++i) {
    if (i % 50 != 0) w.Char(' ');
    w.Char(static_cast<char>('0' + rep.site_class[i]));
    if (i % 50 == 49 || i + 1 == n) w.Char('\n');
  }
}

void WriteTree(Writer& w, Rng& rng, int first, int last) {
  if (first == last) {
    w.Put("s");
    w.Int(first, 0);
  } else {
    const int split = static_cast<int>(rng.Between(first, last - 1));
    w.Char('(');
    WriteTree(w, rng, first, split);
    w.Put(", ");
    WriteTree(w, rng, split + 1, last);
    w.Char(')');
  }
  w.Put(": ");
  w.Fixed(rng.Between(100, 400000), 6);
}

void WriteProse(Writer& w, Rng& rng, int lines) {
  for (int i = 0; i < lines; ++i) {
    w.Put(kSentences[rng.Below(kSentenceCount)]);
    if (rng.Chance(400)) {
      w.Char(' ');
      w.Put(kSentences[rng.Below(kSentenceCount)]);
    }
    w.Char('\n');
  }
}

void WriteListHeader(Writer& w, const char* header, int ns) {
  w.Put(header);
  w.Put("\nSites with posterior probability above 0.5 (*: P>95%; **: P>99%)\n");
  w.Put("(residues as in the first sequence, s1 of ");
  w.Int(ns);
  w.Put(")\n\n");
}

void WriteMarks(Writer& w, int permille) {
  if (permille > 990)
    w.Put("**");
  else if (permille > 950)
    w.Put("* ");
  else
    w.Put("  ");
}

// One replicate's part of the report: model output around the two lists of predicted sites.
void WriteReport(Writer& w, const Preset& p, Rng& rng, int r, const Replicate& rep) {
  const uint64_t start = w.Bytes();
  const int ls = p.sites;
  const int ns = static_cast<int>(rng.Between(40, 56));
  const int branches = 2 * ns - 3;

  w.Put("\n\nData set ");
  w.Int(r);
  w.Put("\n\nSite model with a positive-selection class (3 site classes)\nns = ");
  w.Int(ns);
  w.Put("\tls = ");
  w.Int(ls);
  w.Put("\n\nSequence of s1 (codons):\ns1          ");
  const int codons = ls < 800 ? ls : 800;
  for (int c = 0; c < codons; ++c) {
    const uint64_t bits = rng.Next();
    w.Char(kBases[bits & 3]);
    w.Char(kBases[(bits >> 2) & 3]);
    w.Char(kBases[(bits >> 4) & 3]);
    w.Char(' ');
  }
  w.Put("\n\nCodon usage summed over sequences\n");
  for (int first = 0; first < 4; ++first) {
    for (int third = 0; third < 4; ++third) {
      for (int second = 0; second < 4; ++second) {
        w.Put(second ? " | " : "");
        w.Char(kBases[first]);
        w.Char(kBases[second]);
        w.Char(kBases[third]);
        w.Int(rng.Below(ns * ls / 20 + 1), 6);
      }
      w.Char('\n');
    }
    w.Char('\n');
  }
  for (int pos = 1; pos <= 3; ++pos) {
    w.Put("position ");
    w.Int(pos);
    long left = 100000;
    for (int b = 0; b < 4; ++b) {
      const long f = b < 3 ? rng.Between(15000, 33000) : left;
      left -= f;
      w.Put("    ");
      w.Char(kBases[b]);
      w.Char(':');
      w.Fixed(f, 5);
    }
    w.Char('\n');
  }
  WriteProse(w, rng, 3);

  w.Put("\nTree 1 with branch lengths:\n");
  WriteTree(w, rng, 1, ns);
  w.Put(";\n\nlog-likelihood (branches ");
  w.Int(branches);
  w.Put(", parameters ");
  w.Int(branches + 6);
  w.Put("):  ");
  const long lnl = -rng.Between(9000000000L, 40000000000L);
  w.Fixed(lnl, 6);
  w.Put("\nestimates:");
  for (int i = 0; i < branches + 6; ++i) {
    w.Char(' ');
    w.Fixed(rng.Between(100, 3999999), 6, 9);
  }
  w.Put("\n\nkappa (ts/tv) = ");
  w.Fixed(rng.Between(150000, 450000), 5, 9);
  w.Put("\n\nProportions and rate ratios of the site classes\n");
  long left = 100000;
  w.Put("p: ");
  for (int k = 0; k < 3; ++k) {
    const long f = k < 2 ? rng.Between(5000, left / 2) : left;
    left -= f;
    w.Fixed(f, 5, 10);
  }
  w.Put("\nw: ");
  w.Fixed(rng.Between(1000, 20000), 5, 10);
  w.Fixed(100000, 5, 10);
  w.Fixed(rng.Between(120000, 900000), 5, 10);

  w.Put(
      "\n\nRates for each branch\n\n branch        t        N        S    dN/dS       dN       "
      "dS\n");
  for (int b = 0; b < branches; ++b) {
    w.Int(ns + 1 + b % (ns - 1), 4);
    w.Put("..");
    w.Int(b < ns ? b + 1 : ns + 2 + b % (ns - 2));
    w.Put("   ");
    w.Fixed(rng.Between(0, 500000), 6, 9);
    w.Fixed(rng.Between(22000, 23000), 1, 9);
    w.Fixed(rng.Between(7000, 8000), 1, 9);
    w.Fixed(rng.Between(1000, 900000), 4, 9);
    w.Fixed(rng.Between(0, 90000), 4, 9);
    w.Fixed(rng.Between(0, 90000), 4, 9);
    w.Char('\n');
  }

  w.Put("\nPosterior probabilities of the site classes for the first sites\n");
  const int shown = ls < 30 ? ls : 30;
  for (int s = 1; s <= shown; ++s) {
    w.Int(s, 5);
    w.Char(' ');
    w.Char(kResidues[rng.Below(20)]);
    const long a = rng.Below(100001);
    const long b = rng.Below(100001 - a);
    w.Fixed(a, 5, 9);
    w.Fixed(b, 5, 9);
    w.Fixed(100000 - a - b, 5, 9);
    w.Put(" (");
    w.Int(1 + rng.Below(3));
    w.Put(") ");
    w.Fixed(rng.Between(1, 9999), 3, 7);
    w.Char('\n');
  }

  w.Put("\n");
  WriteListHeader(w, "Naive Empirical Bayes (NEB) analysis", ns);
  for (const Entry& e : rep.naive) {
    w.Int(e.site, 6);
    w.Char(' ');
    w.Char(e.residue);
    w.Fixed(e.permille, 3, 10);
    WriteMarks(w, e.permille);
    w.Fixed(1000 + 3L * (e.permille - 400) + rng.Below(500), 3, 10);
    w.Char('\n');
  }
  w.Put("\n");
  WriteProse(w, rng, 4);

  w.Put("\n");
  WriteListHeader(w, "Bayes Empirical Bayes (BEB) analysis", ns);
  for (const Entry& e : rep.bayes) {
    w.Int(e.site, 6);
    w.Char(' ');
    w.Char(e.residue);
    w.Fixed(e.permille, 3, 10);
    WriteMarks(w, e.permille);
    w.Fixed(1000 + 3L * (e.permille - 400) + rng.Below(500), 3, 10);
    w.Put(" +- ");
    w.Fixed(rng.Between(50, 1500), 3, 6);
    w.Char('\n');
  }
  w.Put("\nThe grid of the site-class proportions and rate ratios\n\n");
  for (int row = 0; row < 10; ++row) {
    for (int col = 0; col < 10; ++col) w.Fixed(rng.Below(1000), 3, 6);
    w.Char('\n');
  }
  w.Put("\nOptimiser log\n");
  // Pad the replicate to its share of the report, give or take a tenth.
  const uint64_t want = static_cast<uint64_t>(p.report_bytes) * rng.Between(900, 1100) / 1000;
  for (int round = 1; w.Bytes() - start < want; ++round) {
    if (round % 8 == 0) {
      WriteProse(w, rng, 1);
      continue;
    }
    w.Put("  round ");
    w.Int(round, 3);
    w.Put(": lnL = ");
    w.Fixed(lnl - rng.Below(1000000), 6, 16);
    w.Put(", change ");
    w.Fixed(rng.Below(99999), 6, 9);
    w.Put(", ");
    w.Int(1 + rng.Below(branches + 6));
    w.Put(" parameters moved\n");
  }
  w.Put("\nTime used: ");
  w.Int(rng.Below(60));
  w.Char(':');
  w.Int(10 + rng.Below(50));
  w.Char('\n');
}

void WriteStudy(const Preset& p, const std::string& dir, Rng& rng) {
  Writer list(dir + "/siterates");
  Writer classes(dir + "/siterates.txt");
  Writer report(dir + "/mlc");
  list.Put("Sites evolved under positive selection (simulated study)\n");
  classes.Put("Site class of every site (simulated study)\n");
  std::vector<int> order(p.sites);
  Replicate rep;
  for (int r = 1; r <= p.replicates; ++r) {
    MakeReplicate(p, rng, order, rep);
    WriteSiteList(list, r, rep);
    WriteSiteClasses(classes, r, rep);
    WriteReport(report, p, rng, r, rep);
  }
}

// Result tables of repeated runs: column 1 the record index, column 13 the log-likelihood,
// 20 columns in all. Two tables end a few lines early.
void WriteTables(const Preset& p, const std::string& dir, Rng& rng) {
  const int k = p.tables;
  std::vector<Writer*> tables;
  std::vector<long> lines(k, p.table_lines);
  for (int t = 0; t < k; ++t)
    tables.push_back(new Writer(dir + "/run" + std::to_string(t + 1) + ".txt"));
  if (k >= 3) lines[2] -= 3;
  if (k >= 6) lines[5] -= 7;
  std::vector<long> lnl(k);
  for (long record = 1; record <= p.table_lines; ++record) {
    const long best = -rng.Between(8000000, 16000000);
    for (int t = 0; t < k; ++t) {
      // A quarter of the runs reach exactly the value of an earlier run.
      lnl[t] = t > 0 && rng.Chance(250) ? lnl[rng.Below(t)] : best - rng.Below(20000);
    }
    for (int t = 0; t < k; ++t) {
      if (record > lines[t]) continue;
      Writer& w = *tables[t];
      w.Int(record, 7);
      w.Int(2 * (10 + record % 23) - 3, 4);  // branches
      w.Int(2 * (10 + record % 23) + 3, 4);  // parameters
      for (int c = 0; c < 9; ++c) w.Fixed(rng.Below(999999), 4, 8);
      w.Fixed(lnl[t], 3, 12);
      w.Int(rng.Below(2000), 5);  // iterations
      for (int c = 0; c < 6; ++c) w.Fixed(rng.Below(99999), 4, 7);
      w.Char('\n');
    }
  }
  for (Writer* w : tables) delete w;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: gen_study <smoke|medium|big|dense> <output folder>\n");
    return 2;
  }
  const Preset* preset = nullptr;
  for (const Preset& p : kPresets)
    if (std::strcmp(p.name, argv[1]) == 0) preset = &p;
  if (!preset) Die(std::string("unknown preset ") + argv[1]);
  const std::string dir = argv[2];
  if (mkdir(dir.c_str(), 0777) != 0 && errno != EEXIST) Die("cannot create folder " + dir);

  Rng rng(0x5eed0000u + static_cast<uint64_t>(preset - kPresets));
  WriteStudy(*preset, dir, rng);
  if (preset->tables > 0) WriteTables(*preset, dir, rng);

  Writer env(dir + "/study.env");
  env.Put("preset=");
  env.Put(preset->name);
  env.Put("\nsites=");
  env.Int(preset->sites);
  env.Put("\nreplicates=");
  env.Int(preset->replicates);
  env.Put("\ntables=");
  env.Int(preset->tables);
  env.Put("\ntable_lines=");
  env.Int(preset->table_lines);
  env.Char('\n');
  return 0;
}
