// Reader of the analysis report's lists of predicted sites.
#include "sitecheck/report.h"

namespace sitecheck {

namespace {

using Bytes = textio::Fast;

// Reads a whole entry and the rest of its line when they lie inside the reader's window,
// the usual case, in one pass. False, with nothing consumed, when any part of it is near
// the end of the window or does not read: then the entry is read item by item.
bool ReadEntryInWindow(Reader& report, PredictedSite* entry) {
  const char* const end = report.End();
  const char* p = Bytes::SkipSpaceRun(report.Pos(), end);
  if (ScanInt(&p, &entry->site) != ScanStatus::kOk || end - p < kLookahead) return false;
  p = Bytes::SkipSpace(p, end);
  if (p == end) return false;
  const char residue = *p;
  p = Bytes::SkipSpaceRun(p + 1, end);
  if (ScanDecimal(&p, &entry->probability) != ScanStatus::kOk || end - p < kLookahead) {
    return false;
  }
  // The rest of the line is one piece: up to its line feed, at most kMaxPiece characters.
  const bool whole_piece = end - p >= static_cast<std::ptrdiff_t>(kMaxPiece);
  const char* feed = Bytes::FindLineFeed(p, whole_piece ? p + kMaxPiece : end);
  if (feed == nullptr && !whole_piece) return false;
  entry->residue = residue;
  report.Consume(feed != nullptr ? feed + 1 : p + kMaxPiece);
  return true;
}

}  // namespace

bool findReportBlock(Reader& report, std::string_view headerText) {
  std::string_view line;
  if (!report.SkipToPieceWith(headerText, &line)) return false;
  for (int i = 0; i < 3; ++i) report.ReadPiece(kMaxPiece, &line);
  return true;
}

bool readPredictedSite(Reader& report, PredictedSite* entry) {
  if (ReadEntryInWindow(report, entry)) return true;
  if (report.ReadInt(&entry->site) != ScanStatus::kOk) return false;
  report.SkipSpace();
  if (!report.ReadChar(&entry->residue)) return false;
  if (report.ReadDecimal(&entry->probability) != ScanStatus::kOk) return false;
  std::string_view rest;
  report.ReadPiece(kMaxPiece, &rest);
  return true;
}

}  // namespace sitecheck
