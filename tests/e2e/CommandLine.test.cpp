// The executable's answers before any window opens: a bad command line, an
// unusable replay file and a machine without a display each end with one
// line and their own exit status, never an abort.

#include <gtest/gtest.h>

#include <string>

#include "e2e/CommandRun.hpp"

namespace {
using Outcome = CommandOutcome;

Outcome runGame(const std::string& command) {
    return runCommand(command);
}
} // namespace

TEST(CommandLine, BadOptionsMissingReplayAndNoDisplayEachEndWithOneLine) {
    const Outcome unknown = runGame("./vorlune --bogus");
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(lineCount(unknown.output), 1) << unknown.output;
    EXPECT_NE(unknown.output.find("unknown option '--bogus'"), std::string::npos) << unknown.output;
    EXPECT_NE(unknown.output.find("usage:"), std::string::npos);

    const Outcome missingFile = runGame("./vorlune --record");
    EXPECT_EQ(missingFile.status, 2);
    EXPECT_EQ(lineCount(missingFile.output), 1) << missingFile.output;

    // Without a display SFML would abort as soon as the first texture exists.
    const Outcome headless = runGame("env -u DISPLAY ./vorlune");
    EXPECT_EQ(headless.status, 1);
    EXPECT_EQ(lineCount(headless.output), 1) << headless.output;
    EXPECT_NE(headless.output.find("no display"), std::string::npos) << headless.output;
    EXPECT_NE(headless.output.find("xvfb-run"), std::string::npos);

    // Options are read before the display is looked for.
    EXPECT_EQ(runGame("env -u DISPLAY ./vorlune --bogus").status, 2);
}

// A machine whose sound device cannot be opened (here: a backend that does
// not exist) plays silent after one line, instead of an OpenAL error from
// every sound and stream on every frame and a crash at the end.
TEST(CommandLine, WithoutASoundDeviceTheGamePlaysSilentAfterOneLine) {
    const Outcome silent = runGame("env ALSOFT_DRIVERS=nosuchdriver ./vorlune --fast --frames 600");
    EXPECT_EQ(silent.status, 0) << silent.output;
    EXPECT_LT(silent.output.size(), 10u * 1024u) << silent.output.substr(0, 2000);
    EXPECT_NE(silent.output.find("no sound device: playing without sound"), std::string::npos)
        << silent.output;
    EXPECT_EQ(silent.output.find("OpenAL"), std::string::npos) << silent.output.substr(0, 2000);
}
