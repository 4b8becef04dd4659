#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <SFML/System/Sleep.hpp>

#include "app/Game.hpp"
#include "core/StateManager.hpp"
#include "scene/GameObjectManager.hpp"

namespace {

// Records every hook call of the loop, in order.
class RecordingGame : public Game {
public:
    std::vector<std::string> calls;
    std::vector<float> fixedTimes;
    std::vector<float> drawDeltas;
    std::function<void()> whenUpdated;
    float lastUpdateTime = 0.0f;

    void onInit() override { calls.push_back("init"); }
    void onFixedUpdate(float step, float time) override {
        EXPECT_FLOAT_EQ(step, fixedDelta);
        fixedTimes.push_back(time);
        calls.push_back("fixed");
    }
    void onUpdate(float, float time) override {
        lastUpdateTime = time;
        calls.push_back("update");
        if (whenUpdated) {
            whenUpdated();
        }
    }
    void onDraw(float delta, float, sf::RenderTarget&) override {
        drawDeltas.push_back(delta);
        calls.push_back("draw");
    }
    void onShutdown() override { calls.push_back("shutdown"); }

    size_t count(const std::string& name) const { return std::count(calls.begin(), calls.end(), name); }
};

// Feeds the loop a fixed list of frame deltas.
std::function<float()> deltas(std::vector<float> values) {
    auto index = std::make_shared<size_t>(0);
    return [values, index] { return values.at((*index)++); };
}

class GameLoop : public ::testing::Test {
protected:
    void SetUp() override {
        game.width = 64;
        game.height = 48;
        // Not the game's own title: the end-to-end test looks for that one.
        game.title = "Loop test";
        ASSERT_TRUE(game.init()) << "needs a display (run under Xvfb)";
        game.calls.clear();
    }
    RecordingGame game;
    FrameTimes times;
};

class CountingState : public GameState {
public:
    explicit CountingState(std::string name) : GameState(std::move(name)) {}
    int updates = 0, draws = 0;
    void enter() override {}
    void update(float, float) override { ++updates; }
    void draw(float, float, sf::RenderTarget&) override { ++draws; }
    void exit() override {}
};

} // namespace

TEST_F(GameLoop, FrameOfExactlyOneFixedDeltaRunsOneFixedStep) {
    game.runFrame(times, deltas({game.fixedDelta}));
    EXPECT_EQ(game.count("fixed"), 1u);
    EXPECT_FLOAT_EQ(times.physicsAccumulator, 0.0f);
}

TEST_F(GameLoop, TenthOfASecondRunsSixFixedStepsThenOneDrawOfSixSixtieths) {
    game.runFrame(times, deltas({0.1f}));
    EXPECT_EQ(game.calls, (std::vector<std::string>{"fixed", "fixed", "fixed", "fixed", "fixed", "fixed",
                                                    "update", "draw"}));
    ASSERT_EQ(game.drawDeltas.size(), 1u);
    EXPECT_NEAR(game.drawDeltas[0], 6.0f / 60.0f, 1e-6f);
    EXPECT_NEAR(game.fixedTimes.back(), 6.0f / 60.0f, 1e-6f);
    EXPECT_NEAR(times.physicsAccumulator, 0.1f - 6.0f / 60.0f, 1e-6f);
    EXPECT_LT(times.frameAccumulator, game.frameInterval);
}

TEST_F(GameLoop, FrameAccumulatorEqualToIntervalDrawsOnlyOnTheNextFrame) {
    game.runFrame(times, deltas({game.frameInterval}));
    EXPECT_EQ(times.frameAccumulator, game.frameInterval);
    EXPECT_EQ(game.count("draw"), 0u);
    game.runFrame(times, deltas({0.001f}));
    EXPECT_EQ(game.count("draw"), 1u);
    ASSERT_EQ(game.drawDeltas.size(), 1u);
    EXPECT_FLOAT_EQ(game.drawDeltas[0], game.frameInterval);
}

