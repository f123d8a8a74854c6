// The scratch folder the tests and the benchmarks share: a fresh, empty
// folder each time, named without a ".", and gone afterwards with whatever
// a test left in it, even when the test took the write permission away.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "scratch_directory.h"

namespace drennix::testing {
namespace {

namespace fs = std::filesystem;

TEST(ScratchDirectory, IsNewEmptyAndNamedByItsPrefixWithoutDots)
{
    const ScratchDirectory first;
    const ScratchDirectory second("drennix-bench-");
    EXPECT_NE(first.path(), second.path());
    for (const ScratchDirectory* scratch : {&first, &second}) {
        EXPECT_TRUE(fs::is_directory(scratch->path()));
        EXPECT_TRUE(fs::is_empty(scratch->path()));
        EXPECT_EQ(scratch->path().filename().string().find('.'), std::string::npos);
    }
    EXPECT_TRUE(second.path().filename().string().starts_with("drennix-bench-"));
}

TEST(ScratchDirectory, WritesAndReadsBytesExactly)
{
    const ScratchDirectory scratch;
    const std::string bytes("G1X1.\r\n\0\x8A\xBF\n", 11);
    const fs::path file = scratch.write("part.nc", bytes);
    EXPECT_EQ(file, scratch / "part.nc");
    EXPECT_EQ(readBytes(file), bytes);
    EXPECT_EQ(readBytes(scratch / "missing.nc"), "");
}

TEST(ScratchDirectory, GoesWithItsContentEvenWhenMadeReadOnly)
{
    fs::path root;
    {
        const ScratchDirectory scratch;
        root = scratch.path();
        fs::create_directories(scratch / "nested/deeper");
        scratch.write("nested/deeper/file.nc", "M30\n");
        scratch.write("top.nc", "M30\n");
        fs::permissions(root, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
    }
    EXPECT_FALSE(fs::exists(root));
}

TEST(ScratchDirectory, ThrowsWhenTheFolderCannotBeMade)
{
    EXPECT_THROW(ScratchDirectory("no-such-folder/scratch-"), fs::filesystem_error);
}

}  // namespace
}  // namespace drennix::testing
