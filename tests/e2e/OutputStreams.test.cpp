// Where the executable writes what, as tools and shells expect it: problems
// (a bad command line, damaged content) on standard error, the results (the
// frame-rate line) on standard output, never mixed up.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/PrivateDisplay.hpp"
#include "common/TestOutput.hpp"
#include "common/TextFiles.hpp"
#include "e2e/CommandRun.hpp"
#include "e2e/GameProcess.hpp"

namespace {
struct Streams {
    int status = -1;
    std::string output, errors;
};

Streams runToEnd(const std::string& name, const std::vector<std::string>& arguments,
                 const std::vector<std::string>& environment = {}) {
    e2e::Launch launch;
    launch.environment = environment;
    launch.environment.push_back("ALSOFT_DRIVERS=null");
    launch.arguments = arguments;
    launch.outputPath = testOutputPath("streams/" + name + ".out");
    launch.errorPath = testOutputPath("streams/" + name + ".err");
    Streams streams;
    e2e::GameProcess game(launch);
    if (!game.started) {
        return streams;
    }
    const auto status = game.waitForExit(std::chrono::seconds(60));
    if (status && WIFEXITED(*status)) {
        streams.status = WEXITSTATUS(*status);
    }
    streams.output = readWholeFile(launch.outputPath);
    streams.errors = readWholeFile(launch.errorPath);
    return streams;
}
} // namespace

TEST(OutputStreams, ProblemsGoToStandardErrorWhileTheFrameRateStaysOnStandardOutput) {
    // A bad option: the problem and the usage line on standard error, nothing else.
    const Streams bad = runToEnd("bad-option", {"--bogus"});
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.output, "");
    EXPECT_EQ(lineCount(bad.errors), 1) << bad.errors;
    EXPECT_NE(bad.errors.find("unknown option '--bogus'"), std::string::npos) << bad.errors;
    EXPECT_NE(bad.errors.find("usage:"), std::string::npos) << bad.errors;

    // The game's content with one page damaged: it plays, reports the page on
    // standard error and prints its frame rate on standard output.
    PrivateDisplay display;
    ASSERT_TRUE(display.isRunning()) << display.getProblem();
    const std::filesystem::path content = testOutputPath("streams/content/gui/Menu.txt");
    std::filesystem::remove_all(content.parent_path().parent_path());
    std::filesystem::copy(std::string(VORLUNE_SOURCE_DIR) + "/assets", content.parent_path().parent_path(),
                          std::filesystem::copy_options::recursive);
    writeWholeFile((content.parent_path() / "Credits.txt").string(), "Button.Broken {{{ Text = ");
    // Real time, so that the log gets its frame-rate lines (one a second).
    const Streams played = runToEnd("damaged-page", {"--frames", "200"},
                                    {"VORLUNE_CONTENT=" + content.parent_path().parent_path().string()});
    EXPECT_EQ(played.status, 0) << played.errors;
    EXPECT_NE(played.output.find("FPS "), std::string::npos) << played.output;
    EXPECT_EQ(played.output.find("Credits.txt"), std::string::npos) << played.output;
    EXPECT_EQ(played.output.find("Loading failed"), std::string::npos) << played.output;
    EXPECT_NE(played.errors.find("Loading failed:\n"), std::string::npos) << played.errors;
    EXPECT_NE(played.errors.find("Credits.txt"), std::string::npos) << played.errors;
    EXPECT_EQ(played.errors.find("FPS"), std::string::npos) << played.errors;
}