TEST_F(GameLoop, ShortFramesGatherUntilADrawAndAStepAreDue) {
    game.runFrame(times, deltas({0.01f}));
    EXPECT_EQ(game.count("fixed"), 0u);
    EXPECT_EQ(game.count("draw"), 0u);
    EXPECT_EQ(game.count("update"), 1u);
    game.runFrame(times, deltas({0.01f}));
    EXPECT_EQ(game.count("fixed"), 1u);
    EXPECT_EQ(game.count("draw"), 1u);
    EXPECT_NEAR(times.elapsed, 0.02f, 1e-6f);
}

TEST_F(GameLoop, LongFrameHasNoCapOnFixedSteps) {
    game.runFrame(times, deltas({2.0f}));
    EXPECT_EQ(game.count("fixed"), 120u);
    EXPECT_EQ(game.count("draw"), 1u);
}

TEST_F(GameLoop, CloseFinishesTheFrameBeforeShutdown) {
    game.whenUpdated = [this] { game.window.close(); };
    game.runFrame(times, deltas({0.1f}));
    EXPECT_FALSE(game.window.isOpen());
    game.shutdown();
    EXPECT_EQ(game.calls.back(), "shutdown");
    EXPECT_EQ(game.count("draw"), 1u);
    EXPECT_EQ(game.calls[game.calls.size() - 2], "draw");
}

TEST_F(GameLoop, ShutdownEventClosesTheWindowAtTheEndOfUpdate) {
    EventManager::instance().queueEvent(std::make_shared<ShutdownEvent>());
    EXPECT_TRUE(game.window.isOpen());
    game.runFrame(times, deltas({0.0f}));
    EXPECT_FALSE(game.window.isOpen());
    EXPECT_FALSE(game.shutdownListenerKey);
}

TEST_F(GameLoop, WithoutAStateEverythingElseStillRuns) {
    auto object = GameObjectManager::instance().createGameObject("thing");
    game.runFrame(times, deltas({0.1f}));
    EXPECT_EQ(game.count("update"), 1u);
    EXPECT_EQ(game.count("draw"), 1u);
    EXPECT_EQ(GameObjectManager::instance().findGameObject("thing"), object);
}

TEST_F(GameLoop, CurrentStateIsUpdatedEveryFrameAndDrawnWhenDue) {
    auto state = std::make_shared<CountingState>("Play");
    StateManager::instance().registerState(state);
    StateManager::instance().setState("Play");
    game.runFrame(times, deltas({0.01f}));
    game.runFrame(times, deltas({0.01f}));
    EXPECT_EQ(state->updates, 2);
    EXPECT_EQ(state->draws, 1);
    StateManager::instance().exitCurrent();
}

TEST_F(GameLoop, ShutdownExitsTheStateAndReleasesEveryObject) {
    auto state = std::make_shared<CountingState>("Play");
    StateManager::instance().registerState(state);
    auto persistent = GameObjectManager::instance().createGameObject("kept");
    StateManager::instance().setState("Play");
    auto scene = GameObjectManager::instance().createGameObject("scene");
    game.runFrame(times, deltas({0.0f}));
    std::weak_ptr<GameObject> watchPersistent = persistent, watchScene = scene;
    persistent.reset();
    scene.reset();
    game.shutdown();
    EXPECT_FALSE(StateManager::instance().currentState);
    EXPECT_TRUE(watchPersistent.expired());
    EXPECT_TRUE(watchScene.expired());
}

TEST_F(GameLoop, WaitIsTheTimeToTheNextStepOrDrawWhicheverComesFirst) {
    times.physicsAccumulator = 0.01f;
    times.frameAccumulator = 0.005f;
    EXPECT_NEAR(game.secondsUntilDue(times), game.fixedDelta - 0.01f, 1e-6f);
    times.frameAccumulator = 0.015f;
    EXPECT_NEAR(game.secondsUntilDue(times), game.frameInterval - 0.015f, 1e-6f);
    times.physicsAccumulator = game.fixedDelta * 1.5f;
    EXPECT_EQ(game.secondsUntilDue(times), 0.0f);
    // Only wall-clock runs wait; fast runs go back to back.
    EXPECT_TRUE(game.waitsBetweenFrames());
    game.options.fast = true;
    EXPECT_FALSE(game.waitsBetweenFrames());
}

