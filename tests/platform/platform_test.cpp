#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "../plot/plot_test_support.hpp"
#include "diagnostics.hpp"
#include "platform/platform.hpp"
#include "run_failure.hpp"

namespace {

using platform::Access;
using platform::OpenedFile;
using platform::Use;

OpenedFile open_or_fail(const std::string& name, Use use = Use::Input)
{
    OpenedFile opened;
    const auto error = platform::open_by_rule(name, use, opened);
    if (error) ADD_FAILURE() << name << ": " << platform::error_text(*error);
    return opened;
}

std::string read_everything(platform::FileHandle file)
{
    std::string text;
    char buffer[7];  // small, so that several reads are needed
    for (;;) {
        std::size_t count = 0;
        if (platform::read_some(file, buffer, sizeof buffer, count)) {
            ADD_FAILURE() << "read refused";
            return text;
        }
        if (count == 0) return text;
        text.append(buffer, count);
    }
}

TEST(PlatformFiles, OpenReadWriteWithoutTruncatingAndCreateWhenAbsent)
{
    ScratchFolder folder;
    const std::string existing = folder.file("old.plt");
    write_file(existing, "kept bytes\n");

    OpenedFile opened = open_or_fail(existing);
    EXPECT_EQ(Access::ReadWrite, opened.access);
    EXPECT_TRUE(opened.regular);
    EXPECT_EQ("kept bytes\n", read_everything(opened.handle));
    EXPECT_FALSE(platform::close_file(opened.handle));

    opened = open_or_fail(folder.file("new.plt"), Use::Output);
    EXPECT_EQ(Access::ReadWrite, opened.access);
    EXPECT_EQ("", read_everything(opened.handle));
    EXPECT_FALSE(platform::close_file(opened.handle));
    EXPECT_TRUE(std::filesystem::exists(folder.file("new.plt")));
}

TEST(PlatformFiles, RefuseFoldersMissingFoldersAndEmptyNames)
{
    ScratchFolder folder;
    std::filesystem::create_directory(folder.file("dir"));
    for (const std::string& name : {folder.file("dir"), folder.file("missing/a.plt"), std::string()}) {
        OpenedFile opened;
        const auto error = platform::open_by_rule(name, Use::Output, opened);
        ASSERT_TRUE(error) << name;
        EXPECT_FALSE(opened.handle.is_open());
        const std::string text = platform::error_text(*error);
        EXPECT_FALSE(text.empty());
        EXPECT_EQ(std::string::npos, text.find_first_of("\r\n")) << text;
    }
    EXPECT_FALSE(std::filesystem::exists(folder.file("missing")));
}

TEST(PlatformFiles, OpenExistingForReadingNeverCreates)
{
    ScratchFolder folder;
    OpenedFile opened;
    EXPECT_TRUE(platform::open_existing_for_reading(folder.file("absent.plt"), opened));
    EXPECT_FALSE(std::filesystem::exists(folder.file("absent.plt")));

    write_file(folder.file("there.plt"), "abc");
    ASSERT_FALSE(platform::open_existing_for_reading(folder.file("there.plt"), opened));
    EXPECT_EQ(Access::ReadOnly, opened.access);
    EXPECT_EQ("abc", read_everything(opened.handle));
    std::size_t written = 0;
    EXPECT_TRUE(platform::write_all(opened.handle, "x", 1, written));
    EXPECT_EQ(0u, written);
    platform::close_file(opened.handle);
    EXPECT_EQ("abc", read_file(folder.file("there.plt")));
}

// The identity comes from the open file: two names of one file agree, two
// files with the same content do not, and an unknown identity matches nothing.
TEST(PlatformFiles, IdentityTellsFilesApartWhateverTheirNames)
{
    ScratchFolder folder;
    write_file(folder.file("a.plt"), "same\n");
    write_file(folder.file("b.plt"), "same\n");
    std::filesystem::create_hard_link(folder.file("a.plt"), folder.file("a-link.plt"));

    const OpenedFile a = open_or_fail(folder.file("a.plt"));
    const OpenedFile a_link = open_or_fail(folder.file("a-link.plt"));
    const OpenedFile b = open_or_fail(folder.file("b.plt"));
    EXPECT_TRUE(a.identity.same_file_as(a_link.identity));
    EXPECT_FALSE(a.identity.same_file_as(b.identity));
    EXPECT_FALSE(platform::FileIdentity().same_file_as(platform::FileIdentity()));
    EXPECT_FALSE(platform::FileIdentity().same_file_as(a.identity));
    for (const OpenedFile& file : {a, a_link, b}) platform::close_file(file.handle);

    // A new file put in place of a name is a different file.
    std::filesystem::remove(folder.file("a.plt"));
    write_file(folder.file("a.plt"), "new\n");
    const OpenedFile replaced = open_or_fail(folder.file("a.plt"));
    EXPECT_FALSE(replaced.identity.same_file_as(a.identity));
    platform::close_file(replaced.handle);
}

TEST(PlatformFiles, WriteAllThenCutKeepsExactlyTheBytesWritten)
{
    ScratchFolder folder;
    const std::string path = folder.file("out.plt");
    write_file(path, std::string(5000, 'o'));
    const OpenedFile out = open_or_fail(path, Use::Output);

    const std::string line = std::string(120, 'L') + "\n";
    std::size_t written = 0;
    ASSERT_FALSE(platform::write_all(out.handle, line.data(), line.size(), written));
    EXPECT_EQ(line.size(), written);
    ASSERT_FALSE(platform::cut_file(out.handle, written));
    EXPECT_EQ(line, read_file(path));

    // The cut leaves the position of the next write where it was.
    ASSERT_FALSE(platform::write_all(out.handle, "tail\n", 5, written));
    ASSERT_FALSE(platform::close_file(out.handle));
    EXPECT_EQ(line + "tail\n", read_file(path));
}

// Lengths past 4 GiB need 64-bit offsets; the file is a hole, so this is quick.
TEST(PlatformFiles, CutToALengthBeyondFourGibibytes)
{
    ScratchFolder folder;
    const std::string path = folder.file("big.plt");
    const OpenedFile out = open_or_fail(path, Use::Output);
    constexpr std::uint64_t kLength = (std::uint64_t{9} << 29) + 3;  // 4.5 GiB and 3 bytes
    if (const auto error = platform::cut_file(out.handle, kLength)) {
        platform::close_file(out.handle);
        GTEST_SKIP() << "the file system refused a file of 4.5 GiB: " << platform::error_text(*error);
    }
    std::size_t written = 0;
    ASSERT_FALSE(platform::write_all(out.handle, "x", 1, written));  // at the start: the cut moved nothing
    ASSERT_FALSE(platform::close_file(out.handle));
    EXPECT_EQ(kLength, std::filesystem::file_size(path));
    std::ifstream in(path, std::ios::binary);
    EXPECT_EQ('x', in.get());
}

// Diagnostics show names readably: Windows paths keep their backslashes,
// control and non-ASCII bytes are escaped, and only an escape reads as one.
TEST(Diagnostics, ShowNamesReadablyAndUnambiguously)
{
    EXPECT_EQ("C:\\data\\run1.plt", printable("C:\\data\\run1.plt"));
    EXPECT_EQ("a\\x5cx01", printable("a\\x01"));  // typed as backslash, x, 0, 1
    EXPECT_EQ("a\\x01", printable("a\x01"));       // the control byte 1
    EXPECT_EQ("\\x0d\\x0a\\xe9 end\\", printable("\r\n\xe9 end\\"));
    const RunFailure failure("opening", "dir\\x\n.plt", "cause");
    EXPECT_STREQ("opening 'dir\\x5cx\\x0a.plt': cause", failure.what());
}

}  // namespace
