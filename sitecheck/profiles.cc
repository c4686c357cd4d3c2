// The profiles of the three checker programs: what each prints and reads.
#include "sitecheck/checker.h"

namespace sitecheck {

const CheckerProfile kVarnelDrovik = {
    "VarnelDrovik",
    "VarnelDrovik <#sites>  <#repl>\n",
    "usage: VarnelDrovik [--tsv FILE] [#sites [#repl [site-file [report]]]]\n"
    "Scores the naive-empirical site predictions of an analysis report against the\n"
    "true sites of a simulation's site file.\n"
    "  --tsv FILE also write each replicate's counts by class to FILE, tab-separated\n"
    "             (gzip-compressed when FILE ends in .gz), put in place when the run ends\n"
    "  #sites     sites per data set (default 100)\n"
    "  #repl      replicates to read (default 1)\n"
    "  site-file  the simulator's site file, list form (default siterates)\n"
    "  report     the analysis report (default mlc)\n"
    "See man VarnelDrovik.\n",
    "Naive Empirical",
    "",
    "siterates",
    false,
    false};
const CheckerProfile kSelwickBR = {
    "SelwickBR",
    "Usage:\n\tSelwickBR  <#sites> <#repl> <Drovikf> <Varnelf> <positive site classes>\n",
    "usage: SelwickBR [--tsv FILE] #sites #repl [site-file [report [class ...]]]\n"
    "Scores the Bayes-empirical site predictions of an analysis report against the\n"
    "sites whose class, in a class-per-site file, is under positive selection.\n"
    "  --tsv FILE also write each replicate's counts by class to FILE, tab-separated\n"
    "             (gzip-compressed when FILE ends in .gz), put in place when the run ends\n"
    "  #sites     sites per data set (required)\n"
    "  #repl      replicates to read (required)\n"
    "  site-file  the simulator's site file, one class per site (default siterates.txt)\n"
    "  report     the analysis report (default mlc)\n"
    "  class ...  the site classes under positive selection (default none)\n"
    "See man SelwickBR.\n",
    "Bayes Empirical",
    " total sites",
    "siterates.txt",
    true,
    true};
const CheckerProfile kSelwickBEB = {
    "SelwickBEB",
    "Usage:\n\tSelwickBEB <#sites> <#repl>\nUsage:\n\tSelwickBEB <#sites> <#repl> <Drovikf> "
    "<Varnelf>\n",
    "usage: SelwickBEB [--tsv FILE] #sites #repl [site-file [report]]\n"
    "Scores the Bayes-empirical site predictions of an analysis report against the\n"
    "true sites of a simulation's site file.\n"
    "  --tsv FILE also write each replicate's counts by class to FILE, tab-separated\n"
    "             (gzip-compressed when FILE ends in .gz), put in place when the run ends\n"
    "  #sites     sites per data set (required)\n"
    "  #repl      replicates to read (required)\n"
    "  site-file  the simulator's site file, list form (default siterates.txt)\n"
    "  report     the analysis report (default mlc)\n"
    "See man SelwickBEB.\n",
    "Bayes Empirical",
    " total sites",
    "siterates.txt",
    false,
    true};

}  // namespace sitecheck
