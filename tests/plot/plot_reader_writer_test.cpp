#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "plot/plot_reader.hpp"
#include "plot/plot_writer.hpp"
#include "plot_test_support.hpp"

namespace {

std::vector<std::string> read_all_lines(const std::string& path)
{
    OpenFiles open_files;
    PlotReader file = open_plot_input(path, open_files);
    std::vector<std::string> lines;
    PlotLine line;
    while (read_plot_line(file, line)) lines.push_back(as_text(line));
    return lines;
}

std::vector<std::string> padded(std::initializer_list<std::string> texts)
{
    std::vector<std::string> lines;
    for (const std::string& text : texts) lines.push_back(as_text(plot_line(text)));
    return lines;
}

TEST(ReadingLines, EndAtLineFeedsAndCarriageReturnsWithinTheFirst120Bytes)
{
    const std::string x119(119, 'x');
    const std::string x120(120, 'x');
    const std::string x130(130, 'x');
    struct Case {
        std::string bytes;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"a\nb\n", padded({"a", "b"})},
        {"a\r\nb\r\n", padded({"a", "b"})},
        {"a\rb\n", padded({"a", "b"})},              // a lone CR: the bytes after it begin the next line
        {"a\r\r\nb", padded({"a", "", "b"})},       // the last line needs no LF
        {x119 + "\r\nn\n", padded({x119, "n"})},    // CR in column 120, then LF
        {x119 + "\rn\n", padded({x119, "n"})},      // lone CR in column 120
        {x120 + "\nn", padded({x120, "n"})},
        {x120 + "\r\nn\n", padded({x120, "n"})},    // a CR after 120 bytes goes with the rest of the line
        {x130 + "\rzz\nn\n", padded({x120, "n"})},
        {x130 + "\n\n", padded({x120, ""})},
        {"a\r", padded({"a"})},
        {x119 + "\r", padded({x119})},
        {"", {}},
        {"\n", padded({""})},
        {"\t\x01\xff\x7f *\n", padded({"\t\x01\xff\x7f *"})},  // no byte is converted
    };
    ScratchFolder folder;
    const std::string path = folder.file("lines.plt");
    for (const Case& c : cases) {
        write_file(path, c.bytes);
        EXPECT_EQ(c.lines, read_all_lines(path)) << "file of " << c.bytes.size() << " bytes";
    }
}

// The reader works through a buffer of 256 KiB: 2048 lines of 128 bytes end
// exactly at its end, a 300 KiB line is longer than it, and then come lines
// of every length up to 299 with LF or CRLF, to a few MiB in all.
TEST(ReadingLines, CrossBufferBoundariesInLargeFiles)
{
    std::string bytes;
    std::vector<std::string> expected;
    for (int i = 0; i < 2048; ++i) {
        const std::string text = std::to_string(i) + std::string(127 - std::to_string(i).size(), 'a');
        bytes += text + "\n";
        expected.push_back(text.substr(0, 120));
    }
    bytes += "head" + std::string(300 * 1024, 'L') + "\n";
    expected.push_back("head" + std::string(116, 'L'));
    for (int i = 0; bytes.size() < 3 * 1024 * 1024; ++i) {
        const std::size_t length = static_cast<std::size_t>(i * 37) % 300;
        std::string text(length, static_cast<char>('A' + i % 26));
        if (length > 0) text[0] = '#';
        bytes += text + (i % 2 == 0 ? "\n" : "\r\n");
        expected.push_back(text.substr(0, std::min<std::size_t>(length, 120)));
    }
    for (std::string& line : expected) line = as_text(plot_line(line));

    ScratchFolder folder;
    write_file(folder.file("large.plt"), bytes);
    const std::vector<std::string> lines = read_all_lines(folder.file("large.plt"));
    ASSERT_EQ(expected.size(), lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) ASSERT_EQ(expected[i], lines[i]) << "line " << i + 1;

    // A CR in column 120 that is the last byte of the first buffer, its LF the first of the next.
    const std::string x119(119, 'x');
    write_file(folder.file("split.plt"), std::string(262023, 'f') + "\n" + x119 + "\r\nn\n");
    EXPECT_EQ(padded({std::string(120, 'f'), x119, "n"}), read_all_lines(folder.file("split.plt")));
}

