#include "game/states/ArenaState.hpp"

#include "game/GameScenario.hpp"
#include "scene/GameObjectManager.hpp"

namespace {
using Arena = GameScenario;
} // namespace

TEST_F(Arena, EscapeOpensAndClosesThePausePagesOverTheRunningMatch) {
    startMatch();
    frames(30);
    screenshot("arena");

    tap(sf::Keyboard::Escape);
    EXPECT_EQ(shownPages(), "pause");
    screenshot("pause");
    tap(sf::Keyboard::Escape);
    EXPECT_EQ(shownPages(), "");

    // Held down, Escape toggles once.
    devices->setKey(sf::Keyboard::Escape, true);
    frames(20);
    devices->setKey(sf::Keyboard::Escape, false);
    frames(1);
    EXPECT_EQ(shownPages(), "pause");

    click("pause", "Controls");
    EXPECT_EQ(shownPages(), "pauseControls");
    screenshot("pause-controls");
    tap(sf::Keyboard::Escape);
    EXPECT_EQ(shownPages(), "pause");
    click("pause", "Controls");
    click("pauseControls", "BackPause");
    EXPECT_EQ(shownPages(), "pause");

    click("pause", "Continue");
    EXPECT_EQ(shownPages(), "");
    frames(1);
    EXPECT_EQ(state(), "Arena");

    // "Menu" leaves the match at the end of the frame, not while the GUI works.
    tap(sf::Keyboard::Escape);
    const std::weak_ptr<GameObject> player = GameObjectManager::instance().findGameObject("Player1");
    EXPECT_FALSE(player.expired());
    click("pause", "Menu");
    EXPECT_EQ(shownPages(), "pause");
    frames(1);
    EXPECT_EQ(game.stateAtHook, "Arena");
    EXPECT_EQ(state(), "Menu");
    EXPECT_EQ(shownPages(), "menu");
    EXPECT_TRUE(player.expired()) << "the match is released";
}

TEST_F(Arena, QuitEndsTheGameAtTheEndOfTheFrame) {
    startMatch();
    tap(sf::Keyboard::Escape);
    click("pause", "Quit");
    EXPECT_TRUE(game.window.isOpen());
    EXPECT_EQ(shownPages(), "");
    frames(1);
    EXPECT_FALSE(game.window.isOpen());
}

TEST_F(Arena, GameOverGoesToTheVictoryScreenOnlyFromTheMatch) {
    start();
    frames(2);
    // In the menu a game over changes nothing.
    gameOver(2);
    frames(1);
    EXPECT_EQ(state(), "Menu");
    EXPECT_EQ(shownPages(), "menu");

    clickPlay();
    frames(1);
    // Both players out in one frame is a draw, and the match goes on.
    gameOver(1);
    gameOver(2);
    frames(1);
    EXPECT_EQ(state(), "Arena");
    // One winner ends it, even under the pause page.
    tap(sf::Keyboard::Escape);
    gameOver(1);
    gameOver(1);
    frames(1);
    EXPECT_EQ(state(), "Victory");
    // The pause page does not stay over the victory screen.
    EXPECT_EQ(shownPages(), "victory");
    EXPECT_TRUE(GuiManager::instance().getWidget<widgets::Widget>("victory", "Player1won")->isVisible());
    EXPECT_FALSE(GuiManager::instance().getWidget<widgets::Widget>("victory", "Player2won")->isVisible());
    frames(30);
    screenshot("victory-after-pause");

    click("victory", "Continue");
    EXPECT_EQ(state(), "Menu") << "the victory screen leaves at once";
    EXPECT_EQ(shownPages(), "menu");
}

TEST_F(Arena, RestartRebuildsWhateverIsCurrent) {
    start();
    frames(2);
    // R on an options page restarts the menu on its title page, and Escape
    // there leaves it alone.
    click("menu", "MenuOptions");
    click("options", "Sound");
    tap(sf::Keyboard::R);
    EXPECT_EQ(state(), "Menu");
    EXPECT_EQ(shownPages(), "menu");
    tap(sf::Keyboard::Escape);
    EXPECT_EQ(shownPages(), "menu");

    clickPlay();
    frames(1);
    const std::weak_ptr<GameObject> before = GameObjectManager::instance().findGameObject("Player2");
    ASSERT_FALSE(before.expired());
    tap(sf::Keyboard::R);
    EXPECT_EQ(state(), "Arena");
    ASSERT_TRUE(GameObjectManager::instance().findGameObject("Player2"));
    EXPECT_TRUE(before.expired()) << "a restart builds a new match";

    gameOver(2);
    frames(1);
    ASSERT_EQ(state(), "Victory");
    const std::weak_ptr<GameObject> winner = GameObjectManager::instance().findGameObject("Player1");
    ASSERT_FALSE(winner.expired());
    tap(sf::Keyboard::R);
    EXPECT_EQ(state(), "Victory");
    EXPECT_TRUE(winner.expired());
    EXPECT_TRUE(GameObjectManager::instance().findGameObject("Player1"));
    EXPECT_TRUE(GuiManager::instance().getWidget<widgets::Widget>("victory", "Player2won")->isVisible());
    frames(20);
    screenshot("victory-player2");
}
