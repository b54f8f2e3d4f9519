#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "platform/text_encoding.hpp"
#include "run_failure.hpp"

namespace {

using platform::is_utf8;

TEST(Utf8, WellFormedOnlyWithoutOverlongFormsSurrogatesOrCodePointsBeyondUnicode)
{
    for (const std::string_view good : {"", "plain.plt", "M\xc3\xbcller", "\xce\x91\xce\xb8", "\xe2\x82\xac",
                                        "\xf0\x9f\x98\x80", "\xed\x9f\xbf", "\xee\x80\x80", "\xf4\x8f\xbf\xbf"}) {
        EXPECT_TRUE(is_utf8(good)) << good;
    }
    for (const std::string_view bad : {
             "M\xfcller",             // a byte of the ANSI code page
             "\xc0\xaf", "\xc1\xbf",  // overlong forms of ASCII
             "\xe0\x9f\xbf",          // an overlong three-byte form
             "\xf0\x8f\xbf\xbf",      // an overlong four-byte form
             "\xed\xa0\x80",          // a surrogate
             "\xf4\x90\x80\x80",      // beyond U+10FFFF
             "\xf5\x80\x80\x80", "\xff",
             "\x80", "a\xbf",         // a continuation byte alone
             "\xc3", "\xe2\x82",      // a character left incomplete
             "\xe2\x82x",             // and one broken off by another byte
         }) {
        EXPECT_FALSE(is_utf8(bad)) << bad;
    }
}

TEST(Utf8, ConvertsToUtf16WithSurrogatePairsBeyondTheBasicPlane)
{
    EXPECT_EQ(u"M\u00fcller \u0391\u03b8\u03ae\u03bd\u03b1 \u20ac",
              platform::utf16_from_utf8("M\xc3\xbcller \xce\x91\xce\xb8\xce\xae\xce\xbd\xce\xb1 \xe2\x82\xac"));
    EXPECT_EQ(u"\xd83d\xde00", platform::utf16_from_utf8("\xf0\x9f\x98\x80"));
}

TEST(Utf16ToUtf8, JoinsAPairSplitBetweenPiecesAndReplacesLoneSurrogates)
{
    platform::Utf16ToUtf8 decoder;
    std::string utf8;
    decoder.append(u"Jos\u00e9 \xd83d", utf8);
    EXPECT_EQ("Jos\xc3\xa9 ", utf8);  // the high surrogate waits for its partner
    decoder.append(u"\xde00.plt\r\n", utf8);
    EXPECT_EQ("Jos\xc3\xa9 \xf0\x9f\x98\x80.plt\r\n", utf8);

    utf8.clear();
    decoder.append(u"a\xdc00" u"b\xd800" u"c", utf8);
    EXPECT_EQ("a\xef\xbf\xbd" "b\xef\xbf\xbd" "c", utf8);
    decoder.append(u"\xd800", utf8);
    decoder.finish(utf8);
    EXPECT_EQ("a\xef\xbf\xbd" "b\xef\xbf\xbd" "c\xef\xbf\xbd", utf8);
    decoder.finish(utf8);  // nothing waits any more
    EXPECT_EQ("a\xef\xbf\xbd" "b\xef\xbf\xbd" "c\xef\xbf\xbd", utf8);
}

// Reads bytes as code page 1252 would, for the few bytes these tests use:
// ASCII, 0x80 as the euro sign, 0x81 undefined (a control, as Windows reads
// it), and the rest of 0xA0 to 0xFF as Latin-1.
std::u16string read_as_1252(std::string_view bytes)
{
    std::u16string text;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        text += byte == 0x80 ? u'\u20ac' : static_cast<char16_t>(byte);
    }
    return text;
}

std::u16string shown_at_console(std::string_view name, std::string_view cause = "cause")
{
    return platform::console_text(std::string("plotmerge: ") + RunFailure("opening", name, cause).what(), read_as_1252);
}

TEST(ConsoleText, ShowsTheEscapedBytesOfANameAsTheCharactersTyped)
{
    EXPECT_EQ(u"plotmerge: opening 'Jos\u00e9 \u0391\u03b8\u03ae\u03bd\u03b1.plt': cause",
              shown_at_console("Jos\xc3\xa9 \xce\x91\xce\xb8\xce\xae\xce\xbd\xce\xb1.plt"));
    EXPECT_EQ(u"plotmerge: opening '\xd83d\xde00.plt': cause", shown_at_console("\xf0\x9f\x98\x80.plt"));
    // Not UTF-8: read in the ANSI code page, as the name was opened.
    EXPECT_EQ(u"plotmerge: opening 'M\u00fcller \u20ac.plt': cause", shown_at_console("M\xfcller \x80.plt"));
    // The system's own text of a cause is in the ANSI code page and stands unescaped.
    EXPECT_EQ(u"plotmerge: opening 'a.plt': Acc\u00e8s refus\u00e9.", shown_at_console("a.plt", "Acc\xe8s refus\xe9."));
}

TEST(ConsoleText, KeepsEscapesThatStandForNoPrintableCharacter)
{
    // Control bytes, a backslash before an x, and C1 controls in either reading.
    EXPECT_EQ(u"plotmerge: opening 'a\\x0a\\x5cx01\\xc2\\x85.plt': cause", shown_at_console("a\n\\x01\xc2\x85.plt"));
    EXPECT_EQ(u"plotmerge: opening 'x\\x81\\xfc.plt': cause", shown_at_console("x\x81\xfc.plt"));
    // A name cut inside its last character: the characters before the cut, then the byte left over.
    EXPECT_EQ(u"plotmerge: opening '\u0391\u03b8\\xce': cause", shown_at_console("\xce\x91\xce\xb8\xce"));
    // UTF-8 in a run with a stray byte: the characters, and the stray byte escaped.
    EXPECT_EQ(u"plotmerge: opening '\u00e9\\xe9': cause", shown_at_console("\xc3\xa9\xe9"));
}

}  // namespace
