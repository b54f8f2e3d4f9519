#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "map/command_line.hpp"

namespace {

MapOptions parse(std::vector<std::string_view> arguments) { return parse_command_line(arguments); }

std::string refusal(std::vector<std::string_view> arguments)
{
    try {
        parse_command_line(arguments);
    } catch (const UsageError& error) {
        return error.detail;
    }
    return "(accepted)";
}

TEST(CommandLine, TakesAFileWithDefaults)
{
    const MapOptions options = parse({"RISK.PLT"});
    EXPECT_EQ("RISK.PLT", options.input);
    EXPECT_FALSE(options.output);
    EXPECT_EQ(10u, options.top_count);
    EXPECT_EQ(ScaleChoice::Automatic, options.scale);
    EXPECT_FALSE(options.title);
    EXPECT_FALSE(options.help);
}

TEST(CommandLine, TakesOptionValuesAttachedOrAsTheNextArgument)
{
    MapOptions options = parse({"-o", "out.svg", "--top", "3", "--title", "Annual mean", "--log", "a.plt"});
    EXPECT_EQ("out.svg", options.output);
    EXPECT_EQ(3u, options.top_count);
    EXPECT_EQ("Annual mean", options.title);
    EXPECT_EQ(ScaleChoice::Logarithmic, options.scale);
    EXPECT_EQ("a.plt", options.input);
    options = parse({"a.plt", "-o-", "--top=0", "--title=", "--linear", "--output=x"});
    EXPECT_EQ("x", options.output);
    EXPECT_EQ(0u, options.top_count);
    EXPECT_EQ("", options.title);
    EXPECT_EQ(ScaleChoice::Linear, options.scale);
    EXPECT_EQ("-", parse({"-o", "-", "a.plt"}).output);
}

TEST(CommandLine, TakesTheOptionsOfReportsAndExports)
{
    const MapOptions options = parse({"--field", "3", "--levels=50,1e1,-2.5,10.0", "--csv", "a.csv", "--csv-separator", ";",
                                      "--geojson=a.json", "--crs", "epsg:32633", "a.plt"});
    EXPECT_EQ(3u, options.value_field);
    // Sorted, 10 given twice kept once, each with the exact decimal of its text.
    ASSERT_EQ(3u, options.levels.size());
    EXPECT_EQ(-2.5f, options.levels[0].value);
    EXPECT_EQ("-2.5", options.levels[0].decimal);
    EXPECT_EQ("10", options.levels[1].decimal);
    EXPECT_EQ(50.0f, options.levels[2].value);
    EXPECT_EQ("a.csv", options.csv);
    EXPECT_EQ(';', options.csv_separator);
    EXPECT_EQ("a.json", options.geojson);
    EXPECT_EQ("EPSG:32633", options.crs);
    EXPECT_FALSE(options.writes_standard_output());
    EXPECT_TRUE(parse({"--csv", "-", "a.plt"}).writes_standard_output());
    EXPECT_EQ(',', parse({"--csv", "-", "a.plt"}).csv_separator);
    EXPECT_EQ(1u, parse({"a.plt"}).value_field);
}

TEST(CommandLine, TakesDashAndAnythingAfterTwoDashesAsTheFile)
{
    EXPECT_EQ("-", parse({"-"}).input);
    EXPECT_EQ("--log", parse({"--", "--log"}).input);
    EXPECT_EQ(ScaleChoice::Automatic, parse({"--", "--log"}).scale);
}

TEST(CommandLine, AnswersHelpAndVersionWithoutAFile)
{
    EXPECT_TRUE(parse({"--help"}).help);
    EXPECT_TRUE(parse({"--version"}).version);
    EXPECT_TRUE(help_text().starts_with(USAGE));
}

TEST(CommandLine, RefusesWhatItCannotFollow)
{
    const std::string prefix = "reading the command line: ";
    EXPECT_EQ(prefix + "no FILE to map", refusal({}));
    EXPECT_EQ(prefix + "no FILE to map", refusal({"--top", "3"}));
    EXPECT_EQ(prefix + "only one FILE can be mapped, but 'b.plt' is a second", refusal({"a.plt", "b.plt"}));
    EXPECT_EQ(prefix + "unknown option '--colour'", refusal({"--colour", "a.plt"}));
    EXPECT_EQ(prefix + "unknown option '-x'", refusal({"-x", "a.plt"}));
    EXPECT_EQ(prefix + "--top needs a count of 0 or more, not '-1'", refusal({"--top", "-1", "a.plt"}));
    EXPECT_EQ(prefix + "--top needs a count of 0 or more, not '3x'", refusal({"--top=3x", "a.plt"}));
    EXPECT_EQ(prefix + "--top needs a count of 0 or more, not ''", refusal({"--top=", "a.plt"}));
    EXPECT_EQ(prefix + "--top needs a count of 0 or more, not '99999999999999999999999'",
              refusal({"--top", "99999999999999999999999", "a.plt"}));
    EXPECT_EQ(prefix + "--title needs a value", refusal({"a.plt", "--title"}));
    EXPECT_EQ(prefix + "-o needs a file name", refusal({"-o", "", "a.plt"}));
    EXPECT_EQ(prefix + "--log and --linear exclude each other", refusal({"--log", "--linear", "a.plt"}));
    EXPECT_EQ(prefix + "--log takes no value", refusal({"--log=yes", "a.plt"}));
    EXPECT_EQ(prefix + "--field needs a number of 1 or more, not '0'", refusal({"--field", "0", "a.plt"}));
    EXPECT_EQ(prefix + "--levels needs numbers separated by commas, such as 10,20,50, and '' is not a number",
              refusal({"--levels", "10,,20", "a.plt"}));
    EXPECT_EQ(prefix + "--levels needs numbers separated by commas, such as 10,20,50, and 'NaN' is not a number",
              refusal({"--levels", "NaN", "a.plt"}));
    EXPECT_EQ(prefix + "--levels needs finite numbers, and '1e39' is too large", refusal({"--levels", "1e39", "a.plt"}));
    EXPECT_EQ(prefix + "--levels colours the map by the classes between the levels; --log and --linear do not go with it",
              refusal({"--levels", "1", "--log", "a.plt"}));
    EXPECT_EQ(prefix + "--csv-separator takes ',' or ';', not '\\t'", refusal({"--csv", "a.csv", "--csv-separator", "\\t", "a.plt"}));
    EXPECT_EQ(prefix + "--csv-separator sets the separator of --csv, which is not given", refusal({"--csv-separator", ";", "a.plt"}));
    EXPECT_EQ(prefix + "--crs needs a code such as EPSG:32633, not 'UTM33'", refusal({"--geojson", "a.json", "--crs", "UTM33", "a.plt"}));
    EXPECT_EQ(prefix + "--crs names the coordinates of --geojson, which is not given", refusal({"--crs", "EPSG:4326", "a.plt"}));
    EXPECT_EQ(prefix + "--csv needs a file name", refusal({"--csv=", "a.plt"}));
    EXPECT_EQ(prefix + "only one of -o, --csv and --geojson can write to standard output (-)",
              refusal({"-o", "-", "--geojson", "-", "a.plt"}));
}

TEST(DefaultMapName, DropsTheFolderAndReplacesTheExtension)
{
    EXPECT_EQ("RISK.svg", default_map_name("RISK.PLT"));
    EXPECT_EQ("run1.svg", default_map_name("examples/run1.plt"));
    EXPECT_EQ("run1.svg", default_map_name("C:\\runs\\run1.plt"));
    EXPECT_EQ("a.b.svg", default_map_name("a.b.plt"));
    EXPECT_EQ("noext.svg", default_map_name("dir.d/noext"));
    EXPECT_EQ(".hidden.svg", default_map_name(".hidden"));
    EXPECT_EQ("", default_map_name("dir/"));
    EXPECT_EQ("", default_map_name(".."));
}

}  // namespace
