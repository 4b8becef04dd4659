#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/Game.hpp"
#include "app/GuiManager.hpp"
#include "common/TestOutput.hpp"
#include "common/TextFiles.hpp"
#include "core/input/InputManager.hpp"
#include "core/input/ScriptedInputBackend.hpp"
#include "physics/BoxColliderComponent.hpp"
#include "physics/PhysicsManager.hpp"
#include "physics/RigidBodyComponent.hpp"
#include "render/ParticleSystemComponent.hpp"
#include "scene/GameObjectManager.hpp"
#include "widgets/Button.hpp"

namespace {

// A small game: two crates on a floor, pushed and hopped by input actions, and
// a particle fountain that draws random numbers every few steps. Its "player"
// is a script that sets the scripted devices from each frame's update, as a
// person at the keys would between two frames. Every frame it notes where
// everything is.
class CrateGame : public Game {
public:
    CrateGame() {
        width = 64;
        height = 48;
        title = "Replay test";
    }

    // Closes the window after this many frames (0: never; a replay ends by itself).
    int frameLimit = 0;
    std::shared_ptr<ScriptedInputBackend> devices = std::make_shared<ScriptedInputBackend>();
    std::vector<std::vector<float>> trace;
    std::vector<float> deltas;
    int fixedSteps = 0;
    int draws = 0;

    void onInit() override {
        auto& input = InputManager::instance();
        input.addAction("Hop", false);
        input.addKey("Hop", sf::Keyboard::Space);
        input.addAction("Push", true);
        input.addKey("Push", sf::Keyboard::D);
        input.addAxis("Steer");
        input.addAxisKey("Steer", sf::Keyboard::Left, -1.0f);
        input.addJoystickAxis("Steer", sf::Joystick::X, 0);
        // A replay brings its own backend; the script's devices are not listened to then.
        if (options.replayPath.empty()) {
            input.setBackend(devices);
        }

        PhysicsManager::instance().createWorld(0.0f, 10.0f, 100.0f);
        makeBox("floor", {400.0f, 500.0f}, {800.0f, 20.0f}, 0);
        crateA = makeBox("crateA", {300.0f, 440.0f}, {40.0f, 40.0f}, 2);
        crateB = makeBox("crateB", {500.0f, 300.0f}, {30.0f, 30.0f}, 2);
        auto fountainObject = GameObjectManager::instance().createGameObject("fountain");
        fountain = addComponent<ParticleSystemComponent>(fountainObject);
        fountain->emissionPeriod = 0.05f;
        fountain->speedMin = 10.0f;
        fountain->speedMax = 90.0f;
        fountain->lifetimeMin = 0.2f;
        fountain->lifetimeMax = 0.9f;
        fountain->jitterMax = 0.04f;
        fountain->randomRotation = true;
        GameObjectManager::instance().flushPendingAdditions();
    }

    void onFixedUpdate(float, float) override {
        ++fixedSteps;
        auto& input = InputManager::instance();
        crateA->rigidBody->applyForce(input.getAxis("Steer") * 30.0f, 0.0f);
        if (input.wasPressed("Hop")) {
            crateB->rigidBody->applyLinearImpulse(0.0f, -2.0f);
        }
        if (input.wasPressed("Push")) {
            crateB->rigidBody->applyForce(6.0f, 0.0f);
        }
    }

    void onUpdate(float delta, float) override {
        deltas.push_back(delta);
        std::vector<float> where;
        for (const auto& crate : {crateA, crateB}) {
            where.push_back(crate->transform->getPosition().x);
            where.push_back(crate->transform->getPosition().y);
            where.push_back(crate->transform->getRotation());
        }
        where.push_back(static_cast<float>(fountain->particles.size()));
        for (const auto& particle : fountain->particles) {
            where.push_back(particle->position.x);
            where.push_back(particle->rotation);
        }
        trace.push_back(where);
        play(static_cast<int>(trace.size()));
        if (frameLimit > 0 && static_cast<int>(trace.size()) == frameLimit) {
            window.close();
        }
    }

