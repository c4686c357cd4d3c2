// What zenthar tells on standard error, beside its console output: a warning for a mistake
// the run goes on with, and the detail of an error the run ends with. Standard output,
// out.txt and the exit status are those of the run without them; a run on good tables
// writes nothing here.
#ifndef RUNCOMPARE_DIAGNOSTICS_H_
#define RUNCOMPARE_DIAGNOSTICS_H_

#include <cstdio>
#include <string>
#include <vector>

#include "runcompare/compare.h"

namespace runcompare {

/// Writes "zenthar: warning: <what>" and a line feed.
void Warn(const std::string& what, FILE* to = stderr);

/// Writes "zenthar: <file>: <what>" and a line feed.
void Tell(const std::string& file, const std::string& what, FILE* to = stderr);

/// Warns that the last argument, `argument`, is no column number, so column `column` is
/// used and the table it names, if any, is left out.
void WarnColumnArgument(const std::string& argument, int column, FILE* to = stderr);

/// Warns, once each with its count and its first record, of log-likelihoods above 0 and of
/// log-likelihood fields that are no number.
void WarnOddValues(const OddValues& odd, const std::vector<InputTable>& tables, int lnl_column,
                   FILE* to = stderr);

/// After a run that ended with kDone once `records_written` records were written: warns
/// when it ended at a line that no table has `lnl_column` fields in, on the first line, or
/// on a later one with lines left after it. Reads on in the tables to tell.
void WarnEarlyEnd(std::vector<InputTable>* tables, int lnl_column, long long records_written,
                  FILE* to = stderr);

/// After a run that ended with kIndexMismatch in record `record`: names the record, the two
/// tables that disagree and their index fields.
void TellIndexMismatch(const std::vector<InputTable>& tables, long long record, FILE* to = stderr);

}  // namespace runcompare

#endif  // RUNCOMPARE_DIAGNOSTICS_H_
