#pragma once

// The real game in a real window, driven frame by frame with fixed 1/60 s
// frames, scripted keys and synthesized mouse events at the buttons' places,
// so that a scenario plays the same way on every run.

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include <SFML/Graphics/Texture.hpp>

#include "app/GuiManager.hpp"
#include "audio/SoundManager.hpp"
#include "common/KeyEvents.hpp"
#include "common/MediaFixtures.hpp"
#include "common/MouseEvents.hpp"
#include "common/ScriptedInputTest.hpp"
#include "core/EventManager.hpp"
#include "core/StateManager.hpp"
#include "game/GameOverEvent.hpp"
#include "game/VorluneGame.hpp"
#include "widgets/Widget.hpp"

// Copies the game's content into `content` (assets/, beside an empty build/
// to run from), so a case may break some of it; returns the build folder.
inline std::string copyContentInto(const TempDirectory& content) {
    const std::filesystem::path root(content.path());
    std::filesystem::copy(std::string(VORLUNE_SOURCE_DIR) + "/assets", root / "assets",
                          std::filesystem::copy_options::recursive);
    std::filesystem::create_directories(root / "build");
    return (root / "build").string();
}

// Remembers which state the game's hook saw, to tell switches made at the end
// of a frame from switches made while the GUI handled its events.
class ScenarioGame : public VorluneGame {
public:
    void onUpdate(float delta, float time) override {
        const auto& current = StateManager::instance().currentState;
        stateAtHook = current ? current->name : "";
        VorluneGame::onUpdate(delta, time);
    }
    std::string stateAtHook;
};

class GameScenario : public ScriptedInputTest {
protected:
    static constexpr float frameDelta = 1.0f / 60.0f;

    // Starts the game; `init` fails only without a display.
    void start() {
        // Not the game's own title: end-to-end cases look for that one.
        game.title = "Vorlune scenario";
        ASSERT_TRUE(game.init()) << "no window (run under Xvfb)";
    }

    void frames(int count) {
        for (int i = 0; i < count; ++i) {
            game.runFrame(times, [] { return frameDelta; });
        }
    }

    // Runs frames until the condition holds, letting an X server deliver
    // what xdotool sent meanwhile; false after about 10 s.
    bool framesUntil(const std::function<bool()>& condition) {
        for (int i = 0; i < 400; ++i) {
            if (condition()) {
                return true;
            }
            frames(1);
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
        }
        return condition();
    }

    // A key as a keyboard gives it: held on the device, and its press or
    // release reported by the window at the start of the next frame.
    void keyDown(sf::Keyboard::Key key) {
        devices->setKey(key, true);
        game.queueGuiEvent(keys::pressed(key));
    }
    void keyUp(sf::Keyboard::Key key) {
        devices->setKey(key, false);
        game.queueGuiEvent(keys::released(key));
    }

    // Holds the key for one frame, then lets it go for one.
    void tap(sf::Keyboard::Key key) {
        devices->setKey(key, true);
        frames(1);
        devices->setKey(key, false);
        frames(1);
    }

    std::string state() const {
        const auto& current = StateManager::instance().currentState;
        return current ? current->name : "";
    }

    bool visible(const std::string& page) const { return GuiManager::instance().isVisible(page); }

    // The pages shown right now, in name order, joined by spaces.
    std::string shownPages() const {
        std::string shown;
        for (const auto& [name, group] : GuiManager::instance().groups) {
            if (group->isVisible()) {
                shown += (shown.empty() ? "" : " ") + name;
            }
        }
        return shown;
    }

    // The mouse moves onto the widget's centre (GUI pixels are window pixels).
    sf::Vector2i centreOf(const std::string& page, const std::string& widget) {
        const auto found = GuiManager::instance().getWidget<widgets::Widget>(page, widget);
        EXPECT_TRUE(found) << page << "/" << widget;
        if (!found) {
            return {-1, -1};
        }
        const sf::FloatRect rect = found->getAbsoluteRect();
        return {static_cast<int>(rect.left + rect.width / 2), static_cast<int>(rect.top + rect.height / 2)};
    }
    void hover(const std::string& page, const std::string& widget) {
        const sf::Vector2i at = centreOf(page, widget);
        GuiManager::instance().handleEvent(mouse::moved(at.x, at.y));
    }
    // A click as the window delivers it at the start of a frame; the frame
    // itself is left to the caller.
    void click(const std::string& page, const std::string& widget) {
        const sf::Vector2i at = centreOf(page, widget);
        auto& gui = GuiManager::instance();
        gui.handleEvent(mouse::moved(at.x, at.y));
        gui.handleEvent(mouse::pressed(at.x, at.y));
        gui.handleEvent(mouse::released(at.x, at.y));
    }

    // Play on the title page, then the arena page's `arenaButton`: the match
    // starts at the end of the coming frame.
    void clickPlay(const std::string& arenaButton = "Arena1") {
        click("menu", "StartGame");
        click("mArena", arenaButton);
    }

    // From the title menu through the arena page into a match, as a player
    // does: the switch and its click come at the end of the frame, after the
    // GUI's event handling.
    void startMatch(const std::string& arenaButton = "Arena1") {
        start();
        frames(2);
        click("menu", "StartGame");
        EXPECT_EQ(shownPages(), "mArena");
        click("mArena", arenaButton);
        EXPECT_EQ(state(), "Menu");
        frames(1);
        EXPECT_EQ(game.stateAtHook, "Menu") << "switched before the end of the frame";
        ASSERT_EQ(state(), "Arena");
        EXPECT_EQ(shownPages(), "");
        EXPECT_GE(playing("click"), 1);
    }

    // What a player controller sends when its player is out.
    static void gameOver(int winner) {
        auto event = std::make_shared<GameOverEvent>();
        event->winner = winner;
        EventManager::instance().queueEvent(event);
    }

    // How many sounds of that name are playing, and the volume of the last one.
    int playing(const std::string& name, float* volume = nullptr) const {
        int count = 0;
        for (const auto& entry : SoundManager::instance().playing) {
            if (entry.name == name) {
                ++count;
                if (volume) {
                    *volume = entry.source->getVolume();
                }
            }
        }
        return count;
    }

    // Draws a frame and saves what the window shows under
    // build/test-screenshots/<name>.png.
    void screenshot(const std::string& name) {
        const std::filesystem::path folder = std::filesystem::path(VORLUNE_BINARY_DIR) / "test-screenshots";
        std::filesystem::create_directories(folder);
        game.draw(frameDelta, times.drawTime);
        sf::Texture shot;
        ASSERT_TRUE(shot.create(game.width, game.height));
        shot.update(game.window);
        EXPECT_TRUE(shot.copyToImage().saveToFile((folder / (name + ".png")).string()));
    }

    void TearDown() override {
        if (game.window.isOpen()) {
            game.window.close();
        }
        game.shutdown();
        ScriptedInputTest::TearDown();
    }

    ScenarioGame game;
    FrameTimes times;
};
