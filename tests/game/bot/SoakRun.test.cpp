// The soak in the real game: the computer against the computer, match after
// match through the menu and the victory screen, without drawing, checking
// that nothing is left over from one match to the next.
#include "core/RandomSource.hpp"
#include "game/GameScenario.hpp"

namespace {
// Twenty thousand frames: five and a half minutes of play.
constexpr int soakFrames = 20000;
} // namespace

class SoakScenario : public GameScenario {};

TEST_F(SoakScenario, ComputerMatchesAfterEachOtherHoldTheSameAndStayFinite) {
    // With this seed one of the matches ends with a winner within its cap.
    RandomSource::instance().seed(2);
    game.options.noDraw = true;
    game.options.soakFrames = soakFrames;
    start();
    ASSERT_TRUE(game.soak);
    // Matches of two computer players last minutes; leaving the long ones
    // keeps this run at several matches, and tears some down mid-fight.
    game.soak->matchFrameCap = 4000;
    EXPECT_TRUE(game.playerSetup->isComputer(1) && game.playerSetup->isComputer(2));

    testing::internal::CaptureStdout();
    int frame = 0;
    for (; frame < soakFrames + 10 && game.window.isOpen(); ++frame) {
        frames(1);
    }
    const std::string printed = testing::internal::GetCapturedStdout();
    const SoakRun& soak = *game.soak;
    ASSERT_TRUE(soak.finished()) << printed;
    EXPECT_FALSE(game.window.isOpen()) << "the soak ends the run";
    EXPECT_EQ(soak.getProblem(), "") << printed;
    EXPECT_EQ(frame, soakFrames) << printed;
    EXPECT_GE(soak.matchesFinished(), 1) << printed;
    EXPECT_GE(soak.matchesFinished() + soak.matchesLeft(), 4) << printed;

    // Every match began, and every return to the menu found, the same scene.
    ASSERT_GE(soak.matchStarts().size(), 4u);
    ASSERT_GE(soak.menuVisits().size(), 3u);
    EXPECT_GT(soak.matchStarts().front().bodies, 20u);
    EXPECT_GT(soak.matchStarts().front().joints, 0u);
    for (const auto& counts : soak.matchStarts()) {
        EXPECT_EQ(counts.describe(), soak.matchStarts().front().describe());
    }
    for (const auto& counts : soak.menuVisits()) {
        EXPECT_EQ(counts.describe(), soak.menuVisits().front().describe());
    }
    // One line per minute of game time, then the verdict.
    EXPECT_EQ(soak.minuteLines().size(), static_cast<size_t>(soakFrames / SoakRun::framesPerMinute));
    EXPECT_NE(printed.find(soak.minuteLines().back()), std::string::npos);
    EXPECT_NE(printed.find("soak: 20000 frames, " + std::to_string(soak.matchesFinished()) +
                           " matches won, " + std::to_string(soak.matchesLeft()) + " left, flat"),
              std::string::npos)
        << printed;
    std::printf("%s", printed.c_str());
}
