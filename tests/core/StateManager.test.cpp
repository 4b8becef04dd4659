#include <gtest/gtest.h>

#include "core/StateManager.hpp"
#include "scene/GameObjectManager.hpp"

namespace {
class LoggingState : public GameState {
public:
    LoggingState(std::string name, std::vector<std::string>& log) : GameState(std::move(name)), log(log) {}
    void enter() override {
        log.push_back("enter " + name);
        // Objects made on entry belong to the scene of this state.
        GameObjectManager::instance().createGameObject(name + " object");
    }
    void update(float, float) override {}
    void draw(float, float, sf::RenderTarget&) override {}
    void exit() override { log.push_back("exit " + name); }
    std::vector<std::string>& log;
};

class StateManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        states.registerState(std::make_shared<LoggingState>("Menu", log));
        states.registerState(std::make_shared<LoggingState>("Arena", log));
    }
    void TearDown() override { states.exitCurrent(); }
    // Lists the pending objects, as the end of a frame's update would.
    void endFrame() { objects.update(0.0f, 0.0f); }

    StateManager& states = StateManager::instance();
    GameObjectManager& objects = GameObjectManager::instance();
    std::vector<std::string> log;
};
} // namespace

TEST_F(StateManagerTest, SwitchExitsOldStateReleasesSceneAndEntersNew) {
    states.setState("Menu");
    endFrame();
    std::weak_ptr<GameObject> menuObject = objects.findGameObject("Menu object");
    ASSERT_FALSE(menuObject.expired());
    states.setState("Arena");
    EXPECT_EQ(log, (std::vector<std::string>{"enter Menu", "exit Menu", "enter Arena"}));
    EXPECT_TRUE(menuObject.expired());
    EXPECT_EQ(states.currentState->name, "Arena");
}

TEST_F(StateManagerTest, UnknownNameKeepsCurrentStateAndObjects) {
    states.setState("Menu");
    endFrame();
    states.setState("Credits");
    EXPECT_EQ(states.currentState->name, "Menu");
    EXPECT_TRUE(objects.findGameObject("Menu object"));
    EXPECT_EQ(log.size(), 1u);
}

TEST_F(StateManagerTest, SwitchingToCurrentStateRestartsIt) {
    states.setState("Menu");
    endFrame();
    auto first = states.currentState;
    std::weak_ptr<GameObject> oldObject = objects.findGameObject("Menu object");
    states.setState("Menu");
    EXPECT_EQ(log, (std::vector<std::string>{"enter Menu", "exit Menu", "enter Menu"}));
    EXPECT_EQ(states.currentState, first);
    EXPECT_TRUE(oldObject.expired());
}

TEST_F(StateManagerTest, FirstSwitchSkipsExitAndKeepsPersistentObjects) {
    auto persistent = objects.createGameObject("kept");
    endFrame();
    EXPECT_TRUE(persistent->persistent);
    states.setState("Arena");
    EXPECT_EQ(log, (std::vector<std::string>{"enter Arena"}));
    endFrame();
    EXPECT_EQ(objects.findGameObject("kept"), persistent);
    EXPECT_FALSE(objects.findGameObject("Arena object")->persistent);
}

TEST_F(StateManagerTest, SecondRegistrationOfANameKeepsTheFirstState) {
    auto first = states.states.at("Menu");
    std::vector<std::string> otherLog;
    states.registerState(std::make_shared<LoggingState>("Menu", otherLog));
    EXPECT_EQ(states.states.at("Menu"), first);
    states.setState("Menu");
    EXPECT_TRUE(otherLog.empty());
}
