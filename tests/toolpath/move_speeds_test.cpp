// The speed colours of the toolpath: the recorder of an estimating run gives
// every move a band, slow corners and short moves fall into the slow bands,
// and a run that does not estimate has none.
#include <gtest/gtest.h>

#include <string_view>

#include "output_store.h"
#include "recorder_listener.h"
#include "run_driver.h"
#include "toolpath_recorder.h"

namespace drennix::toolpath {
namespace {

std::shared_ptr<ToolpathRun> recordRun(std::string_view program, bool estimate)
{
    Settings settings;
    resetToDefaults(settings);
    RunOptions options;
    options.sourcePath = "program.nc";
    options.estimate = estimate;
    ToolpathRecorder recorder(settings, options);
    RecorderListener listener(recorder);
    MemoryOutputStore output;
    const RunResult result = RunDriver(settings).execute(options, listener, program, output);
    EXPECT_TRUE(result.finished());
    return recorder.finish(result);
}

TEST(MoveSpeeds, BandsRunFromFullSpeedToAQuarter)
{
    EXPECT_EQ(speedBand(1.0), 0);
    EXPECT_EQ(speedBand(0.9), 0);
    EXPECT_EQ(speedBand(0.89), 1);
    EXPECT_EQ(speedBand(0.5), 1);
    EXPECT_EQ(speedBand(0.3), 2);
    EXPECT_EQ(speedBand(0.1), 3);
}

TEST(MoveSpeeds, AnEstimatingRunBandsEveryMoveByTheSpeedItReaches)
{
    // A long cut reaches its feed; a 0.01 mm cut between reversals does not.
    const auto run = recordRun("G1X100.F3000.\nG1X100.01\nG1X100.\nG1Y100.\n", true);
    ASSERT_TRUE(run->speeds.has_value());
    ASSERT_EQ(run->speeds->size(), run->moves.moveCount());
    EXPECT_EQ(run->speeds->bands()[0], 0);
    EXPECT_EQ(run->speeds->bands()[1], 3);
    EXPECT_EQ(run->speeds->bands()[3], 0);

    EXPECT_FALSE(recordRun("G1X100.F3000.\n", false)->speeds.has_value());
}

}  // namespace
}  // namespace drennix::toolpath
