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
