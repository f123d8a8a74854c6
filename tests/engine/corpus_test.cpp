// Every real NC program of the shared corpus in every run mode: the run ends
// with exactly one message, keeps its wait balanced and the source unchanged,
// reports every file it creates, and fills every result field when it
// finishes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>
#include <vector>

#include "engine_run.h"

namespace drennix::testing {
namespace {

std::filesystem::path corpusDirectory()
{
    return DRENNIX_CORPUS_DIR;
}

std::vector<std::string> corpusFiles()
{
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(corpusDirectory(), error))
        if (entry.is_regular_file()) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    if (names.empty()) names.push_back("");  // one case, which skips
    return names;
}

class CorpusProgram : public EngineRunTestWithParam<std::string> {};

TEST_P(CorpusProgram, RunsToOneFinalMessageInEveryMode)
{
    if (GetParam().empty()) GTEST_SKIP() << "no corpus at " << corpusDirectory();
    // The corpus is read-only: each run reads a copy, beside which a
    // converting run writes its output.
    const std::string bytes = readBytes(corpusDirectory() / GetParam());
    for (RunMode mode :
         {RunMode::MachiningTime, RunMode::AbsoluteDisplay, RunMode::ConvertHelical, RunMode::ConvertArcs}) {
        SCOPED_TRACE(static_cast<int>(mode));
        std::filesystem::remove(outputPath());
        run(bytes, mode);
        ASSERT_EQ(host.messages.size(), 1u) << host.messages.back().text;
        EXPECT_EQ(host.count("beginWait") + host.count("endWait"), 2);
        EXPECT_EQ(readBytes(scratch / "part.nc"), bytes);
        EXPECT_EQ(std::filesystem::exists(outputPath()), !host.outputPaths.empty());
        if (mode == RunMode::AbsoluteDisplay) {
            EXPECT_EQ(host.count("showAbsoluteDisplay"), 1);
            EXPECT_TRUE(host.rows.empty() || host.rows.rbegin()->first == static_cast<int>(host.rows.size()));
        }
        if (host.messages[0].kind == MessageKind::Warning) continue;
        ASSERT_TRUE(host.results.has_value());
        for (const auto& text : host.results->texts)
            EXPECT_FALSE(text.empty());
        if (!host.outputPaths.empty()) {
            const std::string written = output();
            EXPECT_EQ(host.messages[0].text, created());
            EXPECT_EQ(field(ResultField::LineCount), std::to_string(std::count(written.begin(), written.end(), '\n')));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Real, CorpusProgram, ::testing::ValuesIn(corpusFiles()), [](const auto& info) {
    std::string name = info.param.empty() ? "NoCorpus" : info.param;
    std::replace_if(
        name.begin(), name.end(), [](unsigned char c) { return !std::isalnum(c); }, '_');
    return name;
});

}  // namespace
}  // namespace drennix::testing