    void onDraw(float, float, sf::RenderTarget&) override { ++draws; }

private:
    // The script: the keys and the stick after the given frame.
    void play(int frame) {
        devices->setKey(sf::Keyboard::Space, frame % 40 >= 10 && frame % 40 < 14);
        devices->setKey(sf::Keyboard::D, frame > 60 && frame < 90);
        devices->setKey(sf::Keyboard::Left, frame > 150 && frame < 170);
        // Partial stick positions pass through unscaled.
        devices->setJoystickAxis(0, sf::Joystick::X,
                                 frame < 120 ? 0.37f * static_cast<float>(frame % 3) : -0.61f);
    }

    std::shared_ptr<GameObject> makeBox(const std::string& name, sf::Vector2f position, sf::Vector2f size,
                                        int32_t bodyType) {
        auto object = GameObjectManager::instance().createGameObject(name);
        object->transform->setPosition(position);
        addComponent<RigidBodyComponent>(object, bodyType, 1.0f);
        addComponent<BoxColliderComponent>(object, sf::Vector2f(0.0f, 0.0f), size, 0.0f, false);
        return object;
    }

    std::shared_ptr<GameObject> crateA, crateB;
    std::shared_ptr<ParticleSystemComponent> fountain;
};

// Fast, drawn or not, recording to or replaying from the files given.
LaunchOptions fastRun(bool noDraw, const std::string& recordPath = "", const std::string& replayPath = "") {
    LaunchOptions options;
    options.fast = true;
    options.noDraw = noDraw;
    options.recordPath = recordPath;
    options.replayPath = replayPath;
    return options;
}

// Each run of a game starts where a fresh program would: no actions
// registered, devices back on SFML.
class GameReplay : public ::testing::Test {
protected:
    void SetUp() override { freshInput(); }
    void TearDown() override { freshInput(); }
    static void freshInput() {
        auto& input = InputManager::instance();
        input.actions.clear();
        input.axes.clear();
        input.setBackend(nullptr);
        input.sampleAxesPerFrame = false;
    }

    int runGame(CrateGame& game, const LaunchOptions& options) {
        freshInput();
        return game.run(options);
    }
};

} // namespace

TEST_F(GameReplay, RecordedRunReplaysWithTheSamePositionsEveryFrameWithoutDrawing) {
    const std::string path = testOutputPath("replay/crates.txt");
    CrateGame recorded;
    recorded.frameLimit = 240;
    ASSERT_EQ(runGame(recorded, fastRun(false, path)), 0) << "needs a display (run under Xvfb)";
    ASSERT_EQ(recorded.trace.size(), 240u);
    EXPECT_GT(recorded.draws, 0);
    // The script really moved things, and the fountain really drew random numbers.
    EXPECT_NE(recorded.trace[0][0], recorded.trace.back()[0]);
    EXPECT_NE(recorded.trace[0][4], recorded.trace.back()[4]);
    EXPECT_GT(recorded.trace.back()[6], 2.0f);

    CrateGame replayed;
    ASSERT_EQ(runGame(replayed, fastRun(true, "", path)), 0);
    EXPECT_EQ(replayed.draws, 0);
    EXPECT_EQ(replayed.deltas, recorded.deltas);
    ASSERT_EQ(replayed.trace.size(), recorded.trace.size()) << "the replay ends with its last frame";
    for (size_t frame = 0; frame < recorded.trace.size(); ++frame) {
        ASSERT_EQ(replayed.trace[frame], recorded.trace[frame]) << "frame " << frame + 1;
    }
    EXPECT_EQ(replayed.fixedSteps, recorded.fixedSteps);

    // Recording the replay gives the same file again.
    const std::string again = testOutputPath("replay/crates-again.txt");
    CrateGame rerecorded;
    ASSERT_EQ(runGame(rerecorded, fastRun(true, again, path)), 0);
    EXPECT_EQ(readWholeFile(again), readWholeFile(path));
}

