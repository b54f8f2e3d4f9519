// The one parser and writer of data lines, table by table: the standard
// layout through its compile-time code and through the run-time code of
// declared layouts alike, which must agree on every line; declared layouts;
// receptors; faults.
#include <cmath>
#include <limits>
#include <memory>
#include <stdexcept>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "plot/data_line.hpp"
#include "plot/format_list.hpp"
#include "plot_test_support.hpp"

namespace {

// A line read, every field's value, and the line written back with its
// value fields as read; reading the values alone must find the same fault.
struct Outcome {
    std::optional<FieldFault> fault;
    std::string fault_text;  // the bytes of the fault's field
    std::vector<FieldValue> fields;
    std::string written;
};

template <class Fields>
Outcome through(Fields fields, const std::string& text)
{
    const PlotLayout& layout = fields.layout();
    std::string line = text;
    line.resize(std::max(LINE_WIDTH, layout.width()), ' ');
    Outcome outcome;
    outcome.fields.resize(layout.field_count());
    outcome.fault = DataLineParser(fields).read_fields(line.data(), outcome.fields.data());
    std::vector<float> values(layout.value_fields().size());
    std::vector<FieldValue> carried(layout.field_count());
    const auto value_fault = DataLineParser(fields).read_values(line.data(), values.data(), carried.data());
    EXPECT_EQ(outcome.fault.has_value(), value_fault.has_value()) << text;
    if (outcome.fault && value_fault) {
        EXPECT_EQ(outcome.fault->field, value_fault->field) << text;
    }
    if (outcome.fault) {
        outcome.fault_text = std::string(outcome.fault->text);
        return outcome;
    }
    outcome.written.resize(layout.width());
    DataLineWriter(fields).write(carried.data(), values.data(), line.data(), outcome.written.data());
    return outcome;
}

// The standard layout's own code, checked against the run-time code on the same line.
Outcome standard(const std::string& text)
{
    Outcome outcome = through(StandardFields{}, text);
    const Outcome general = through(DeclaredFields(STANDARD_LAYOUT), text);
    EXPECT_EQ(outcome.written, general.written) << text;
    EXPECT_EQ(outcome.fault.has_value(), general.fault.has_value()) << text;
    return outcome;
}

const PlotLayout& declared(std::string_view list)
{
    static std::vector<std::unique_ptr<PlotLayout>> layouts;
    layouts.push_back(std::make_unique<PlotLayout>(*read_layout(list).layout));
    return *layouts.back();
}

const PlotLayout& ranked_layout()
{
    static const PlotLayout& layout = declared("(3(1X,F13.5),3(1X,F8.2),3X,A5,2X,A8,2X,A5,5X,A8,2X,I8)");
    return layout;
}

// Separator columns and columns 108 to 120 hold junk that must not be read.
const std::string kFullLine = line_at({
    {1, "#"},      {2, " 1 2 3 4 5   "}, {15, "|"}, {16, "       125   "}, {29, "|"},
    {30, "  -2.5E-1    "}, {43, "|"}, {44, " 1 2 3  "}, {52, "|"}, {53, "  12E1  "}, {61, "|"},
    {62, " 1.5+2  "}, {70, "||"}, {72, "ab\tc Z"}, {78, "||"}, {80, " B  b \xff!"}, {88, "||"},
    {90, "   -0042"}, {98, "||"}, {100, "c c c  c"}, {108, "GARBAGE-x.y-z"},
});

TEST(StandardDataLines, ReadEveryFieldFromItsColumnsOnlyAndWriteThemBack)
{
    const Outcome outcome = standard(kFullLine);
    ASSERT_FALSE(outcome.fault.has_value());
    const float reals[] = {0.12345f, 0.00125f, -0.25f, 1.23f, 1.2f, 150.0f};  // implied decimals before exponents
    for (std::size_t i = 0; i < std::size(reals); ++i) EXPECT_EQ(reals[i], outcome.fields[i].real) << i;
    EXPECT_EQ(-42, outcome.fields[8].integer);
    const std::string expected = std::string(" ") + "      0.12345" + " " + "      0.00125" + " " + "     -0.25000" +
                                 " " + "    1.23" + " " + "    1.20" + " " + "  150.00" + "  " + "ab\tc Z" + "  " +
                                 " B  b \xff!" + "  " + "********" + "  " + "c c c  c";
    ASSERT_EQ(107u, expected.size());
    EXPECT_EQ(expected, outcome.written);
}

TEST(StandardDataLines, ReadBlankLinesAsZerosAndExtremeFieldsByTheRealFieldRules)
{
    const std::string zeros5 = "      0.00000";
    const std::string zeros2 = "    0.00";
    const std::string blank_written = " " + zeros5 + " " + zeros5 + " " + zeros5 + " " + zeros2 + " " + zeros2 + " " +
                                      zeros2 + "  " + std::string(6, ' ') + "  " + std::string(8, ' ') + "  " +
                                      "00000000" + "  " + std::string(8, ' ');
    for (const std::string& blank : {std::string(), std::string(120, ' '), std::string("*")}) {
        const Outcome outcome = standard(blank);
        ASSERT_FALSE(outcome.fault.has_value());
        EXPECT_FALSE(std::signbit(outcome.fields[2].real));
        EXPECT_EQ(blank_written, outcome.written) << '[' << blank << ']';
    }
    const Outcome extreme = standard(line_at({{30, "   1.E39     "}, {44, "-Inf"}, {90, "  +  7  "}}));
    EXPECT_EQ(std::numeric_limits<float>::infinity(), extreme.fields[2].real);
    EXPECT_EQ(-std::numeric_limits<float>::infinity(), extreme.fields[3].real);
    EXPECT_EQ(7, extreme.fields[8].integer);
    EXPECT_EQ("     Infinity", extreme.written.substr(29, 13));
    EXPECT_EQ("    -Inf", extreme.written.substr(43, 8));
}

// A ranked line: value 1.5 written with an exponent, a date of 0 written
// with a sign, text fields with blanks; everything else is read and written
// back by its field's rule.
TEST(DeclaredDataLines, AreReadByTheirFieldsAndWrittenInTheirLayout)
{
    const std::string line = line_at({{2, "  279585.0"}, {16, "4783039."}, {30, "0.15E+01"}, {44, "  12221"},
                                      {53, "130."}, {62, ""}, {73, "24-HR"}, {80, "STACK  1"}, {90, "1ST"},
                                      {100, "POL1"}, {110, "     +0 "}});
    const Outcome outcome = through(DeclaredFields(ranked_layout()), line);
    ASSERT_FALSE(outcome.fault.has_value());
    EXPECT_EQ("  279585.00000 4783039.00000       1.50000   122.21   130.00     0.00   24-HR  STACK  1  1ST       "
              "POL1             0",
              outcome.written);
    EXPECT_EQ(279585.0f, outcome.fields[0].real);
    EXPECT_EQ(4783039.0f, outcome.fields[1].real);

    std::string written = outcome.written;
    const float risk = 1116.0f;
    DataLineWriter(DeclaredFields(ranked_layout())).write_values(&risk, written.data());
    EXPECT_EQ("    1116.00000", written.substr(28, 14));
}

// The first field that does not convert, left to right, whichever way the
// line is read: by its name in the standard layout, by its columns elsewhere.
TEST(DataLines, NameTheFirstFieldThatIsNotANumber)
{
    const PlotLayout& wide_integer = declared("(3F13.5,2X,I12)");
    const struct {
        const PlotLayout& layout;
        std::size_t column;
        const char* text;
        const char* name;
        std::size_t width;
        bool out_of_range;
    } cases[] = {
        {STANDARD_LAYOUT, 2, "1x", "x", 13, false},       {STANDARD_LAYOUT, 2, "*", "x", 13, false},
        {STANDARD_LAYOUT, 16, "\t1", "y", 13, false},     {STANDARD_LAYOUT, 30, "1E", "value", 13, false},
        {STANDARD_LAYOUT, 30, "1Q2", "value", 13, false}, {STANDARD_LAYOUT, 44, "+", "aux1", 8, false},
        {STANDARD_LAYOUT, 53, ".", "aux2", 8, false},     {STANDARD_LAYOUT, 62, "-E1", "aux3", 8, false},
        {STANDARD_LAYOUT, 90, "-", "stamp", 8, false},    {STANDARD_LAYOUT, 90, "12a", "stamp", 8, false},
        {STANDARD_LAYOUT, 90, "1\t", "stamp", 8, false},  {STANDARD_LAYOUT, 90, "1.0", "stamp", 8, false},
        {ranked_layout(), 2, "1x", "", 13, false},        {ranked_layout(), 53, "1,5", "", 8, false},
        {ranked_layout(), 110, "1ST", "", 8, false},      {wide_integer, 42, "-9999999999", "", 12, true},
    };
    for (const auto& c : cases) {
        std::string text = line_at({{c.column, c.text}});
        // A later broken field is not named.
        if (c.column < 90 && c.layout == STANDARD_LAYOUT) text = line_at({{1, text}, {90, "bad"}});
        text.resize(std::max(LINE_WIDTH, c.layout.width()), ' ');
        const Outcome outcome =
            c.layout == STANDARD_LAYOUT ? through(StandardFields{}, text) : through(DeclaredFields(c.layout), text);
        const auto& fault = outcome.fault;
        ASSERT_TRUE(fault.has_value()) << c.text;
        EXPECT_EQ(c.name, fault->name) << c.text;
        EXPECT_EQ(c.column, fault->field.offset + 1u) << c.text;
        EXPECT_EQ(text.substr(c.column - 1, c.width), outcome.fault_text) << c.text;
        EXPECT_EQ(c.out_of_range, fault->out_of_range) << c.text;
    }
}

// A random text for a field of the standard line: the forms the field rules
// read, now and then one they refuse.
std::string random_field(std::mt19937& random, std::size_t width)
{
    static const char* const kForms[] = {"1.25",   "-0.5",    "125",     "1.5E2",  "-2.5e-1", "12D1",  "1.5+2",
                                         " 1 2 3", "",        "0",       "-0",     "Inf",     "nan",   "1E39",
                                         "9999999.999999", "-999999.99", "99999.995", "1x",  "+",    ".",
                                         "1\t2",   "4108000", "0.000004", "-1E-45", "7",      "42",    "-42"};
    std::string text = kForms[random() % std::size(kForms)];
    if (text.size() > width) text.resize(width);
    const std::size_t left = random() % (width - text.size() + 1);
    return std::string(left, ' ') + text + std::string(width - text.size() - left, ' ');
}

// The standard layout's compile-time code and the run-time code, given the
// same layout, read and write every line alike, faults included.
TEST(StandardDataLines, ReadAndWriteAsTheRunTimeCodeOfTheSameLayout)
{
    std::mt19937 random(20261209);
    const std::size_t widths[] = {13, 13, 13, 8, 8, 8};
    for (int i = 0; i < 20'000; ++i) {
        std::string line = " ";
        for (const std::size_t width : widths) line += random_field(random, width) + " ";
        line += " ABC \xff\x01  tag b   " + random_field(random, 8) + "  \"tag c\"" + std::string(13, '#');
        const Outcome compiled = through(StandardFields{}, line);
        const Outcome general = through(DeclaredFields(STANDARD_LAYOUT), line);
        ASSERT_EQ(compiled.fault.has_value(), general.fault.has_value()) << line;
        if (compiled.fault) {
            EXPECT_EQ(compiled.fault_text, general.fault_text) << line;
            continue;
        }
        ASSERT_EQ(compiled.written, general.written) << line;
    }
}

// Asks as the merge does: both lines read, and name the same receptor; a
// line that does not read names none.
bool same(const std::string& line, const std::string& reference)
{
    DataLineParser parser(StandardFields{});
    float value = 0.0f;
    if (parser.read_values(plot_line(reference).data(), &value)) throw std::invalid_argument("the reference line does not parse");
    if (parser.read_values(plot_line(line).data(), &value)) return false;
    EXPECT_EQ(1.0f, value);
    return parser.same_receptor(plot_line(line).data(), plot_line(reference).data());
}

std::string receptor_line(std::string_view x, std::string_view y) { return line_at({{2, x}, {16, y}, {30, "1.0"}}); }

// Expected by the reading rules: five implied decimals without a point, blanks
// ignored, the exact decimal value of the text compared, not the nearest float.
TEST(Receptors, MatchWhenXAndYHoldTheSameDecimalValues)
{
    const struct {
        const char* x;
        const char* y;
        const char* other_x;
        const char* other_y;
        bool same;
    } pairs[] = {
        {"   1000.00000", "   2000.00000", "   1000.00000", "   2000.00000", true},
        {"1000.0", "2000.0", "   1000.00000", "2000.00000   ", true},
        {"100000000", "200000000", "1000.", "2000.", true},  // implied decimals
        {"1.0E3", "2.0D3", "1000", "2000", false},             // 1000 without a point is 0.01
        {"1.0E3", "2.0D3", "1.+3", "20.E2", true},
        {" 1 000.0", "2 000", "1000.", "0.02", true},
        {"-0.0", "0", "0.0", "-0", true},
        {"1000.00001", "5", "1000.", "5", false},              // one float, two decimals
        {"4425586.20194", "5", "4425586.2", "5", false},
        {"1000.", "2000.", "1000.", "2000.5", false},
        {"-1000.", "2000.", "1000.", "2000.", false},
        {"1000.", "-2000.", "1000.", "2000.", false},
        {"NaN", "1.", "nan", "1.", true},
        {"Inf", "1.", "1.E39", "1.", false},                   // 1.E39 is no infinity
        {"inf", "1.", "+INFINITY", "1.", true},
        {"inf", "1.", "-inf", "1.", false},
        {"1E39", "1.", "1.E34", "1.", true},  // implied decimals first: 1E39 is 1E34
        {"1x", "1.", "1.", "1.", false},
        {"1", "1.", "", "1.", false},
        {"", "", "0.", "-0.0E5", true},
    };
    for (const auto& pair : pairs) {
        const std::string line = receptor_line(pair.x, pair.y);
        const std::string other = receptor_line(pair.other_x, pair.other_y);
        EXPECT_EQ(pair.same, same(line, other)) << pair.x << ", " << pair.y << " / " << pair.other_x << ", "
                                                << pair.other_y;
        if (std::string_view(pair.x) != "1x") {  // a reference line is always a number
            EXPECT_EQ(pair.same, same(other, line)) << "the other way round: " << pair.x;
        }
    }
}

TEST(Receptors, LookOnlyAtTheColumnsOfXAndY)
{
    const std::string base = line_at({{2, "      1.25000"}, {16, "      2.50000"}, {30, "1.0"}, {72, "TAG"}});
    std::string marked = base;
    marked[0] = '*';   // column 1
    marked[14] = '|';  // the separator between x and y
    marked[28] = '|';  // the separator after y
    marked.replace(71, 3, "OTH");
    EXPECT_TRUE(same(marked, base));
    // A change in the first and last columns of x and of y.
    for (const std::size_t at : {1u, 13u, 15u, 27u}) {
        std::string changed = base;
        changed[at] = '1';
        EXPECT_FALSE(same(changed, base)) << at;
    }
}

// Each coordinate as the data line carries it, leading blanks dropped.
TEST(Receptors, AreDescribedAsTheDataLineWritesThem)
{
    const auto text = [](std::string_view x, std::string_view y) {
        return receptor_text(STANDARD_LAYOUT, plot_line(receptor_line(x, y)).data());
    };
    EXPECT_EQ("(1000.00000, 2000.00000)", text("1000.0", "200000000"));
    EXPECT_EQ("(1000.00000, 0.02000)", text("1.0E3", "2000"));
    EXPECT_EQ("(-250.50000, -0.00000)", text(" -2 50.5", "-0"));
    EXPECT_EQ("(0.00000, 0.00000)", text("", ""));
    EXPECT_EQ("(*************, 4108000.00000)", text("1.0E8", "4108000."));
    EXPECT_EQ("(*************, NaN)", text("1.E39", "nan"));
    EXPECT_EQ("(4425586.20194, -1249.68000)", text("4425586.20194", "-1249.68"));
    // Not numbers (never reported by the merge, which stops on them first): the bytes as they stand.
    EXPECT_EQ("(1x, \\x01)", text("1x", "\x01"));
    // In a declared layout, by its own fields.
    const PlotLayout& exponent_y = declared("(1X,F13.5,1X,E13.6,1X,F13.5)");
    EXPECT_EQ("(1000.00000, 0.200000E+04)", receptor_text(exponent_y, plot_line(receptor_line("1000.", "2000.")).data()));
}

}  // namespace
