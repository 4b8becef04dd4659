// A recorded demo watched in the viewer: paused, stepped, jumped through and
// sought with the bar, every frame it lands on holds the match's state that
// the plain replay reaches there.
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <SFML/Graphics/Image.hpp>

#include "TracingGame.hpp"
#include "app/MatchSnapshot.hpp"
#include "app/ReplayKeyframes.hpp"
#include "app/ReplayViewer.hpp"
#include "common/KeyEvents.hpp"
#include "common/MouseEvents.hpp"
#include "common/TestOutput.hpp"
#include "core/StateManager.hpp"
#include "game/GameReset.hpp"
#include "game/VorluneGame.hpp"
#include "game/online/MatchChecksum.hpp"
#include "render/ParticleSystemComponent.hpp"
#include "scene/GameObject.hpp"
#include "scene/GameObjectManager.hpp"

namespace {
// The match's checksum after each frame of the recording played in the arena.
class ChecksummedGame : public VorluneGame {
public:
    void onUpdate(float delta, float time) override {
        VorluneGame::onUpdate(delta, time);
        if (StateManager::instance().currentName() == "Arena") {
            checksums[replayFramesPlayed()] = matchChecksum();
        }
    }
    std::map<size_t, uint32_t> checksums;
};

// Counts the times the recording is played again from its start.
class RewindCountingGame : public ChecksummedGame {
public:
    void onReplayRewind() override {
        ++rewinds;
        ChecksummedGame::onReplayRewind();
    }
    int rewinds = 0;
};

const sf::Vector2u picture{1920, 1080};

// Records the demo's first `frames` frames in a child process.
std::string recordDemo(const std::string& name, unsigned long frames) {
    const std::string recording = testOutputPath("replay-viewer/" + name + ".rec");
    std::vector<std::string> unused;
    traceInChildProcess(
        testOutputPath("replay-viewer/" + name + ".trace"),
        [&](std::vector<std::string>&) {
            VorluneGame recorder;
            LaunchOptions options = fastUndrawn();
            options.demo = true;
            options.recordPath = recording;
            options.frameLimit = frames;
            return recorder.run(options);
        },
        unused);
    return recording;
}

// The match's checksum after each arena frame of the plain replay.
std::map<size_t, uint32_t> plainChecksums(const std::string& recording) {
    ChecksummedGame reference;
    LaunchOptions options = fastUndrawn();
    options.replayPath = recording;
    EXPECT_EQ(reference.run(options), 0);
    return reference.checksums;
}

// The whole saved match, and what its particles show, as one number.
std::pair<uint32_t, double> shownMatch() {
    MatchSnapshot snapshot;
    saveMatch(snapshot);
    double particles = 0.0;
    GameObjectManager::instance().forEachObject([&](const std::shared_ptr<GameObject>& object) {
        for (const auto& system : object->getComponents<ParticleSystemComponent>()) {
            particles += 1000.0 * static_cast<double>(system->particles.size()) + system->emissionTimer;
            for (const auto& particle : system->particles) {
                particles += particle->position.x + particle->lifetime;
            }
        }
    });
    return {snapshotChecksum(snapshot), particles};
}
} // namespace

