// The SVG writer: a whole small document byte for byte, with every kind of character that
// needs escaping or replacing, and the number format.
#include "siteplot/svg_writer.h"

#include <gtest/gtest.h>

namespace siteplot {
namespace {

TEST(SvgWriterTest, WholeDocumentWithEscapes) {
  SvgWriter svg;
  svg.Start("svg", {{"width", "10"}, {"id", "a\"b<c>&d\te"}});
  svg.Element("title", {}, "R&D <5> \"q\" caf\xC3\xA9 \xF0\x9F\x90\x9F");
  svg.Start("g", {});
  // A Latin-1 byte, a control character, a cut-off UTF-8 sequence, an encoded surrogate.
  svg.Element("text", {{"x", Num(1.5)}}, "bad\xE9 ctl\x01 cut\xE2\x82 sur\xED\xA0\x80");
  svg.Element("rect", {});
  svg.End();
  svg.End();
  EXPECT_DEATH(svg.End(), "End\\(\\) without an open element");  // more ends than starts
  EXPECT_EQ(svg.Document(),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<svg width=\"10\" id=\"a&quot;b&lt;c&gt;&amp;d&#9;e\">\n"
            " <title>R&amp;D &lt;5&gt; \"q\" caf\xC3\xA9 \xF0\x9F\x90\x9F</title>\n"
            " <g>\n"
            "  <text x=\"1.5\">bad\xEF\xBF\xBD ctl\xEF\xBF\xBD cut\xEF\xBF\xBD\xEF\xBF\xBD "
            "sur\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD</text>\n"
            "  <rect/>\n"
            " </g>\n"
            "</svg>\n");
}

TEST(SvgWriterTest, Numbers) {
  EXPECT_EQ(Num(100), "100");
  EXPECT_EQ(Num(-3.14159), "-3.14");
  EXPECT_EQ(Num(-0.001), "0");  // rounds to zero: no "-0"
  EXPECT_EQ(Num(0.999), "1");
}

}  // namespace
}  // namespace siteplot
