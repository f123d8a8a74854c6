// The benchmark programs go through the engine with its default settings, and
// what a converting run writes reads back as a program without the arcs it
// replaced.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "null_run_host.h"
#include "program_generator.h"
#include "run_driver.h"
#include "scratch_folder.h"
#include "vocabulary.h"

namespace drennix::bench {
namespace {

class GeneratedProgramRun : public ::testing::Test {
protected:
    void SetUp() override {
        resetToDefaults(settings_);
        std::ofstream(source_, std::ios::binary) << generateProgramText({1'000'000, 5});
    }

    NullRunHost run(const std::filesystem::path& source, RunMode mode) {
        RunOptions options;
        options.sourcePath = source.string();
        options.runMode = mode;
        NullRunHost host;
        RunDriver(settings_).execute(options, host);
        return host;
    }

    Settings settings_;
    ScratchFolder folder_{"drennix-bench-test-"};
    std::filesystem::path source_ = folder_.path() / "program.nc";
};

TEST_F(GeneratedProgramRun, MachiningTimeAndAbsoluteDisplayAgree) {
    const NullRunHost time = run(source_, RunMode::MachiningTime);
    ASSERT_TRUE(time.endedWell()) << time.lastMessage();
    EXPECT_EQ(time.lastMessage(), "計算しました。");
    EXPECT_NE(time.results()[ResultField::ArcCount], "0");
    EXPECT_NE(time.results()[ResultField::HelicalCount], "0");

    const NullRunHost absolute = run(source_, RunMode::AbsoluteDisplay);
    ASSERT_TRUE(absolute.endedWell()) << absolute.lastMessage();
    EXPECT_EQ(absolute.results(), time.results());
}

TEST_F(GeneratedProgramRun, ConvertedHelicalsLeaveThePlainArcs) {
    const NullRunHost original = run(source_, RunMode::MachiningTime);
    const NullRunHost conversion = run(source_, RunMode::ConvertHelical);
    ASSERT_TRUE(conversion.endedWell()) << conversion.lastMessage();
    ASSERT_TRUE(std::filesystem::exists(conversion.outputPath()));

    const NullRunHost converted = run(conversion.outputPath(), RunMode::MachiningTime);
    ASSERT_TRUE(converted.endedWell()) << converted.lastMessage();
    EXPECT_EQ(converted.results()[ResultField::HelicalCount], "0");
    EXPECT_EQ(converted.results()[ResultField::ArcCount], original.results()[ResultField::ArcCount]);
    EXPECT_EQ(converted.results()[ResultField::RapidDistance], original.results()[ResultField::RapidDistance]);
}

TEST_F(GeneratedProgramRun, ConvertedArcsLeaveNoArc) {
    const NullRunHost original = run(source_, RunMode::MachiningTime);
    const NullRunHost conversion = run(source_, RunMode::ConvertArcs);
    ASSERT_TRUE(conversion.endedWell()) << conversion.lastMessage();
    ASSERT_TRUE(std::filesystem::exists(conversion.outputPath()));

    const NullRunHost converted = run(conversion.outputPath(), RunMode::MachiningTime);
    ASSERT_TRUE(converted.endedWell()) << converted.lastMessage();
    EXPECT_EQ(converted.results()[ResultField::ArcCount], "0");
    EXPECT_EQ(converted.results()[ResultField::HelicalCount], "0");
    EXPECT_EQ(converted.results()[ResultField::RapidDistance], original.results()[ResultField::RapidDistance]);
}

}  // namespace
}  // namespace drennix::bench
