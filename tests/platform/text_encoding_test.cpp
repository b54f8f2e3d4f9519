#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "platform/text_encoding.hpp"
#include "run_failure.hpp"

namespace {

using platform::LONGEST_ANSWERED_NAME;

// Whether the bytes are well-formed UTF-8 from end to end, character by character.
bool is_utf8(std::string_view bytes)
{
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t length = platform::utf8_character_length(bytes.substr(at));
        if (length == 0) return false;
        at += length;
    }
    return true;
}

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

// A name of 120 bytes: filler ASCII bytes, then the given end.
std::string cut_name(std::string_view end) { return std::string(LONGEST_ANSWERED_NAME - end.size(), 'd') + std::string(end); }

TEST(NameCharacters, Utf8WhenWellFormedAnsiOtherwiseAndACutCharacterIsLeftOut)
{
    const std::string utf8_name = "C:\\data\\M\xc3\xbcller.plt";
    EXPECT_EQ(utf8_name, platform::utf8_part_of_name(utf8_name));
    EXPECT_EQ("", platform::utf8_part_of_name(""));
    for (const std::string& ansi_name : {std::string("M\xfcller.plt"), std::string("Jos\xe9"), std::string("caf\xe8"),
                                         std::string("\xc3\xa9t\xe9.plt")}) {
        EXPECT_EQ(std::nullopt, platform::utf8_part_of_name(ansi_name)) << ansi_name;
    }

    // A long answer cut at 120 bytes inside a two-, three- or four-byte character.
    for (const std::string_view begun : {"\xce", "\xe2\x82", "\xe2", "\xf0\x9f\x98", "\xf0"}) {
        const std::string name = cut_name("\xce\x91" + std::string(begun));
        EXPECT_EQ(name.substr(0, name.size() - begun.size()), platform::utf8_part_of_name(name)) << name;
    }
    // Not a cut: shorter than the longest name, a byte that begins no character,
    // a byte that cannot continue the character, or a fault before the end.
    for (const std::string& name : {std::string("\xce\x91\xce"), cut_name("\xce\x91\xff"), cut_name("\xe0\x80"),
                                    cut_name("\xfc" "a\xce")}) {
        EXPECT_EQ(std::nullopt, platform::utf8_part_of_name(name)) << name;
    }
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
