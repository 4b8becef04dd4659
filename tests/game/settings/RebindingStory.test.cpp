// A story through the real game: player 2 rebinds keys on the controls page,
// plays with them, quits, and the next start keeps them.

#include <filesystem>
#include <string>

#include "common/KeyEvents.hpp"
#include "common/PrivateSettingsFolder.hpp"
#include "common/TextFiles.hpp"
#include "game/GameReset.hpp"
#include "game/GameScenario.hpp"
#include "game/player/PlayerControllerComponent.hpp"
#include "physics/RigidBodyComponent.hpp"
#include "scene/GameObjectManager.hpp"
#include "widgets/Button.hpp"
#include "widgets/Label.hpp"

namespace fs = std::filesystem;

namespace {
class RebindingStory : public GameScenario {
protected:
    static std::string row(const std::string& widget) {
        const auto button = GuiManager::instance().getWidget<widgets::Button>("mControls", widget);
        return button ? button->getText() : "(no " + widget + ")";
    }
    // Chooses the row, then presses `key` in the next frame, as a player does.
    void rebind(Game& on, const std::string& widget, sf::Keyboard::Key key) {
        click("mControls", widget);
        on.runFrame(times, [] { return frameDelta; });
        EXPECT_EQ(row(widget), "press a key") << widget;
        on.queueGuiEvent(keys::pressed(key));
        on.queueGuiEvent(keys::released(key));
        on.runFrame(times, [] { return frameDelta; });
    }
    static std::shared_ptr<RigidBodyComponent> bodyOf(int number) {
        const auto player = GameObjectManager::instance().findGameObject("Player" + std::to_string(number));
        return player ? player->rigidBody : nullptr;
    }

    const fs::path folder = PrivateSettingsFolder::root() / "rebinding";
};
} // namespace

