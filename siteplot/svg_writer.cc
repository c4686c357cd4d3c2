// The SVG figure's XML writer: escaping and the fixed number format.
#include "siteplot/svg_writer.h"

#include <cstdio>
#include <cstdlib>

namespace siteplot {

namespace {

const char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

// Length of the valid UTF-8 sequence at the start of `text` holding a character that XML
// 1.0 allows, or 0 when there is none there.
size_t XmlCharLength(std::string_view text) {
  unsigned char lead = static_cast<unsigned char>(text[0]);
  if (lead < 0x80) return (lead >= 0x20 || lead == '\t' || lead == '\n' || lead == '\r') ? 1 : 0;
  size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
  if (length == 0 || lead > 0xF4 || text.size() < length) return 0;
  unsigned long code = lead & (0x7F >> length);
  for (size_t i = 1; i < length; ++i) {
    unsigned char next = static_cast<unsigned char>(text[i]);
    if ((next & 0xC0) != 0x80) return 0;
    code = (code << 6) | (next & 0x3F);
  }
  static const unsigned long kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  bool surrogate = code >= 0xD800 && code <= 0xDFFF;
  bool ok = code >= kSmallest[length] && code <= 0x10FFFF && !surrogate && code != 0xFFFE &&
            code != 0xFFFF;
  return ok ? length : 0;
}

}  // namespace

std::string Num(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.2f", value);
  std::string number = text;
  if (number.find('.') != std::string::npos) {
    number.erase(number.find_last_not_of('0') + 1);
    if (number.back() == '.') number.pop_back();
  }
  return number == "-0" ? "0" : number;
}

std::string Escape(std::string_view text, bool in_attribute) {
  std::string out;
  for (size_t i = 0; i < text.size();) {
    char c = text[i];
    size_t length = XmlCharLength(text.substr(i));
    if (length == 0) {
      out += kReplacement;
      ++i;
      continue;
    }
    if (c == '&') {
      out += "&amp;";
    } else if (c == '<') {
      out += "&lt;";
    } else if (c == '>') {
      out += "&gt;";
    } else if (in_attribute && c == '"') {
      out += "&quot;";
    } else if (in_attribute && (c == '\t' || c == '\n' || c == '\r')) {
      // A parser would turn these into blanks in an attribute; keep them as they are.
      char ref[8];
      std::snprintf(ref, sizeof ref, "&#%d;", c);
      out += ref;
    } else {
      out.append(text.substr(i, length));
    }
    i += length;
  }
  return out;
}

void SvgWriter::OpenTag(const std::string& name, const Attributes& attributes) {
  out_.append(open_.size(), ' ');
  out_ += '<' + name;
  for (const auto& [key, value] : attributes) out_ += ' ' + key + "=\"" + Escape(value, true) + '"';
}

void SvgWriter::Start(const std::string& name, const Attributes& attributes) {
  OpenTag(name, attributes);
  out_ += ">\n";
  open_.push_back(name);
}

void SvgWriter::Element(const std::string& name, const Attributes& attributes,
                        std::string_view text) {
  OpenTag(name, attributes);
  if (text.empty()) {
    out_ += "/>\n";
  } else {
    out_ += '>' + Escape(text, false) + "</" + name + ">\n";
  }
}

void SvgWriter::End() {
  // An End without its Start is a fault of the drawing code: the document would no longer
  // be well formed, so it stops here rather than write a figure that does not open.
  if (open_.empty()) {
    std::fputs("SvgWriter: End() without an open element\n", stderr);
    std::abort();
  }
  out_.append(open_.size() - 1, ' ');
  out_ += "</" + open_.back() + ">\n";
  open_.pop_back();
}

}  // namespace siteplot