// A file beyond 2 GiB, mostly a hole: a first line that long is skipped to
// its LF, and the lines after it are read as usual.
TEST(ReadingLines, ReadPastTwoGibibytes)
{
    ScratchFolder folder;
    const std::string path = folder.file("huge.plt");
    write_file(path, "*");
    constexpr std::uintmax_t kHole = (std::uintmax_t{5} << 29);  // 2.5 GiB
    std::filesystem::resize_file(path, kHole);
    {
        std::ofstream out(path, std::ios::binary | std::ios::app);
        out << "\nafter the hole\n";
    }
    const std::vector<std::string> lines = read_all_lines(path);
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ(as_text(plot_line("*" + std::string(119, '\0'))), lines[0]);
    EXPECT_EQ(as_text(plot_line("after the hole")), lines[1]);
}

TEST(OpeningPlotFiles, CreatesAMissingInputEmptyUnderItsNameWithoutTrailingBlanks)
{
    ScratchFolder folder;
    OpenFiles open_files;
    PlotReader file = open_plot_input(folder.file("new.plt") + "   ", open_files);
    PlotLine line;
    EXPECT_FALSE(read_plot_line(file, line));
    EXPECT_TRUE(std::filesystem::exists(folder.file("new.plt")));
    EXPECT_EQ(0u, std::filesystem::file_size(folder.file("new.plt")));
}

TEST(OpeningPlotFiles, FailsForADirectoryAMissingDirectoryAnEmptyNameAndANulByte)
{
    ScratchFolder folder;
    std::filesystem::create_directory(folder.file("dir"));
    const std::string names[] = {folder.file("dir"), folder.file("missing/a.plt"), "", std::string(120, ' '),
                                 folder.file("a") + std::string(1, '\0') + "b"};
    OpenFiles open_files;
    for (const std::string& name : names) {
        EXPECT_THROW(open_plot_input(name, open_files), RunFailure) << name;
        EXPECT_THROW(open_plot_output(name, open_files), RunFailure) << name;
    }
    EXPECT_FALSE(std::filesystem::exists(folder.file("a")));
}

TEST(OpeningPlotFiles, RefusesAFileAlreadyOpenUnderAnotherName)
{
    ScratchFolder folder;
    const std::string original = folder.file("a.plt");
    write_file(original, "line\n");
    std::filesystem::create_hard_link(original, folder.file("hard.plt"));
    OpenFiles open_files;
    {
        PlotReader first = open_plot_input(original, open_files);
        for (const std::string& other : {original, folder.file("hard.plt"), folder.file(".") + "/a.plt"}) {
            EXPECT_THROW(open_plot_input(other, open_files), RunFailure) << other;
            EXPECT_THROW(open_plot_output(other, open_files), RunFailure) << other;
        }
    }
    // Closed again, the file may be opened under any of its names.
    EXPECT_NO_THROW(open_plot_input(folder.file("hard.plt"), open_files));
}

TEST(OpeningPlotFiles, RefusesAFileAlreadyOpenThroughASymbolicLink)
{
    ScratchFolder folder;
    const std::string original = folder.file("a.plt");
    write_file(original, "line\n");
    std::error_code refused;
    std::filesystem::create_symlink(original, folder.file("soft.plt"), refused);
    if (refused) GTEST_SKIP() << "this system cannot make a symbolic link: " << refused.message();
    OpenFiles open_files;
    {
        PlotReader first = open_plot_input(original, open_files);
        EXPECT_THROW(open_plot_input(folder.file("soft.plt"), open_files), RunFailure);
        EXPECT_THROW(open_plot_output(folder.file("soft.plt"), open_files), RunFailure);
    }
    EXPECT_NO_THROW(open_plot_input(folder.file("soft.plt"), open_files));
}