TEST(ReplayViewer, EveryWayToAFrameLandsOnThePlainReplaysStateThere) {
    const std::string recording = testOutputPath("replay-viewer/demo.rec");
    std::vector<std::string> unused;
    traceInChildProcess(
        testOutputPath("replay-viewer/record.trace"),
        [&](std::vector<std::string>&) {
            VorluneGame recorder;
            LaunchOptions options = fastUndrawn();
            options.demo = true;
            options.recordPath = recording;
            options.frameLimit = 900;
            return recorder.run(options);
        },
        unused);

    std::map<size_t, uint32_t> plain;
    {
        ChecksummedGame reference;
        LaunchOptions options = fastUndrawn();
        options.replayPath = recording;
        ASSERT_EQ(reference.run(options), 0);
        plain = reference.checksums;
    }
    ASSERT_TRUE(plain.count(605) && plain.count(900)) << "the demo is in its match by frame 605";
    resetGame();

    ChecksummedGame game;
    game.title = "Vorlune replay viewer";
    game.options.replayPath = recording;
    ASSERT_TRUE(game.init()) << "no window (run under Xvfb)";
    ASSERT_TRUE(game.startReplay(recording));
    ASSERT_TRUE(game.openReplayViewer());
    ReplayViewer& viewer = *game.replayViewer();
    ASSERT_EQ(viewer.frameCount(), 900u);
    const auto deltas = game.makeFrameDeltaSource();
    FrameTimes times;
    const auto passes = [&](int count) {
        for (int i = 0; i < count; ++i) {
            game.runFrame(times, deltas);
        }
    };
    const auto press = [&](sf::Keyboard::Key key) {
        EXPECT_TRUE(viewer.handleEvent(keys::pressed(key), picture)) << key;
        passes(1);
    };

    // Playing: a frame a pass. Paused: none, until a step.
    passes(5);
    EXPECT_EQ(game.replayFramesPlayed(), 5u);
    press(sf::Keyboard::Space);
    passes(3);
    EXPECT_EQ(game.replayFramesPlayed(), 5u);
    EXPECT_EQ(viewer.positionText(5), "frame 5 / 900   0:00.08 / 0:15.00   paused");
    press(sf::Keyboard::Right);
    EXPECT_EQ(game.replayFramesPlayed(), 6u);
    press(sf::Keyboard::Left);
    EXPECT_EQ(game.replayFramesPlayed(), 5u);

    // Forward undrawn, ten seconds on.
    press(sf::Keyboard::PageDown);
    ASSERT_EQ(game.replayFramesPlayed(), 605u);
    EXPECT_EQ(matchChecksum(), plain.at(605));
    // To the start (the title menu again), then there by a jump and steps.
    press(sf::Keyboard::Home);
    EXPECT_EQ(game.replayFramesPlayed(), 0u);
    EXPECT_EQ(StateManager::instance().currentName(), "Menu");
    press(sf::Keyboard::PageDown);
    for (int step = 0; step < 5; ++step) {
        press(sf::Keyboard::Right);
    }
    ASSERT_EQ(game.replayFramesPlayed(), 605u);
    EXPECT_EQ(matchChecksum(), plain.at(605));
    // Ten seconds back replays from the start.
    press(sf::Keyboard::PageUp);
    EXPECT_EQ(game.replayFramesPlayed(), 5u);
    press(sf::Keyboard::PageDown);
    EXPECT_EQ(matchChecksum(), plain.at(605));

    // Played on from there (the pass that resumes plays too), frame by
    // frame as the plain replay.
    game.checksums.clear();
    press(sf::Keyboard::Space);
    passes(20);
    ASSERT_EQ(game.replayFramesPlayed(), 626u);
    for (size_t frame = 606; frame <= 626; ++frame) {
        EXPECT_EQ(game.checksums.at(frame), plain.at(frame)) << frame;
    }

    // A click three quarters along the track: 675, backwards through the start.
    press(sf::Keyboard::Space);
    const sf::FloatRect track = ReplayViewer::trackArea(picture);
    const float y = track.top + track.height / 2.0f;
    const auto clickAt = [&](float x, float atY) {
        const bool taken =
            viewer.handleEvent(mouse::pressed(static_cast<int>(x), static_cast<int>(atY)), picture);
        passes(1);
        return taken;
    };
    EXPECT_TRUE(clickAt(track.left + track.width * 0.75f, y));
    ASSERT_EQ(game.replayFramesPlayed(), 675u);
    EXPECT_EQ(matchChecksum(), plain.at(675));
    // Above the bar the click is not the viewer's.
    EXPECT_FALSE(clickAt(track.left + track.width * 0.25f, track.top - 40.0f));
    EXPECT_EQ(game.replayFramesPlayed(), 675u);

    sf::Image shot;
    ASSERT_TRUE(game.captureWindow(shot));
    EXPECT_TRUE(shot.saveToFile(testOutputPath("replay-viewer/paused.png")));

    // Past the track's end: the last frame, where playing stays paused.
    EXPECT_TRUE(clickAt(track.left + track.width + 10.0f, y));
    EXPECT_EQ(game.replayFramesPlayed(), 900u);
    EXPECT_EQ(matchChecksum(), plain.at(900));
    press(sf::Keyboard::Space);
    passes(3);
    EXPECT_EQ(game.replayFramesPlayed(), 900u);
    EXPECT_TRUE(viewer.isPaused());
    EXPECT_TRUE(game.window.isOpen());
    game.shutdown();
}

