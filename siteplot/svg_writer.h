// A small XML writer for the SVG figure: elements come out in the order they are written,
// every text and attribute value is escaped in one place, numbers in one fixed format, so
// the same drawing always gives the same bytes. Written here rather than taken from a
// library (libxml2's text writer would do) so that siteplot needs nothing beyond the C++
// standard library at run time, and so that the bytes are under our control.
#ifndef SITEPLOT_SVG_WRITER_H_
#define SITEPLOT_SVG_WRITER_H_

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace siteplot {

/// Attribute names and values in the order they are to be written.
using Attributes = std::vector<std::pair<std::string, std::string>>;

/// A number for a coordinate or size: at most two decimals, no trailing zeros, no "-0".
std::string Num(double value);

/// `text` made safe as XML character data, or (`in_attribute`) as a value between double
/// quotes. Bytes that are not valid UTF-8, and characters XML 1.0 does not allow, become
/// U+FFFD, so any file name or label still gives a well-formed document.
std::string Escape(std::string_view text, bool in_attribute);

class SvgWriter {
 public:
  /// Opens `<name attributes>`; one level of indent per open element.
  void Start(const std::string& name, const Attributes& attributes);
  /// Writes `<name attributes/>`, or `<name attributes>text</name>` when `text` is not empty.
  void Element(const std::string& name, const Attributes& attributes, std::string_view text = {});
  /// Closes the element opened last; with none open, the program stops (abort).
  void End();
  /// The document so far, beginning with the XML declaration.
  const std::string& Document() const { return out_; }

 private:
  void OpenTag(const std::string& name, const Attributes& attributes);

  std::string out_ = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  std::vector<std::string> open_;
};

}  // namespace siteplot

#endif  // SITEPLOT_SVG_WRITER_H_
