// The soak in the real game: the computer against the computer, match after
// match through the menu and the victory screen, without drawing, checking
// that nothing is left over from one match to the next.
#include <cmath>

#include "core/RandomSource.hpp"
#include "game/Arenas.hpp"
#include "game/GameScenario.hpp"
#include "scene/GameObject.hpp"
#include "scene/GameObjectManager.hpp"

namespace {
// Twenty thousand frames: five and a half minutes of play.
constexpr int soakFrames = 20000;
} // namespace

class SoakScenario : public GameScenario {};

TEST_F(SoakScenario, ComputerMatchesAfterEachOtherHoldTheSameAndStayFinite) {
    // Matches of two computer players last minutes: with this seed the first
    // ends with a winner within the run, and the next one begins.
    RandomSource::instance().seed(6);
    game.options.noDraw = true;
    game.options.soakFrames = soakFrames;
    start();
    ASSERT_TRUE(game.soak);
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
    EXPECT_EQ(soak.matchesLeft(), 0) << "every match is played to its winner";

    // Every match began, and every return to the menu found, the same scene.
    ASSERT_GE(soak.matchStarts().size(), 2u);
    ASSERT_GE(soak.menuVisits().size(), 1u);
    EXPECT_GT(soak.matchStarts().front().bodies, 20u);
    EXPECT_GT(soak.matchStarts().front().joints, 0u);
    // The matches go round the arenas; each is compared with its arena's first.
    const size_t arenaCount = arenas().size();
    for (size_t i = 0; i < soak.matchStarts().size(); ++i) {
        EXPECT_EQ(soak.matchStarts()[i].describe(), soak.matchStarts()[i % arenaCount].describe()) << i;
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

TEST_F(SoakScenario, AListenerLeftOverFromAMatchEndsTheSoakWithOneLine) {
    game.options.noDraw = true;
    game.options.soakFrames = 5000;
    start();
    game.soak->matchFrameCap = 200;
    // Something that outlives its match: a listener registered in the second
    // match (after the first match and menu visit set what is normal) and
    // never let go.
    std::shared_ptr<EventManager::EventKey> leftOver;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    for (int frame = 0; frame < 5000 && game.window.isOpen(); ++frame) {
        frames(1);
        if (!leftOver && game.soak->matchStarts().size() == 2) {
            leftOver = EventManager::instance().addListener([](std::shared_ptr<GameEvent>) {});
        }
    }
    const std::string reported = testing::internal::GetCapturedStderr();
    const std::string printed = testing::internal::GetCapturedStdout();
    ASSERT_TRUE(game.soak->failed()) << printed << reported;
    EXPECT_FALSE(game.window.isOpen());
    EXPECT_EQ(game.soak->matchesLeft(), 2);
    // The problem on standard error, the soak's verdict among its counts on standard output.
    EXPECT_NE(reported.find("Soak: return to the menu 2 holds objects 0 bodies 0 joints 0 listeners "),
              std::string::npos)
        << reported;
    EXPECT_EQ(printed.find("Soak: "), std::string::npos) << printed;
    EXPECT_NE(printed.find(", 0 matches won, 2 left, FAILED"), std::string::npos) << printed;
    EXPECT_TRUE(game.demoFailed()) << "the program exits 3";
}

TEST_F(SoakScenario, APlaceThatIsNotANumberEndsTheSoakWithOneLine) {
    game.options.noDraw = true;
    game.options.soakFrames = 5000;
    start();
    testing::internal::CaptureStderr();
    int frame = 0;
    for (; frame < 5000 && game.window.isOpen(); ++frame) {
        frames(1);
        if (frame == 300) {
            ASSERT_EQ(state(), "Arena");
            // Nothing of the game puts this one back.
            GameObjectManager::instance().createGameObject("Stray")->transform->setPosition(NAN, 10.0f);
        }
    }
    const std::string printed = testing::internal::GetCapturedStderr();
    // Listed and seen at the end of the next frame; the run ends a frame later.
    EXPECT_EQ(frame, 303) << printed;
    EXPECT_NE(printed.find("Soak: frame 302: the place of Stray is not a number\n"), std::string::npos)
        << printed;
    EXPECT_TRUE(game.demoFailed());
}