TEST(GameLoopRun, WaitingRunKeepsItsStepsAndDrawsAndDoesNotSpin) {
    RecordingGame game;
    game.width = 64;
    game.height = 48;
    game.title = "Loop test";
    // Half a second of the wall clock, then the window closes.
    game.whenUpdated = [&game] {
        if (game.lastUpdateTime >= 0.5f) {
            game.window.close();
        }
    };
    ASSERT_TRUE(game.run()) << "needs a display (run under Xvfb)";
    const size_t fixed = game.count("fixed");
    const size_t draws = game.count("draw");
    const size_t frames = game.count("update");
    // Steps follow the time that passed, sleeping or not: one per 1/60 s.
    EXPECT_GE(fixed, 29u);
    EXPECT_LE(static_cast<float>(fixed), game.lastUpdateTime / game.fixedDelta + 1.0f);
    EXPECT_NEAR(game.fixedTimes.back(), static_cast<float>(fixed) * game.fixedDelta, 1e-4f);
    EXPECT_GE(draws, 1u);
    // A loop that spun would have run thousands of frames; one that waits
    // wakes about once per step or draw.
    EXPECT_LE(frames, 3 * (fixed + draws) + 10) << fixed << " steps, " << draws << " draws";
    EXPECT_EQ(game.calls.back(), "shutdown");
}

namespace {
// Lets the simulation through only when told to, and counts what it saw.
class ScriptedGate : public SimulationGate {
public:
    bool open = false;
    int begun = 0, ended = 0;
    bool beginFrame() override {
        ++begun;
        return open;
    }
    void endFrame() override { ++ended; }
    float secondsUntilDue() const override { return 0.0f; }
};
} // namespace

TEST_F(GameLoop, AGateRunsExactlyOneStepPerFrameItLetsThroughWhateverTheDeltaAndDrawsByTheWallClock) {
    ScriptedGate gate;
    game.setSimulationGate(&gate);
    float seenDelta = 0.0f;
    game.whenUpdated = [&] { seenDelta = game.lastUpdateTime; };

    // Refused: no step, no update, however long the loop's own delta says it was.
    game.runFrame(times, deltas({0.5f}));
    EXPECT_EQ(gate.begun, 1);
    EXPECT_EQ(gate.ended, 0);
    EXPECT_EQ(game.count("fixed"), 0u);
    EXPECT_EQ(game.count("update"), 0u);

    // Let through after a long wait: still exactly one step of one fixed delta.
    gate.open = true;
    game.runFrame(times, deltas({0.5f}));
    game.runFrame(times, deltas({0.0f}));
    EXPECT_EQ(gate.ended, 2);
    EXPECT_EQ(game.count("fixed"), 2u);
    EXPECT_EQ(game.count("update"), 2u);
    EXPECT_FLOAT_EQ(seenDelta, 2.0f * game.fixedDelta) << "the match's time moves by steps only";
    EXPECT_LT(times.physicsAccumulator, game.fixedDelta);

    // Drawing follows the wall clock: after a real pause a refused pass draws.
    gate.open = false;
    const size_t drawsBefore = game.count("draw");
    sf::sleep(sf::seconds(0.05f));
    game.runFrame(times, deltas({0.0f}));
    EXPECT_EQ(game.count("draw"), drawsBefore + 1);
    EXPECT_EQ(game.count("fixed"), 2u);

    // Without the gate the loop's own deltas count again.
    game.setSimulationGate(nullptr);
    game.runFrame(times, deltas({game.fixedDelta}));
    EXPECT_EQ(game.count("fixed"), 3u);
}
