# Baseline for the benchmark: SelwickBR's job (and, with -v sitelist=1, SelwickBEB's)
# written as a straightforward awk program. Reads the site file replicate by replicate,
# either one class per site (a site is true when its class is one of the positive classes)
# or as a list of true sites; matches each predicted site of the report's "Bayes Empirical"
# list against the true sites, counts it in its probability class and prints the
# per-replicate lines and the summary table.
#
#   awk -v ls=1000 -v nrepl=2000 -v sitefile=siterates.txt -v report=mlc \
#       -v classes="2 3" -f branchsite.awk
#   awk -v ls=1000 -v nrepl=2000 -v sitefile=siterates -v report=mlc \
#       -v sitelist=1 -f branchsite.awk
#
# It assumes well-formed input: a list entry is a line whose first field is an integer,
# and the values of a replicate's site file block end at a line end.
BEGIN {
  if (sitefile == "") sitefile = sitelist ? "siterates" : "siterates.txt"
  if (report == "") report = "mlc"
  header = "Bayes Empirical"
  split("0.525 0.55 0.575 0.60 0.625 0.65 0.675 0.70 0.725 0.75 0.775 " \
        "0.80 0.825 0.85 0.875 0.90 0.925 0.95 0.975 0.99 1.00", upper, " ")

  if (sitelist) {
    printf "Usage:\n\tSelwickBEB <#sites> <#repl>\n"
    printf "Usage:\n\tSelwickBEB <#sites> <#repl> <Drovikf> <Varnelf>\n"
  } else {
    printf "Usage:\n\tSelwickBR  <#sites> <#repl> <Drovikf> <Varnelf> <positive site classes>\n"
  }
  printf "%d sites, %d replicate.\n", ls, nrepl
  printf "varnel file %s starts with '%s' for each replicate.\n", report, header
  if (nrepl > 20) printf "Hit Enter to continue."
  if (!sitelist) {
    npositive = split(classes, positiveList, " ")
    printf "%d site classes are under positive selection: ", npositive
    for (i = 1; i <= npositive; i++) {
      printf " %2d", positiveList[i]
      positive[positiveList[i] + 0] = 1
    }
    printf "\n"
  }

  for (r = 1; r <= nrepl; r++) {
    while ((getline line < sitefile) > 0)
      if (index(line, "replicate ")) break
    split("", truesite)
    n = 0
    if (sitelist) {
      # "... replicate ...: n", then n site numbers.
      colon = index(line, ":")
      if (!colon) { print "did not find ':' in line."; exit 1 }
      n = substr(line, colon + 1) + 0
      for (got = 0; got < n && (getline line < sitefile) > 0; ) {
        m = split(line, field)
        for (i = 1; i <= m; i++) truesite[field[i] + 0] = 1
        got += m
      }
    } else {
      # One class value per site, sites numbered from 1.
      for (site = 0; site < ls && (getline line < sitefile) > 0; ) {
        m = split(line, field)
        for (i = 1; i <= m; i++)
          if ((field[i] + 0) in positive) { truesite[site + i] = 1; n++ }
        site += m
      }
    }
    trueTotal += n

    while ((getline line < report) > 0)
      if (index(line, header)) break
    for (i = 0; i < 3; i++) getline line < report
    k = 0; matches = 0
    while (k < ls && (getline line < report) > 0) {
      if (line ~ /^[ \t\r]*$/) continue
      m = split(line, field)
      if (m < 3 || field[1] !~ /^[-+]?[0-9]+$/) break
      p = field[3] + 0
      for (c = 1; c < 21 && p > upper[c] + 0; c++) ;
      binCount[c]++
      k++
      if ((field[1] + 0) in truesite) { binMatches[c]++; matches++ }
    }
    printf "\nReplicate %3d: %3d drovik sites, %3d varnel sites at 50%%, %3d matches", \
           r, n, k, matches
  }
  summary()
  printf "\nTrue positive sites from drovik: %5.0f out of %5d total sites\n", trueTotal, \
         ls * nrepl
  exit 0
}

function summary(   i, lower, cumCount, cumMatches, accBin, accCum, power, falsePos) {
  printf "\n\n%6s%22s%10s%17s%10s%10s\n\n", "P", "AccuracyBin", "Pcut", "AccuracyCum", \
         "Power", "FalsePos"
  cumCount = 0; cumMatches = 0
  for (i = 21; i >= 1; i--) {
    cumCount += binCount[i]; cumMatches += binMatches[i]
    cumC[i] = cumCount; cumM[i] = cumMatches
  }
  for (i = 1; i <= 21; i++) {
    lower = i == 1 ? 0.5 : upper[i - 1] + 0
    accBin = binMatches[i] ? binMatches[i] / binCount[i] : 0
    accCum = cumM[i] ? cumM[i] / cumC[i] : 0
    power = cumM[i] ? cumM[i] / trueTotal : 0
    falsePos = cumC[i] - cumM[i] ? (cumC[i] - cumM[i]) / (ls * nrepl - trueTotal) : 0
    printf "%5.3f - %5.3f: %7.3f (%5.0f) ", lower, upper[i], accBin, binCount[i]
    printf "   >%4.3f: %7.3f (%5.0f) %7.3f %7.3f\n", lower, accCum, cumC[i], power, falsePos
  }
}
