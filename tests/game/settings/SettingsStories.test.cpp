// Stories through the real game: settings kept across a restart, the rules
// of a rematch, and presses that reach the player at once.

#include <filesystem>
#include <functional>
#include <string>

#include "common/KeyEvents.hpp"
#include "common/PrivateSettingsFolder.hpp"
#include "common/TextFiles.hpp"
#include "game/GameReset.hpp"
#include "game/GameScenario.hpp"
#include "game/bot/BotComponent.hpp"
#include "game/hud/HealthBarComponent.hpp"
#include "game/player/PadRumble.hpp"
#include "game/player/PlayerControllerComponent.hpp"
#include "physics/RigidBodyComponent.hpp"
#include "scene/GameObjectManager.hpp"
#include "scene/TransformComponent.hpp"
#include "widgets/Button.hpp"
#include "widgets/Label.hpp"
#include "widgets/Slider.hpp"

namespace fs = std::filesystem;

namespace {
class SettingsStory : public GameScenario {
protected:
    static std::shared_ptr<widgets::Slider> slider(const std::string& page, const std::string& name) {
        return GuiManager::instance().getWidget<widgets::Slider>(page, name);
    }
    static std::shared_ptr<PlayerControllerComponent> controllerOf(int number) {
        const auto player = GameObjectManager::instance().findGameObject("Player" + std::to_string(number));
        return player ? player->getComponent<PlayerControllerComponent>() : nullptr;
    }
    // The hats every health bar of the scene shows.
    static size_t hatCount() {
        size_t hats = 0;
        for (const auto& object : GameObjectManager::instance().sceneObjects) {
            if (const auto bar = object->getComponent<HealthBarComponent>()) {
                hats += bar->icons.size();
            }
        }
        return hats;
    }
    bool framesUntil(const std::function<bool()>& condition, int limit) {
        for (int i = 0; i < limit && !condition(); ++i) {
            frames(1);
        }
        return condition();
    }
    // From the title page into a match, with the settings of `folder`.
    void startMatchWith(const fs::path& folder) {
        game.options.configPath = folder.string();
        startMatch();
        game.frameInterval = 1.0e6f; // nothing to look at: software drawing is slow
    }
    // Runs frames until player 1 stands on the ground.
    void untilPlayer1Stands() {
        const auto player = controllerOf(1);
        ASSERT_TRUE(player);
        ASSERT_TRUE(framesUntil([&] { return player->isGrounded(); }, 240));
        frames(10);
    }

    const fs::path folder = PrivateSettingsFolder::root() / "story";
};
} // namespace

TEST_F(SettingsStory, VolumesLivesPlayerTwoAndItsKeysSurviveARestart) {
    fs::create_directories(folder);
    writeWholeFile((folder / "settings.txt").string(), "player2.keys = laptop\nfrom.a.newer.game = keep me\n"
                                                       "binding.Player1 Jump = 57 pad1.north\n");
    {
        ScenarioGame first;
        first.title = "Vorlune scenario";
        first.options.configPath = folder.string();
        ASSERT_TRUE(first.init());
        FrameTimes firstTimes;
        const auto run = [&](int count) {
            for (int i = 0; i < count; ++i) {
                first.runFrame(firstTimes, [] { return frameDelta; });
            }
        };
        run(2);
        click("menu", "MenuOptions");
        run(1);
        click("options", "Sound");
        run(1);
        ASSERT_TRUE(slider("sound", "MasterVolume"));
        slider("sound", "MasterVolume")->setValue(40.0f);
        slider("sound", "MusicVolume")->setValue(80.0f);
        slider("sound", "GameSounds")->setValue(30.0f);
        run(2);
        click("options", "Gameplay");
        run(1);
        ASSERT_TRUE(slider("mGameplay", "Lives"));
        slider("mGameplay", "Lives")->setValue(7.0f);
        run(1);
        EXPECT_EQ(GuiManager::instance().getWidget<widgets::Label>("mGameplay", "LivesValue")->getText(),
                  "7");
        click("mGameplay", "Player2Mode");
        run(1);
        // The window as a player leaves it: made smaller, then fullscreen.
        first.window.setSize({1280, 720});
        run(2);
        ASSERT_TRUE(first.toggleFullscreen());
        run(1);
        click("mGameplay", "Rumble");
        run(1);
        EXPECT_EQ(GuiManager::instance().getWidget<widgets::Button>("mGameplay", "Rumble")->getText(),
                  "Rumble: off");
        first.window.close();
        first.shutdown();
    }
    const std::string text = readWholeFile((folder / "settings.txt").string());
    for (const char* line :
         {"volume.master = 40\n", "volume.music = 80\n", "volume.effects = 30\n", "lives = 7\n",
          "player2 = computer\n", "player2.keys = laptop\n", "from.a.newer.game = keep me\n",
          "window.size = 1280x720\n", "window.fullscreen = yes\n", "rumble = off\n",
          "binding.Player1 Jump = Space, pad1.north\n"}) {
        EXPECT_NE(text.find(line), std::string::npos) << line << " in:\n" << text;
    }

    resetGame();
    input.setBackend(devices);
    game.options.configPath = folder.string();
    start();
    EXPECT_FLOAT_EQ(SoundManager::instance().soundVolume, 0.4f * 0.3f);
    EXPECT_FLOAT_EQ(SoundManager::instance().musicVolume, 0.4f * 0.8f);
    EXPECT_EQ(slider("sound", "MasterVolume")->getValue(), 40.0f);
    EXPECT_EQ(slider("mGameplay", "Lives")->getValue(), 7.0f);
    EXPECT_TRUE(game.playerSetup->isComputer(2));
    EXPECT_EQ(input.actions.at("Player2 Jump")->codes.front(), sf::Keyboard::L);
    EXPECT_TRUE(game.isFullscreen());
    EXPECT_EQ(game.windowedWindowSize(), sf::Vector2u(1280, 720));
    ASSERT_TRUE(game.toggleFullscreen());
    EXPECT_EQ(game.window.getSize(), sf::Vector2u(1280, 720));
    EXPECT_FALSE(padRumble::isEnabled());
    // A pad's button by its name: jump on the top face button instead.
    EXPECT_EQ(input.actions.at("Player1 Jump")->codes,
              (std::vector<int32_t>{sf::Keyboard::Space, inputCodes::padButton(0, PadButton::north)}));

    frames(2);
    click("menu", "MenuOptions");
    frames(1);
    click("options", "Gameplay");
    frames(1);
    EXPECT_EQ(GuiManager::instance().getWidget<widgets::Label>("mGameplay", "LivesValue")->getText(), "7");
    screenshot("gameplay-page-seven-lives");
    click("options", "BackPause");
    frames(1);
    clickPlay();
    frames(1);
    ASSERT_EQ(state(), "Arena");
    ASSERT_TRUE(controllerOf(1) && controllerOf(2));
    EXPECT_EQ(controllerOf(1)->state().lives, 7);
    EXPECT_EQ(controllerOf(2)->state().lives, 7);
    EXPECT_EQ(hatCount(), 14u);
    frames(30);
    screenshot("arena-seven-lives");
}

