// The pause page of a match played at one machine holds the whole match, and
// the keys used on a page never reach the wizards; keys meant for another
// window reach nobody. The real game, scripted keys for what the keyboard
// holds and queued window events for what the window reports (the real
// keyboard of an X server of its own for the focus).
#include <chrono>
#include <cmath>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "audio/AudioSourceComponent.hpp"
#include "common/KeyEvents.hpp"
#include "common/PrivateDisplay.hpp"
#include "common/TestOutput.hpp"
#include "common/Xdotool.hpp"
#include "core/RandomSource.hpp"
#include "game/GameScenario.hpp"
#include "game/TracingGame.hpp"
#include "game/player/PlayerControllerComponent.hpp"
#include "physics/PhysicsManager.hpp"
#include "physics/RigidBodyComponent.hpp"
#include "scene/GameObjectManager.hpp"

namespace {
std::shared_ptr<PlayerControllerComponent> pausedMatchPlayer(int number) {
    const auto object = GameObjectManager::instance().findGameObject("Player" + std::to_string(number));
    return object ? object->getComponent<PlayerControllerComponent>() : nullptr;
}

b2Vec2 pausedMatchVelocity(int number) {
    const auto object = GameObjectManager::instance().findGameObject("Player" + std::to_string(number));
    return object && object->rigidBody ? object->rigidBody->getVelocity() : b2Vec2(NAN, NAN);
}

// Everything of the match that moves or counts: every body of the world
// (players, beards, crates, moving platforms) with its place and speed, and
// each player's lives, beard and clocks.
std::string matchSnapshot() {
    std::ostringstream out;
    out << std::hexfloat;
    for (const b2Body* body = PhysicsManager::instance().world->GetBodyList(); body; body = body->GetNext()) {
        out << body->GetPosition().x << ' ' << body->GetPosition().y << ' ' << body->GetAngle() << ' '
            << body->GetLinearVelocity().x << ' ' << body->GetLinearVelocity().y << '\n';
    }
    for (int number = 1; number <= 2; ++number) {
        const auto player = pausedMatchPlayer(number);
        if (player) {
            out << "player " << number << " lives " << player->state().lives << " beard "
                << player->beard().segmentCount() << " grow " << player->state().growTimer << " magic "
                << player->magicPulse() << " death " << player->state().deathTimer << " attack "
                << player->state().attackTimer << " hold " << player->state().holdTimer << '\n';
        }
    }
    return out.str();
}
} // namespace

class PausedMatch : public GameScenario {
protected:
    void keyTap(sf::Keyboard::Key key) {
        keyDown(key);
        frames(1);
        keyUp(key);
        frames(1);
    }

    void startAgainstTheComputer() {
        RandomSource::instance().seed(5);
        game.playerSetup->setComputer(2, true);
        startMatch();
    }
};