TEST_F(GameReplay, ReplayTakesTheRecordedDeltasOfAClockDrivenRun) {
    // Uneven frames, as a real clock gives them, recorded through runFrame.
    const std::string path = testOutputPath("replay/uneven.txt");
    CrateGame recorded;
    ASSERT_TRUE(recorded.init()) << "needs a display (run under Xvfb)";
    ASSERT_TRUE(recorded.startRecording(path));
    const std::vector<float> uneven = {0.004f, 0.021f, 0.0166f, 0.05f, 0.0001f, 0.033f, 0.1f, 0.012f};
    FrameTimes times;
    for (int i = 0; i < 200; ++i) {
        const float delta = uneven[static_cast<size_t>(i) % uneven.size()];
        recorded.runFrame(times, [delta] { return delta; });
    }
    ASSERT_TRUE(recorded.finishRecording());
    recorded.shutdown();
    recorded.window.close();

    freshInput();
    CrateGame replayed;
    replayed.options.fast = true;
    replayed.options.replayPath = path;
    ASSERT_TRUE(replayed.init());
    ASSERT_TRUE(replayed.startReplay(path));
    const auto deltas = replayed.makeFrameDeltaSource();
    FrameTimes replayTimes;
    int frames = 0;
    while (replayed.hasReplayFrames()) {
        replayed.runFrame(replayTimes, deltas);
        ++frames;
    }
    EXPECT_EQ(frames, 200);
    EXPECT_EQ(replayed.deltas, recorded.deltas);
    EXPECT_EQ(replayed.trace, recorded.trace);
    EXPECT_EQ(replayTimes.fixedTime, times.fixedTime);
    EXPECT_EQ(replayTimes.physicsAccumulator, times.physicsAccumulator);
}

TEST_F(GameReplay, FastModeRunsExactlyOneFixedStepPerFrame) {
    CrateGame game;
    // A minute of game time; waiting for the clock would take a minute.
    game.frameLimit = 3600;
    ASSERT_EQ(runGame(game, fastRun(true)), 0) << "needs a display (run under Xvfb)";
    ASSERT_EQ(game.deltas.size(), 3600u);
    for (float delta : game.deltas) {
        ASSERT_EQ(delta, game.fixedDelta);
    }
    EXPECT_EQ(game.fixedSteps, 3600);
    EXPECT_EQ(game.draws, 0);
}

TEST_F(GameReplay, SimulationIsTheSameWithAndWithoutDrawing) {
    CrateGame drawn;
    drawn.frameLimit = 200;
    ASSERT_EQ(runGame(drawn, fastRun(false)), 0) << "needs a display (run under Xvfb)";
    CrateGame undrawn;
    undrawn.frameLimit = 200;
    ASSERT_EQ(runGame(undrawn, fastRun(true)), 0);

    EXPECT_GT(drawn.draws, 50);
    EXPECT_EQ(undrawn.draws, 0);
    EXPECT_EQ(undrawn.trace, drawn.trace);
}