TEST_F(RebindingStory, PlayerTwoRebindsJumpPlaysWithItAndTheNextStartKeepsIt) {
    fs::create_directories(folder);
    {
        ScenarioGame first;
        first.title = "Vorlune scenario";
        first.options.configPath = folder.string();
        ASSERT_TRUE(first.init());
        const auto run = [&](int count) {
            for (int i = 0; i < count; ++i) {
                first.runFrame(times, [] { return frameDelta; });
            }
        };
        run(2);
        click("menu", "MenuOptions");
        run(1);
        ASSERT_TRUE(visible("mControls"));
        EXPECT_EQ(row("Player1Jump"), "Space  \xC2\xB7  pad 1 bottom button");
        EXPECT_EQ(row("Player2Jump"), "Numpad 0  \xC2\xB7  pad 2 bottom button");
        EXPECT_EQ(row("Player2Left"), "Left  \xC2\xB7  pad 2 d-pad left");

        // A key of the laptop layout for player 2's jump; its pad button stays.
        rebind(first, "Player2Jump", sf::Keyboard::L);
        EXPECT_EQ(row("Player2Jump"), "L  \xC2\xB7  pad 2 bottom button");
        // Player 1 takes it: the two swap, and both rows show it.
        rebind(first, "Player1Jump", sf::Keyboard::L);
        EXPECT_EQ(row("Player1Jump"), "L  \xC2\xB7  pad 1 bottom button");
        EXPECT_EQ(row("Player2Jump"), "Space  \xC2\xB7  pad 2 bottom button");
        rebind(first, "Player2Jump", sf::Keyboard::L);
        EXPECT_EQ(row("Player1Jump"), "Space  \xC2\xB7  pad 1 bottom button");
        // Two directions of one axis swap too.
        rebind(first, "Player2Left", sf::Keyboard::Right);
        EXPECT_EQ(row("Player2Left"), "Right  \xC2\xB7  pad 2 d-pad left");
        EXPECT_EQ(row("Player2Right"), "Left  \xC2\xB7  pad 2 d-pad right");
        rebind(first, "Player2Left", sf::Keyboard::Left);

        // Escape cancels without leaving the page; so does waiting 5 seconds.
        rebind(first, "Player1Magic", sf::Keyboard::Escape);
        EXPECT_EQ(row("Player1Magic"), "G  \xC2\xB7  pad 1 right button");
        run(3);
        EXPECT_TRUE(visible("mControls")) << "the Escape that cancelled also went back";
        click("mControls", "Player1Magic");
        run(1);
        EXPECT_EQ(row("Player1Magic"), "press a key");
        run(static_cast<int>(5.0f / frameDelta) + 2);
        EXPECT_EQ(row("Player1Magic"), "G  \xC2\xB7  pad 1 right button");
        // Arrows move the focus again once nothing waits.
        EXPECT_FALSE(GuiManager::instance().captures(keys::pressed(sf::Keyboard::Down)));

        click("options", "BackPause");
        run(1);
        clickPlay();
        run(1);
        ASSERT_EQ(state(), "Arena");
        const auto body = bodyOf(2);
        ASSERT_TRUE(body);
        run(90);
        const float before = body->getVelocity().y;
        EXPECT_NEAR(before, 0.0f, 1.0f) << "player 2 stands";
        devices->setKey(sf::Keyboard::L, true);
        run(1);
        EXPECT_LT(body->getVelocity().y, -1.0f) << "L jumps for player 2";
        devices->setKey(sf::Keyboard::L, false);
        first.window.close();
        first.shutdown();
    }
    const std::string text = readWholeFile((folder / "settings.txt").string());
    // Pad 2's bottom button, its raw button 0 for pads without a mapping, then L.
    EXPECT_NE(text.find("binding.Player2 Jump = pad2.south, pad2.button0, L\n"), std::string::npos) << text;

    resetGame();
    input.setBackend(devices);
    game.options.configPath = folder.string();
    start();
    frames(2);
    click("menu", "MenuOptions");
    frames(1);
    EXPECT_EQ(row("Player2Jump"), "L  \xC2\xB7  pad 2 bottom button");
    EXPECT_EQ(row("Player1Jump"), "Space  \xC2\xB7  pad 1 bottom button");

    // By keyboard: Enter on the focused row, then an arrow key, which moves
    // no focus now but binds; the aim axis it came from gets magic's key.
    hover("mControls", "Player1Magic");
    game.queueGuiEvent(keys::pressed(sf::Keyboard::Enter));
    frames(1);
    EXPECT_EQ(row("Player1Magic"), "press a key");
    game.queueGuiEvent(keys::pressed(sf::Keyboard::Down));
    frames(1);
    EXPECT_EQ(row("Player1Magic"), "Down  \xC2\xB7  pad 1 right button");
    EXPECT_EQ(row("Player2Down"), "G  \xC2\xB7  pad 2 d-pad down");

    // The laptop layout, and a reset to its defaults.
    click("mControls", "Player2Keys");
    frames(1);
    EXPECT_EQ(row("Player2Keys"), "Player 2 keys: laptop");
    EXPECT_EQ(row("Player2Magic"), "K  \xC2\xB7  pad 2 right button");
    screenshot("controls-page-laptop-layout");
    rebind(game, "Player1Jump", sf::Keyboard::K);
    EXPECT_EQ(row("Player2Magic"), "Space  \xC2\xB7  pad 2 right button");
    click("mControls", "ResetBindings");
    frames(1);
    EXPECT_EQ(row("Player1Jump"), "Space  \xC2\xB7  pad 1 bottom button");
    EXPECT_EQ(row("Player2Magic"), "K  \xC2\xB7  pad 2 right button");
    EXPECT_EQ(row("Player2Jump"), "L  \xC2\xB7  pad 2 bottom button");
    game.window.close();
    game.shutdown();
    const std::string laptop = readWholeFile((folder / "settings.txt").string());
    EXPECT_NE(laptop.find("player2.keys = laptop\n"), std::string::npos) << laptop;
    EXPECT_NE(laptop.find("binding.Player1 Jump = Space, "), std::string::npos) << laptop;
}