TEST_F(PausedMatch, PausedMatchAgainstTheComputerStandsStillAndKeysOnThePageNeverReachIt) {
    startAgainstTheComputer();
    frames(100);
    ASSERT_TRUE(pausedMatchPlayer(1)->isGrounded());
    // Player 1 runs right, then pauses without letting go.
    devices->setKey(sf::Keyboard::D, true);
    frames(8);
    keyTap(sf::Keyboard::Escape);
    ASSERT_EQ(shownPages(), "pause");
    const std::string paused = matchSnapshot();
    const float pausedAt = times.fixedTime;

    // Eight seconds on the page: the keys that move through it (and would
    // move and jump the wizards) are pressed all along.
    for (int second = 0; second < 8; ++second) {
        keyTap(sf::Keyboard::S);
        keyTap(sf::Keyboard::Down);
        keyTap(sf::Keyboard::W);
        keyTap(sf::Keyboard::Up);
        frames(52);
    }
    EXPECT_EQ(matchSnapshot(), paused) << "the match moved under the pause page";
    EXPECT_EQ(times.fixedTime, pausedAt) << "no step ran";
    EXPECT_EQ(state(), "Arena");
    screenshot("paused-match");

    // Space presses the focused "Continue" and is held on: the page was its
    // own, so the wizard, standing, does not jump; D, held since before the
    // page, runs on as held.
    ASSERT_EQ(GuiManager::instance().gui.getFocused(),
              GuiManager::instance().getWidget<widgets::Widget>("pause", "Continue"));
    keyDown(sf::Keyboard::Space);
    frames(1);
    EXPECT_EQ(shownPages(), "");
    const float x = pausedMatchPlayer(1)->getGameObject()->transform->getPosition().x;
    for (int frame = 0; frame < 20; ++frame) {
        frames(1);
        EXPECT_GT(pausedMatchVelocity(1).y, -1.0f) << "a jump at frame " << frame;
    }
    EXPECT_TRUE(pausedMatchPlayer(1)->isGrounded());
    EXPECT_GT(pausedMatchPlayer(1)->getGameObject()->transform->getPosition().x, x + 20.0f) << "D is held";
    EXPECT_NE(matchSnapshot(), paused) << "the match runs again";

    // Let go, Space is the match's again: the next press jumps.
    keyUp(sf::Keyboard::Space);
    frames(2);
    keyDown(sf::Keyboard::Space);
    frames(1);
    EXPECT_LT(pausedMatchVelocity(1).y, -1.0f) << "a new press jumps";
    keyUp(sf::Keyboard::Space);
    devices->setKey(sf::Keyboard::D, false);
    frames(1);
}

TEST_F(PausedMatch, MagicLoopWaitsWithThePausedMatch) {
    startAgainstTheComputer();
    frames(60);
    devices->setKey(sf::Keyboard::G, true);
    frames(20);
    const auto player = pausedMatchPlayer(1);
    ASSERT_TRUE(player->magicSource && player->magicSource->sound) << "no magic sound loaded";
    ASSERT_EQ(player->magicSource->sound->getStatus(), sf::Sound::Playing);
    keyTap(sf::Keyboard::Escape);
    frames(30);
    EXPECT_EQ(player->magicSource->sound->getStatus(), sf::Sound::Paused);
    keyTap(sf::Keyboard::Escape);
    EXPECT_EQ(shownPages(), "");
    frames(2);
    EXPECT_EQ(player->magicSource->sound->getStatus(), sf::Sound::Playing) << "G is held: magic goes on";
    devices->setKey(sf::Keyboard::G, false);
    frames(1);
}

// SFML opens its display as soon as the game's window object is made: the
// case's own X server comes first.
struct FocusedWindowDisplay {
    PrivateDisplay display;
};

