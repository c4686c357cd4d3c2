// The number syntax of zenthar: fields read as "%lf" reads them, and the column argument
// read as "%d" reads it.
#ifndef RUNCOMPARE_NUMBERS_H_
#define RUNCOMPARE_NUMBERS_H_

namespace runcompare {

/// Reads the longest beginning of the field at `field` that is a floating-point number as
/// strtod knows it in the C locale (decimal, hexadecimal, "inf", "infinity"), correctly
/// rounded, into `*value`; values beyond the range of double give plus or minus infinity.
/// Returns false, leaving `*value` alone, when the field does not begin with a number or
/// begins with a NaN ("nan", "nan(...)"), which no comparison can order.
///
/// The field lies in a reader's padded window: it is followed by white space (the padding's
/// line feed at the latest), which ends the number, and then by readable bytes, so plain
/// decimals, the usual contents of a table, are read eight digits at a time.
bool ScanFieldDouble(const char* field, double* value);

/// Reads an integer from the terminated text at `text` the way "%d" does: leading white
/// space skipped, an optional sign, then decimal digits; anything after them is ignored.
/// Values beyond int are clamped to INT_MIN or INT_MAX. Returns false, leaving `*value`
/// alone, when no digit follows.
bool ScanInt(const char* text, int* value);

}  // namespace runcompare

#endif  // RUNCOMPARE_NUMBERS_H_
