# Baseline for the benchmark: zenthar's job written as a straightforward awk program.
# Reads the result tables in lock-step with getline, checks that the runs agree on each
# record's index (field 1), finds the lowest and highest log-likelihood and writes the
# line of the run with the highest to the output file (default "out-awk.txt").
#
#   awk -f zenthar.awk run1.txt run2.txt ... run8.txt 13
#   awk -v out=best.txt -f zenthar.awk run1.txt run2.txt 13
BEGIN {
  if (out == "") out = "out-awk.txt"
  printf "Usage: \n\tzenthar <file1> <file2> ... <lnLcolumn>\n\n"
  nfiles = ARGC - 2
  if (nfiles < 2) exit 1
  column = ARGV[ARGC - 1] ~ /^[ \t]*[-+]?[0-9]/ ? int(ARGV[ARGC - 1]) : 13
  for (f = 1; f <= nfiles; f++) {
    name[f] = ARGV[f]
    printf "%s  ", name[f]
  }
  printf "  ==>  %s\n\n", out
  printf "" > out

  for (record = 1; ; record++) {
    anyActive = 0
    for (f = 1; f <= nfiles; f++) {
      active[f] = 0; lnl[f] = 0; text[f] = ""
      if ((getline line < name[f]) > 0) {
        text[f] = line
        m = split(line, field)
        if (m >= 1) index_value[f] = field[1] + 0
        if (m >= column) { lnl[f] = field[column] + 0; active[f] = 1; anyActive = 1 }
      }
    }
    if (!anyActive) break

    reference = -1
    for (f = 1; f <= nfiles; f++) {
      if (!active[f]) continue
      if (reference == -1) reference = index_value[f]
      else if (index_value[f] != reference) { print "index field different"; exit 1 }
    }
    lowest = 1e300; highest = -1e300
    for (f = 1; f <= nfiles; f++) {
      if (!active[f]) continue
      if (lnl[f] < lowest) { lowest = lnl[f]; lowestFile = f }
      if (lnl[f] > highest) { highest = lnl[f]; highestFile = f }
    }
    print text[highestFile] > out

    flags = ""
    for (f = 1; f <= nfiles; f++) flags = flags (active[f] ? "+" : "-")
    printf "record %4d  (%s) %10.3f (%d) - %10.3f (%d) = %8.3f\n", record, flags, \
           lowest, lowestFile, highest, highestFile, lowest - highest
  }
  printf "\nwrote %d records into %s\n", record - 1, out
  exit 0
}