TEST(ReplayViewer, SeeksInsideTheMatchStartFromItsKeyframesAndLandOnThePlainReplaysState) {
    const std::string recording = recordDemo("keyframes", 2400);
    const std::map<size_t, uint32_t> plain = plainChecksums(recording);
    ASSERT_TRUE(plain.count(601) && plain.count(2400)) << "the demo is in its match from frame 601 on";
    resetGame();

    RewindCountingGame game;
    game.title = "Vorlune replay viewer";
    game.options.replayPath = recording;
    ASSERT_TRUE(game.init()) << "no window (run under Xvfb)";
    ASSERT_TRUE(game.startReplay(recording));
    ASSERT_TRUE(game.openReplayViewer());
    ReplayViewer& viewer = *game.replayViewer();
    const auto deltas = game.makeFrameDeltaSource();
    FrameTimes times;
    const auto passes = [&](int count) {
        for (int i = 0; i < count; ++i) {
            game.runFrame(times, deltas);
        }
    };
    const auto press = [&](sf::Keyboard::Key key) {
        EXPECT_TRUE(viewer.handleEvent(keys::pressed(key), picture)) << key;
        passes(1);
    };
    const auto landsOn = [&](size_t frame) {
        ASSERT_EQ(game.replayFramesPlayed(), frame);
        EXPECT_EQ(matchChecksum(), plain.at(frame)) << frame;
        EXPECT_EQ(StateManager::instance().currentName(), "Arena");
    };

    passes(1);
    press(sf::Keyboard::Space);
    // Thirty seconds on, far past anything looked at ahead from the menu.
    for (int jump = 0; jump < 3; ++jump) {
        press(sf::Keyboard::PageDown);
    }
    landsOn(1801);
    const ReplayKeyframes& keyframes = *game.replayKeyframes();
    EXPECT_GE(keyframes.count(), 20u) << "a keyframe a second of the match played through";
    EXPECT_LE(keyframes.bytes(), 96u << 20);

    // Back inside the match: from a keyframe, not from the start.
    press(sf::Keyboard::PageUp);
    landsOn(1201);
    press(sf::Keyboard::Left);
    landsOn(1200);
    EXPECT_EQ(game.rewinds, 0);

    // Paused, every pass looks ahead and leaves the match and its particles
    // as they were.
    const auto shown = shownMatch();
    for (int pass = 0; pass < 40; ++pass) {
        passes(1);
        ASSERT_EQ(game.replayFramesPlayed(), 1200u);
        ASSERT_EQ(shownMatch(), shown) << "after pass " << pass;
    }
    EXPECT_EQ(matchChecksum(), plain.at(1200));

    // Forward through what the look ahead reached and past it, to the end.
    press(sf::Keyboard::PageDown);
    landsOn(1800);
    press(sf::Keyboard::PageDown);
    landsOn(2400);
    // Back, and played on frame by frame as the plain replay.
    press(sf::Keyboard::PageUp);
    landsOn(1800);
    game.checksums.clear();
    press(sf::Keyboard::Space);
    passes(30);
    ASSERT_EQ(game.replayFramesPlayed(), 1831u);
    for (size_t frame = 1801; frame <= 1831; ++frame) {
        EXPECT_EQ(game.checksums.at(frame), plain.at(frame)) << frame;
    }
    press(sf::Keyboard::Space);
    EXPECT_EQ(game.rewinds, 0);

    // Before the match, the title menu: only the recording's start leads there.
    press(sf::Keyboard::Home);
    EXPECT_EQ(game.rewinds, 1);
    EXPECT_EQ(StateManager::instance().currentName(), "Menu");
    for (int jump = 0; jump < 3; ++jump) {
        press(sf::Keyboard::PageDown);
    }
    landsOn(1800);
    game.shutdown();
}
