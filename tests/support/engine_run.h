// Helpers for tests that drive whole runs: a fixture that owns the settings,
// the run options, a recording host and a scratch folder, and writes the
// source file before each run; plus the expected-text builders the tests
// share.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "recording_host.h"
#include "run_driver.h"
#include "scratch_directory.h"
#include "vocabulary.h"

namespace drennix {

inline void PrintTo(MessageKind kind, std::ostream* os) {
    *os << (kind == MessageKind::Warning ? "Warning" : "Information");
}

namespace testing {

inline void PrintTo(const ShownMessage& m, std::ostream* os) {
    *os << (m.kind == MessageKind::Warning ? "Warning: " : "Information: ") << m.text;
}

// "元ﾌｧｲﾙの" + line + text: how every message about a source line begins.
inline std::string lineMessage(int line, std::string_view text) {
    return "元ﾌｧｲﾙの" + std::to_string(line) + std::string(text);
}

// The C library's "%.Nf" rendering, the reference for every fixed figure.
inline std::string fixed(double value, int decimals = 3) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    return buffer;
}

// The lines joined as the output file holds them: each ends with CR LF.
inline std::string crlfLines(std::initializer_list<std::string_view> lines) {
    std::string text;
    for (auto line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

inline std::vector<ShownMessage> warningOnly(std::string text) {
    return {{std::move(text), MessageKind::Warning}};
}
inline std::vector<ShownMessage> informationOnly(std::string text) {
    return {{std::move(text), MessageKind::Information}};
}

class EngineRunTest : public ::testing::Test {
protected:
    EngineRunTest() { resetToDefaults(settings); }

    // Writes `source` byte for byte as part.nc and runs it in `mode`.
    void run(std::string_view source, RunMode mode = RunMode::MachiningTime) {
        options.sourcePath = scratch.write("part.nc", source).string();
        execute(mode);
    }
    void execute(RunMode mode) {
        options.runMode = mode;
        RunDriver(settings).execute(options, host);
    }

    std::filesystem::path outputPath() const { return scratch / "part_con.nc"; }
    std::string output() const { return readBytes(outputPath()); }
    bool outputExists() const { return std::filesystem::exists(outputPath()); }
    const std::string& field(ResultField f) const { return host.field(f); }

    Settings settings;
    RunOptions options;
    RecordingHost host;
    ScratchDirectory scratch;
};

template <class Param>
class EngineRunTestWithParam : public EngineRunTest, public ::testing::WithParamInterface<Param> {};

// Names a parameterised case by its `name` member.
struct NameOfCase {
    template <class Param>
    std::string operator()(const ::testing::TestParamInfo<Param>& info) const {
        return info.param.name;
    }
};

}  // namespace testing
}  // namespace drennix
