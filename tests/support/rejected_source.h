// One parameterised test for sources that a run must reject: each area that
// owns rules includes this once and instantiates RejectedSource with its
// table. In every mode the block stops the run with its message, nothing is
// shown or written, and the line count names the rejected line.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "engine_run.h"

namespace drennix::testing {

struct Rejection {
    std::string name;
    std::string source;
    int line;
    std::string message;  // the whole text
};

// A rejection whose message is "元ﾌｧｲﾙの" + line + text + "\n　変換はしていません。".
inline Rejection rejected(std::string name, std::string source, int line, std::string_view text)
{
    return {std::move(name), std::move(source), line, lineMessage(line, text)};
}

class RejectedSource : public EngineRunTestWithParam<Rejection> {};

TEST_P(RejectedSource, StopsTheRunWithItsLineMessage)
{
    for (RunMode mode : {RunMode::MachiningTime, RunMode::ConvertArcs}) {
        run(GetParam().source, mode);
        EXPECT_EQ(host.messages, warningOnly(GetParam().message));
        EXPECT_EQ(host.results, std::nullopt);
        EXPECT_EQ(field(ResultField::LineCount), std::to_string(GetParam().line));
        EXPECT_FALSE(std::filesystem::exists(outputPath()));
    }
}

}  // namespace drennix::testing
