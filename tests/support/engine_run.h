// Helpers for tests that drive whole runs: a fixture owning the settings, the
// run options, a recording host and a scratch folder, which writes the source
// before each run, and the shared text builders.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "recording_host.h"
#include "run_driver.h"
#include "scratch_directory.h"
#include "vocabulary.h"

namespace drennix {

inline void PrintTo(MessageKind kind, std::ostream* os)
{
    *os << (kind == MessageKind::Warning ? "Warning" : "Information");
}

namespace testing {

inline void PrintTo(const ShownMessage& m, std::ostream* os)
{
    *os << (m.kind == MessageKind::Warning ? "Warning: " : "Information: ") << m.text;
}

// How most line messages end: a line break, the ideographic space and
// "nothing converted".
inline const std::string kNotConverted = "\n　変換はしていません。";

// "元ﾌｧｲﾙの" + line + text + "\n　変換はしていません。".
inline std::string lineMessage(int line, std::string_view text)
{
    return "元ﾌｧｲﾙの" + std::to_string(line) + std::string(text) + kNotConverted;
}

// The C library's "%.Nf", the reference for every fixed figure.
inline std::string fixed(double value, int decimals = 3)
{
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    return buffer;
}

inline std::vector<ShownMessage> warningOnly(std::string text)
{
    return {{std::move(text), MessageKind::Warning}};
}
inline std::vector<ShownMessage> informationOnly(std::string text)
{
    return {{std::move(text), MessageKind::Information}};
}
inline const std::vector<ShownMessage> kCalculated = informationOnly("計算しました。");

class EngineRunTest : public ::testing::Test {
protected:
    EngineRunTest() { resetToDefaults(settings); }

    // Writes `source` byte for byte as part.nc and runs it in `mode` with a
    // fresh host.
    void run(std::string_view source, RunMode mode = RunMode::MachiningTime)
    {
        options.sourcePath = scratch.write("part.nc", source).string();
        execute(mode);
    }
    void execute(RunMode mode)
    {
        const int abort = host.abortOnPoll;
        const bool moves = host.listensToMoves;
        host = RecordingHost{};
        host.abortOnPoll = abort;
        host.listensToMoves = moves;
        options.runMode = mode;
        returned = RunDriver(settings).execute(options, host);
    }

    std::filesystem::path outputPath() const { return scratch / "part_con.nc"; }
    std::string output() const { return readBytes(outputPath()); }
    std::string created() const { return outputPath().string() + "\n　を作成しました。"; }
    const std::string& field(ResultField f) const { return host.field(f); }

    Settings settings;
    RunOptions options;
    RecordingHost host;
    RunResult returned;  // what execute returned
    ScratchDirectory scratch;
};

template <class Param>
class EngineRunTestWithParam : public EngineRunTest, public ::testing::WithParamInterface<Param> {};

struct NameOfCase {
    template <class Param>
    std::string operator()(const ::testing::TestParamInfo<Param>& info) const
    {
        return info.param.name;
    }
};

}  // namespace testing
}  // namespace drennix