// The real keyboard of an X server of the case's own (a process of its own,
// tests/CMakeLists.txt): keys typed into another program's window move nobody.
class FocusedWindow : protected FocusedWindowDisplay, public GameScenario {
protected:
    void framesWithTime(int count) {
        for (int i = 0; i < count; ++i) {
            frames(1);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    float x() const { return pausedMatchPlayer(1)->getGameObject()->transform->getPosition().x; }
};

TEST_F(FocusedWindow, KeysTypedIntoAnotherWindowMoveNobodyAndHeldOnesAreLetGo) {
    ASSERT_TRUE(display.isRunning()) << display.getProblem();
    input.setBackend(nullptr);
    startMatch();
    ASSERT_TRUE(framesUntil([] { return pausedMatchPlayer(1)->isGrounded(); }));
    EXPECT_TRUE(input.isWindowFocused());
    const std::string gameWindow = std::to_string(static_cast<unsigned long>(game.window.getSystemHandle()));

    // D held in the game's window runs; another program's window opening
    // takes the focus, and the wizard stops although D is still down.
    ASSERT_TRUE(xdotool("keydown d"));
    const float from = x();
    ASSERT_TRUE(framesUntil([&] { return x() > from + 30.0f; })) << "D does not run";
    {
        sf::Window other(sf::VideoMode(300, 200), "Another program");
        ASSERT_TRUE(framesUntil([&] { return !input.isWindowFocused(); }));
        framesWithTime(5);
        EXPECT_NEAR(pausedMatchVelocity(1).x, 0.0f, 0.01f) << "D stuck down";
        const float stopped = x();
        // Typed there: running, jumping, pausing.
        ASSERT_TRUE(xdotool("key space Escape"));
        framesWithTime(30);
        EXPECT_NEAR(x(), stopped, 1.0f);
        EXPECT_GT(pausedMatchVelocity(1).y, -1.0f) << "a jump";
        EXPECT_EQ(shownPages(), "") << "Escape paused the game";
        ASSERT_TRUE(xdotool("keyup d"));
    }

    // The focus back, the keys are the game's again.
    ASSERT_TRUE(xdotool("windowfocus --sync " + gameWindow));
    ASSERT_TRUE(framesUntil([&] { return input.isWindowFocused(); }));
    ASSERT_TRUE(xdotool("key Escape"));
    EXPECT_TRUE(framesUntil([&] { return shownPages() == "pause"; }));
}

namespace {
// A match against the computer with a long pause, whose page is worked by
// keys (Space pressed on "Continue" and held on), recorded.
int recordPausedMatch(const std::string& recording, std::vector<std::string>& trace) {
    auto devices = std::make_shared<ScriptedInputBackend>();
    return recordScriptedRun("Vorlune paused replay", devices, recording, trace,
                             [&](TracingGame& game, const std::function<void(int)>& frames) {
                                 game.playerSetup->setComputer(2, true);
                                 const auto key = [&](sf::Keyboard::Key code, bool down) {
                                     devices->setKey(code, down);
                                     game.queueGuiEvent(down ? keys::pressed(code) : keys::released(code));
                                 };
                                 frames(2);
                                 // Play, then the first arena, by keys.
                                 key(sf::Keyboard::Enter, true);
                                 frames(1);
                                 key(sf::Keyboard::Enter, false);
                                 frames(2);
                                 key(sf::Keyboard::Enter, true);
                                 frames(1);
                                 key(sf::Keyboard::Enter, false);
                                 frames(90);
                                 key(sf::Keyboard::D, true);
                                 frames(20);
                                 key(sf::Keyboard::Escape, true);
                                 frames(1);
                                 key(sf::Keyboard::Escape, false);
                                 for (int i = 0; i < 5; ++i) {
                                     key(sf::Keyboard::Down, true);
                                     frames(1);
                                     key(sf::Keyboard::Down, false);
                                     frames(30);
                                 }
                                 key(sf::Keyboard::Up, true);
                                 frames(1);
                                 key(sf::Keyboard::Up, false);
                                 frames(100);
                                 key(sf::Keyboard::Space, true);
                                 frames(30);
                                 key(sf::Keyboard::Space, false);
                                 key(sf::Keyboard::D, false);
                                 frames(60);
                             });
}
} // namespace

// Forks: a process of its own (tests/CMakeLists.txt).
class PausedMatchReplay : public ScriptedInputTest {};

TEST_F(PausedMatchReplay, MatchWithAPauseReplaysToTheSameStateEveryFrame) {
    const std::string recording = testOutputPath("paused-match/paused.rec");
    const std::string recordedTrace = testOutputPath("paused-match/recorded-trace.txt");
    std::vector<std::string> recorded;
    ASSERT_NO_FATAL_FAILURE(traceInChildProcess(
        recordedTrace, [&](std::vector<std::string>& trace) { return recordPausedMatch(recording, trace); },
        recorded));
    ASSERT_EQ(recorded.size(), 463u) << "every frame of the recording traced";
    // The page held the match: the frames under it trace the same.
    EXPECT_EQ(recorded[200].rfind("Arena", 0), 0u) << recorded[200];
    EXPECT_EQ(recorded[200], recorded[330]);
    EXPECT_NE(recorded[330], recorded.back()) << "the match went on after the page";

    TracingGame replayed;
    ASSERT_NO_FATAL_FAILURE(expectReplayTracesAsRecorded(replayed, recording, recorded));
}
