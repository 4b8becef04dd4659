#include "game/states/VictoryState.hpp"

#include <functional>

#include "game/GameScenario.hpp"
#include "game/player/PlayerControllerComponent.hpp"
#include "scene/GameObjectManager.hpp"
#include "scene/TransformComponent.hpp"

namespace {
class Match : public GameScenario {
protected:
    std::shared_ptr<PlayerControllerComponent> controllerOf(const std::string& name) {
        const auto player = GameObjectManager::instance().findGameObject(name);
        return player ? player->getComponent<PlayerControllerComponent>() : nullptr;
    }

    // Runs frames until the condition holds; false after `limit` frames.
    bool framesUntil(const std::function<bool()>& condition, int limit) {
        for (int i = 0; i < limit; ++i) {
            if (condition()) {
                return true;
            }
            frames(1);
        }
        return condition();
    }

    // Throws the player far below the arena.
    static void pushOut(const std::shared_ptr<PlayerControllerComponent>& player) {
        player->getGameObject()->transform->setPosition(0.0f, 3000.0f);
    }
};
} // namespace

TEST_F(Match, PlayerTwoPushedOutThreeTimesLosesAndPlayerOneTakesTheStage) {
    startMatch();
    ASSERT_TRUE(controllerOf("Player1"));

    // Both players run at each other on one keyboard, player 1 then with magic on.
    const float start1 = controllerOf("Player1")->getGameObject()->transform->getPosition().x;
    const float start2 = controllerOf("Player2")->getGameObject()->transform->getPosition().x;
    devices->setKey(sf::Keyboard::D, true);
    devices->setKey(sf::Keyboard::Left, true);
    frames(50);
    EXPECT_GT(controllerOf("Player1")->getGameObject()->transform->getPosition().x, start1 + 100.0f);
    EXPECT_LT(controllerOf("Player2")->getGameObject()->transform->getPosition().x, start2 - 100.0f);
    devices->setKey(sf::Keyboard::G, true);
    frames(10);
    devices->reset();
    // Only the screenshots draw from here on: software drawing is slow.
    game.frameInterval = 1.0e6f;

    for (int life = 3; life > 0; --life) {
        const auto loser = controllerOf("Player2");
        ASSERT_TRUE(loser) << "player 2 is in the match with " << life << " lives";
        EXPECT_EQ(loser->state().lives, life);
        pushOut(loser);
        ASSERT_TRUE(framesUntil([&] { return loser->state().lives == life - 1; }, 120)) << "no life lost";
        if (life > 1) {
            ASSERT_TRUE(framesUntil([&] { return loser->state().deathTimer < 0.0f; }, 120)) << "no respawn";
            EXPECT_LT(loser->getGameObject()->transform->getPosition().y, 1000.0f);
        }
        if (life == 3) {
            frames(60);
            screenshot("arena-mid-fight");
        }
    }
    ASSERT_TRUE(framesUntil([&] { return state() == "Victory"; }, 120));
    EXPECT_EQ(shownPages(), "victory");
    auto& gui = GuiManager::instance();
    EXPECT_TRUE(gui.getWidget<widgets::Widget>("victory", "Player1won")->isVisible());
    EXPECT_FALSE(gui.getWidget<widgets::Widget>("victory", "Player2won")->isVisible());

    // The victory stage's wizard is the winner, and falling costs it nothing.
    const auto winner = controllerOf("Player1");
    ASSERT_TRUE(winner);
    EXPECT_EQ(winner->playerNumber(), 1);
    EXPECT_TRUE(winner->state().unlimitedLives);
    frames(40);
    screenshot("victory");
    pushOut(winner);
    EXPECT_TRUE(framesUntil([&] { return winner->state().deathTimer >= 0.0f; }, 60));
    EXPECT_TRUE(framesUntil([&] { return winner->state().deathTimer < 0.0f; }, 120)) << "no respawn";
    EXPECT_EQ(state(), "Victory");

    click("victory", "Continue");
    EXPECT_EQ(state(), "Menu");
    EXPECT_EQ(shownPages(), "menu");
}

// Both players lose their last life in the same frame: a draw, played off as
// sudden death (one life each, the match goes on). The next single loss ends
// the match once, and the victory stage's wizard, which never heard a
// game-over event of the match, still comes back when it falls.
TEST_F(Match, BothOutAtOnceIsSuddenDeathAndTheNextLossEndsTheMatchOnce) {
    startMatch();
    game.frameInterval = 1.0e6f;
    const auto player1 = controllerOf("Player1");
    const auto player2 = controllerOf("Player2");
    ASSERT_TRUE(player1 && player2);
    for (const auto& player : {player1, player2}) {
        PlayerState lastLife = player->state();
        lastLife.lives = 1;
        player->restoreState(lastLife);
    }
    pushOut(player1);
    pushOut(player2);
    ASSERT_TRUE(framesUntil([&] { return player1->state().lives == 0 && player2->state().lives == 0; }, 60));
    ASSERT_TRUE(framesUntil(
        [&] { return player1->state().deathTimer < 0.0f && player2->state().deathTimer < 0.0f; }, 120))
        << "no sudden death";
    EXPECT_EQ(state(), "Arena");
    for (const auto& player : {player1, player2}) {
        EXPECT_EQ(player->state().lives, 1);
        EXPECT_FALSE(player->state().frozen);
        EXPECT_LT(player->getGameObject()->transform->getPosition().y, 1000.0f);
    }

    pushOut(player1);
    ASSERT_TRUE(framesUntil([&] { return state() == "Victory"; }, 180));
    auto& gui = GuiManager::instance();
    EXPECT_FALSE(gui.getWidget<widgets::Widget>("victory", "Player1won")->isVisible());
    EXPECT_TRUE(gui.getWidget<widgets::Widget>("victory", "Player2won")->isVisible());
    const auto winner = controllerOf("Player1");
    ASSERT_TRUE(winner);
    EXPECT_EQ(winner->playerNumber(), 2);
    EXPECT_FALSE(winner->state().frozen);
    pushOut(winner);
    EXPECT_TRUE(framesUntil([&] { return winner->state().deathTimer >= 0.0f; }, 60));
    EXPECT_TRUE(framesUntil([&] { return winner->state().deathTimer < 0.0f; }, 120)) << "no respawn";
}