TEST_F(GameReplay, UnusableReplayGivesExitCodeTwoAndOneLine) {
    const auto runReplay = [this](const std::string& name, const std::string& text, bool& windowOpened) {
        const std::string path = testOutputPath("replay/" + name);
        writeWholeFile(path, text);
        CrateGame game;
        testing::internal::CaptureStderr();
        const int code = runGame(game, fastRun(false, "", path));
        const std::string printed = testing::internal::GetCapturedStderr();
        EXPECT_EQ(code, 2) << name;
        EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 1) << printed;
        EXPECT_EQ(printed.rfind("Replay " + path + ": ", 0), 0u) << printed;
        EXPECT_TRUE(game.trace.empty()) << "no frame runs";
        windowOpened = game.fixedSteps != 0 || !game.deltas.empty();
        return printed;
    };
    bool opened = false;
    const std::string header =
        "vorlune-replay 2\nseed 1\nstep 0.0166666675\naction Hop\naction Push\naxis Steer\n";
    EXPECT_NE(runReplay("run-empty.txt", "", opened).find("empty"), std::string::npos);
    EXPECT_NE(runReplay("run-truncated.txt", header + "f 0.1 00 0\n", opened).find("truncated"),
              std::string::npos);
    EXPECT_NE(runReplay("run-version.txt", "vorlune-replay 0\n", opened).find("version"), std::string::npos);
    EXPECT_NE(runReplay("run-garbage.txt", header + "f 0.1 00 1e99\nend 1\n", opened).find("axis value"),
              std::string::npos);
    // Only known once the game has registered its actions: after start-up, still no frame.
    EXPECT_NE(runReplay("run-unknown.txt",
                        "vorlune-replay 2\nseed 1\nstep 0.0166666675\naction Fly\naction Hop\naction Push\n"
                        "axis Steer\nf 0.1 000 0\nend 1\n",
                        opened)
                  .find("'Fly'"),
              std::string::npos);
    EXPECT_FALSE(opened);
}

TEST_F(GameReplay, UnwritableRecordingGivesExitCodeTwo) {
    CrateGame game;
    game.frameLimit = 5;
    testing::internal::CaptureStderr();
    const int code =
        runGame(game, fastRun(false, testOutputPath("replay/no-such-folder") + "/deeper/out.txt"));
    const std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_EQ(code, 2);
    EXPECT_NE(printed.find("cannot write the file"), std::string::npos) << printed;
    EXPECT_TRUE(game.trace.empty());
}

TEST_F(GameReplay, RecordedClicksReachTheGuiInTheirFrame) {
    const std::string form = testOutputPath("replay/RedButton.txt");
    writeWholeFile(form, "Button.Red { Position = (0, 0); Size = (100%, 100%); }\n");
    const std::string path = testOutputPath("replay/click.txt");
    writeWholeFile(path, "vorlune-replay 2\nseed 1\nstep 0.016666668\naction Hop\naction Push\naxis Steer\n"
                         "f 0.016666668 00 0\n"
                         "f 0.016666668 00 0\ng moved 10 10\ng pressed 0 10 10\n"
                         "f 0.016666668 00 0\n"
                         "f 0.016666668 00 0\ng released 0 10 10\n"
                         "end 4\n");
    CrateGame game;
    game.options.replayPath = path;
    ASSERT_TRUE(game.init()) << "needs a display (run under Xvfb)";
    auto& gui = GuiManager::instance();
    ASSERT_TRUE(gui.loadGroup("red", form));
    gui.setVisible("red", true);
    int presses = 0;
    gui.getWidget<widgets::Button>("red", "Red")->onPress.connect([&] { ++presses; });

    ASSERT_TRUE(game.startReplay(path));
    const auto deltas = game.makeFrameDeltaSource();
    FrameTimes times;
    std::vector<int> pressesAfterFrame;
    while (game.hasReplayFrames()) {
        game.runFrame(times, deltas);
        pressesAfterFrame.push_back(presses);
    }
    EXPECT_EQ(pressesAfterFrame, (std::vector<int>{0, 0, 0, 1}));
}

TEST_F(GameReplay, FrameLimitOfTheCommandLineEndsTheRunNormallyWithAWholeRecording) {
    const std::string path = testOutputPath("replay/limited.txt");
    CrateGame limited;
    LaunchOptions options = fastRun(true, path);
    options.frameLimit = 90;
    ASSERT_EQ(runGame(limited, options), 0) << "needs a display (run under Xvfb)";
    EXPECT_EQ(limited.trace.size(), 90u);
    EXPECT_FALSE(limited.window.isOpen());

    // The recording of a limited run is complete: it replays those 90 frames.
    CrateGame replayed;
    ASSERT_EQ(runGame(replayed, fastRun(true, "", path)), 0);
    EXPECT_EQ(replayed.trace, limited.trace);
}