// The open for a file that must already be there: read-only, never creating.
TEST(OpeningExistingPlotFiles, ReadsAnExistingFileUnderItsNameExactly)
{
#if defined(_WIN32)
    GTEST_SKIP() << "Windows drops the trailing blanks of a file name, so a.plt and 'a.plt ' are one file";
#endif
    ScratchFolder folder;
    write_file(folder.file("a.plt "), "kept\n");
    write_file(folder.file("a.plt"), "other\n");
    OpenFiles open_files;
    PlotReader file = open_existing_plot_file(folder.file("a.plt "), open_files);  // the trailing blank belongs to the name
    PlotLine line;
    ASSERT_TRUE(read_plot_line(file, line));
    EXPECT_EQ(as_text(plot_line("kept")), as_text(line));
}

TEST(OpeningExistingPlotFiles, FailsWithTheSystemsCauseAndCreatesNothing)
{
    ScratchFolder folder;
    const struct {
        std::string name;
        std::string cause;
    } cases[] = {
        {folder.file("absent.plt"), "No such file or directory"},
        {folder.file("missing/a.plt"), "No such file or directory"},
        {"", "No such file or directory"},
    };
    OpenFiles open_files;
    for (const auto& c : cases) {
        try {
            open_existing_plot_file(c.name, open_files);
            ADD_FAILURE() << c.name << " opened";
        } catch (const RunFailure& failure) {
#if defined(_WIN32)
            // The cause is Windows' own message text, which differs between versions (and Wine).
            const std::string start = "opening '" + c.name + "': ";
            EXPECT_EQ(start, std::string(failure.what()).substr(0, start.size()));
            EXPECT_GT(std::string(failure.what()).size(), start.size());
#else
            EXPECT_EQ("opening '" + c.name + "': " + c.cause, std::string(failure.what()));
#endif
        }
    }
    EXPECT_FALSE(std::filesystem::exists(folder.file("absent.plt")));
    EXPECT_FALSE(std::filesystem::exists(folder.file("missing")));
}

TEST(OpeningExistingPlotFiles, RefusesAFileAlreadyOpen)
{
    ScratchFolder folder;
    write_file(folder.file("a.plt"), "line\n");
    OpenFiles open_files;
    PlotReader first = open_existing_plot_file(folder.file("a.plt"), open_files);
    EXPECT_THROW(open_plot_output(folder.file("a.plt"), open_files), RunFailure);
    EXPECT_THROW(open_existing_plot_file(folder.file("a.plt"), open_files), RunFailure);
}

TEST(OpeningPlotFiles, OutputKeepsOldContentUntilItsFirstLineThenHoldsExactlyTheLinesWritten)
{
    ScratchFolder folder;
    const std::string old_content = "old first line\n" + std::string(1000, 'o') + "\nold last line\n";
    const std::string untouched = folder.file("untouched.plt");
    const std::string rewritten = folder.file("rewritten.plt");
    write_file(untouched, old_content);
    write_file(rewritten, old_content);

    OpenFiles open_files;
    open_plot_output(untouched, open_files).close();
    EXPECT_EQ(old_content, read_file(untouched));

    PlotWriter output = open_plot_output(rewritten, open_files);
    const PlotLine header = plot_line("* header");
    write_header_line(output, header.data(), LINE_WIDTH);
    const std::string header_text = as_text(header) + "\n";
    EXPECT_EQ(header_text, read_file(rewritten));  // cut just after the first line, before closing

    std::string data_line = "a data line of twenty";
    write_data_line(output, data_line.data(), 20);  // the LF takes the place of the last byte
    output.close();
    EXPECT_EQ(header_text + "a data line of twent\n", read_file(rewritten));
}

// Lines written after the first go through a buffer of 256 KiB; a write of
// more lines than it holds at once goes out whole, in order.
TEST(WritingLines, WritesMoreThanTheBufferHoldsAtOnce)
{
    ScratchFolder folder;
    const std::string path = folder.file("big.plt");
    std::string many_lines;
    for (int i = 0; many_lines.size() < 300 * 1024; ++i) many_lines += "line " + std::to_string(i) + "\n";
    OpenFiles open_files;
    PlotWriter output = open_plot_output(path, open_files);
    output.write("first\n", 6);
    output.write("second\n", 7);
    output.write(many_lines.data(), many_lines.size());
    output.write("last\n", 5);
    output.close();
    EXPECT_EQ("first\nsecond\n" + many_lines + "last\n", read_file(path));
}

}  // namespace
