#include <string>

#include <gtest/gtest.h>

#include "map/svg_text.hpp"

namespace {

TEST(XmlText, EscapesMarkupCharacters)
{
    EXPECT_EQ("a &amp; b &lt;c&gt; &quot;d&quot; &apos;e&apos;", xml_text("a & b <c> \"d\" 'e'"));
}

TEST(XmlText, KeepsValidUtf8AndTakesOtherHighBytesAsLatin1)
{
    EXPECT_EQ("Zürich µg/m³", xml_text("Z\xc3\xbcrich \xc2\xb5g/m\xc2\xb3"));
    EXPECT_EQ("\xe2\x82\xac \xf0\x9f\x8c\x8d", xml_text("\xe2\x82\xac \xf0\x9f\x8c\x8d"));
    EXPECT_EQ("Z&#xfc;rich", xml_text("Z\xfcrich"));                  // Latin-1 u with diaeresis
    EXPECT_EQ("&#xc3;", xml_text("\xc3"));                            // a sequence cut short at the end
    EXPECT_EQ("&#xc0;&#x80;", xml_text("\xc0\x80"));                  // an overlong NUL
    EXPECT_EQ("&#xed;&#xa0;&#x80;", xml_text("\xed\xa0\x80"));        // a surrogate
    EXPECT_EQ("&#xe2;&#x82;x", xml_text("\xe2\x82x"));                // a broken continuation
}

TEST(XmlText, ReplacesControlBytesWhichXmlCannotHold)
{
    EXPECT_EQ("a b&#xfffd;&#xfffd;&#xfffd;", xml_text(std::string("a\tb\x01\x7f", 5) + std::string(1, '\0')));
}

TEST(SvgNumber, RoundsToTwoDecimalsAndDropsTrailingZeros)
{
    EXPECT_EQ("12", svg_number(12));
    EXPECT_EQ("2.5", svg_number(2.5));
    EXPECT_EQ("213.33", svg_number(640.0 / 3));
    EXPECT_EQ("0.12", svg_number(0.125));  // an exact tie goes to the even digit
    EXPECT_EQ("1", svg_number(1.005));      // 1.005 is held as 1.00499999...
    EXPECT_EQ("0", svg_number(-0.001));
    EXPECT_EQ("0", svg_number(-0.0));
    EXPECT_EQ("-3.2", svg_number(-3.2));
    EXPECT_EQ("1000000", svg_number(1e6));
}

TEST(WrappedLines, BreakAtBlanksAndInsideWordsLongerThanALine)
{
    using Lines = std::vector<std::string>;
    EXPECT_EQ((Lines{"PLOT FILE FOR", "SOURCE GROUP", "STACK1"}), wrapped_lines("  PLOT FILE FOR SOURCE GROUP  STACK1 ", 13));
    EXPECT_EQ((Lines{"ANNUAL", "AVERAGE"}), wrapped_lines("ANNUAL AVERAGE", 7));  // the blank after a full line
    EXPECT_EQ((Lines{"ABCDE", "FGHIJ", "K L"}), wrapped_lines("ABCDEFGHIJK L", 5));
    EXPECT_EQ((Lines{"Z\xc3\xbcrich", "\xc2\xb5g/m3"}), wrapped_lines("Z\xc3\xbcrich \xc2\xb5g/m3", 6));  // characters, not bytes
    EXPECT_EQ(Lines{}, wrapped_lines("   ", 10));
    EXPECT_EQ(6u, shown_length("Z\xc3\xbcrich"));
}

}  // namespace