TEST_F(SettingsStory, RematchStartsANewMatchWithTheSameRulesAndPlayers) {
    fs::create_directories(folder);
    writeWholeFile((folder / "settings.txt").string(), "lives = 5\nplayer2 = computer\n");
    startMatchWith(folder);
    ASSERT_TRUE(controllerOf(2));
    EXPECT_EQ(controllerOf(2)->state().lives, 5);
    EXPECT_EQ(hatCount(), 10u);

    gameOver(2);
    frames(1);
    ASSERT_EQ(state(), "Victory");
    click("victory", "Rematch");
    EXPECT_EQ(state(), "Victory") << "the match is built at the end of the frame";
    frames(1);
    ASSERT_EQ(state(), "Arena");
    EXPECT_EQ(shownPages(), "");
    ASSERT_TRUE(controllerOf(1) && controllerOf(2));
    EXPECT_EQ(controllerOf(1)->state().lives, 5);
    EXPECT_EQ(controllerOf(2)->state().lives, 5);
    EXPECT_FALSE(controllerOf(1)->getGameObject()->getComponent<BotComponent>());
    EXPECT_TRUE(controllerOf(2)->getGameObject()->getComponent<BotComponent>());
    EXPECT_EQ(hatCount(), 10u);
}

TEST_F(SettingsStory, UnlimitedLivesKeepEveryHatAfterAFall) {
    fs::create_directories(folder);
    writeWholeFile((folder / "settings.txt").string(), "lives = unlimited\n");
    startMatchWith(folder);
    const auto player = controllerOf(1);
    ASSERT_TRUE(player);
    EXPECT_TRUE(player->state().unlimitedLives);
    player->getGameObject()->transform->setPosition(0.0f, 3000.0f);
    ASSERT_TRUE(framesUntil([&] { return player->state().deathTimer >= 0.0f; }, 120));
    ASSERT_TRUE(framesUntil([&] { return player->state().deathTimer < 0.0f; }, 180)) << "no respawn";
    EXPECT_EQ(player->state().lives, PlayerSetup::defaultLives);
    EXPECT_EQ(state(), "Arena");
}

// A key pressed and let go between two frames of a slow machine (5 frames a
// second) still jumps; without the window's press it would be lost.
TEST_F(SettingsStory, ATapBetweenFramesAtFiveFramesASecondStillJumps) {
    startMatchWith(folder);
    untilPlayer1Stands();
    const auto body = controllerOf(1)->getGameObject()->rigidBody;
    ASSERT_TRUE(body);
    const auto slowFrame = [&] { game.runFrame(times, [] { return 0.2f; }); };
    const float before = controllerOf(1)->getGameObject()->transform->getPosition().y;
    slowFrame();
    EXPECT_NEAR(controllerOf(1)->getGameObject()->transform->getPosition().y, before, 2.0f) << "stands still";

    game.queueGuiEvent(keys::pressed(sf::Keyboard::Space));
    game.queueGuiEvent(keys::released(sf::Keyboard::Space));
    slowFrame();
    EXPECT_LT(controllerOf(1)->getGameObject()->transform->getPosition().y, before - 50.0f) << "jumped";
}

// The frame that first samples a press already moves the player.
TEST_F(SettingsStory, APressMovesThePlayerInTheFrameThatSawIt) {
    startMatchWith(folder);
    untilPlayer1Stands();
    const auto body = controllerOf(1)->getGameObject()->rigidBody;
    ASSERT_TRUE(body);
    devices->setKey(sf::Keyboard::Space, true);
    int framesToMotion = 0;
    while (framesToMotion < 10 && body->getVelocity().y > -1.0f) {
        frames(1);
        ++framesToMotion;
    }
    EXPECT_EQ(framesToMotion, 1);
    RecordProperty("pressToMotionFrames", framesToMotion);
}
