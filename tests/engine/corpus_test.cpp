// Every real NC program of the shared corpus, in every run mode: the run must
// end with exactly one final message, leave the source unchanged, keep its
// wait balanced, and fill every result field when it finishes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "engine_run.h"

namespace drennix::testing {
namespace {

std::filesystem::path corpusDirectory() {
    if (const char* corpus = std::getenv("DRENNIX_CORPUS")) return corpus;
    return std::filesystem::path(DRENNIX_TESTS_DIR) / ".." / ".." / "shared" / "corpus" / "real";
}

std::vector<std::string> corpusFiles() {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(corpusDirectory(), error))
        if (entry.is_regular_file()) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    if (names.empty()) names.push_back("");  // one case that skips
    return names;
}

std::string caseName(const ::testing::TestParamInfo<std::string>& info) {
    std::string name = info.param.empty() ? "NoCorpus" : info.param;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}

class CorpusProgram : public EngineRunTestWithParam<std::string> {};

TEST_P(CorpusProgram, RunsToOneFinalMessageInEveryMode) {
    if (GetParam().empty()) GTEST_SKIP() << "no corpus at " << corpusDirectory();
    // The corpus is read-only: each run reads a copy in the scratch folder,
    // beside which a converting run may write its output.
    const std::string bytes = readBytes(corpusDirectory() / GetParam());
    for (RunMode mode : {RunMode::MachiningTime, RunMode::AbsoluteDisplay, RunMode::ConvertHelical,
                         RunMode::ConvertArcs}) {
        SCOPED_TRACE(static_cast<int>(mode));
        host = RecordingHost{};
        std::filesystem::remove(outputPath());
        run(bytes, mode);

        ASSERT_EQ(host.messages().size(), 1u) << host.lastMessage();
        EXPECT_EQ(host.countOf("beginWait"), 1);
        EXPECT_EQ(host.countOf("endWait"), 1);
        EXPECT_EQ(readBytes(scratch / "part.nc"), bytes);
        if (mode == RunMode::AbsoluteDisplay) {
            EXPECT_EQ(host.countOf("showAbsoluteDisplay"), 1);
            for (std::size_t i = 0; i < host.rows().size(); ++i)
                ASSERT_EQ(host.rows()[i].first, static_cast<int>(i) + 1);
        }
        // A file exists only when the run reported creating it.
        EXPECT_EQ(outputExists(), !host.outputPaths().empty());
        if (host.messages()[0].kind == MessageKind::Warning) continue;

        ASSERT_TRUE(host.shownResults().has_value());
        for (const auto& text : host.shownResults()->texts) EXPECT_FALSE(text.empty());
        if (outputExists()) {
            const std::string written = output();
            EXPECT_EQ(host.lastMessage(), outputPath().string() + "\n　を作成しました。");
            EXPECT_EQ(field(ResultField::LineCount),
                      std::to_string(std::count(written.begin(), written.end(), '\n')));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Real, CorpusProgram, ::testing::ValuesIn(corpusFiles()), caseName);

}  // namespace
}  // namespace drennix::testing
