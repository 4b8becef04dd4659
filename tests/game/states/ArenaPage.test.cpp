// The arena page between the title and the match: chosen by mouse and by
// keys, Random, Back and Escape, the choice kept for the rematch and in the
// settings.
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "common/KeyEvents.hpp"
#include "common/MapFixtures.hpp"
#include "common/MediaFixtures.hpp"
#include "common/TestOutput.hpp"
#include "common/TextFiles.hpp"
#include "core/RandomSource.hpp"
#include "core/StateManager.hpp"
#include "game/GameScenario.hpp"
#include "game/states/ArenaPage.hpp"
#include "scene/GameObjectManager.hpp"

namespace {
class ArenaPageTest : public GameScenario {
protected:
    void press(sf::Keyboard::Key key) {
        GuiManager::instance().handleEvent(keys::pressed(key, false, false));
        GuiManager::instance().handleEvent(keys::released(key));
    }

    bool isFocused(const std::string& page, const std::string& widget) const {
        const auto wanted = GuiManager::instance().getWidget<widgets::Widget>(page, widget);
        return wanted && GuiManager::instance().gui.getFocused() == wanted;
    }

    // Which arena's map the match was built from, by an object only it has.
    static std::string builtArena() {
        auto& objects = GameObjectManager::instance();
        if (objects.findGameObject("Lift1")) {
            return "spires";
        }
        if (objects.findGameObject("SkyFerry")) {
            return "crossing";
        }
        return objects.findGameObject("Player1") ? "isles" : "";
    }

    void leaveMatch() {
        tap(sf::Keyboard::Escape);
        click("pause", "Menu");
        frames(1);
        ASSERT_EQ(state(), "Menu");
    }
};
} // namespace

TEST_F(ArenaPageTest, MouseAndKeysChooseTheArenaAndTheChoiceStaysForTheNextMatch) {
    const std::filesystem::path folder = testOutputPath("arena-page-settings");
    std::filesystem::remove(folder / "settings.txt");
    game.options.configPath = folder.string();
    start();
    frames(2);
    // Play opens the page, the last choice (the first arena) focused.
    click("menu", "StartGame");
    EXPECT_EQ(shownPages(), "mArena");
    EXPECT_TRUE(isFocused("mArena", "Arena1"));
    screenshot("arena-page");
    // Back and Escape return to the title.
    click("mArena", "BackMenu");
    EXPECT_EQ(shownPages(), "menu");
    click("menu", "StartGame");
    tap(sf::Keyboard::Escape);
    EXPECT_EQ(shownPages(), "menu");

    // The mouse: the third arena.
    clickPlay("Arena3");
    EXPECT_EQ(state(), "Menu") << "the match is built at the end of the frame";
    frames(1);
    ASSERT_EQ(state(), "Arena");
    EXPECT_EQ(builtArena(), "crossing");
    EXPECT_EQ(game.playerSetup->arenaChoice, "crossing");
    leaveMatch();

    // The keys: the page opens on the last choice; Left moves to the second.
    press(sf::Keyboard::Enter);
    ASSERT_EQ(shownPages(), "mArena");
    EXPECT_TRUE(isFocused("mArena", "Arena3"));
    press(sf::Keyboard::Left);
    EXPECT_TRUE(isFocused("mArena", "Arena2"));
    press(sf::Keyboard::Enter);
    frames(1);
    ASSERT_EQ(state(), "Arena");
    EXPECT_EQ(builtArena(), "spires");

    // A rematch and a restart are played where the match was.
    gameOver(1);
    frames(1);
    ASSERT_EQ(state(), "Victory");
    click("victory", "Rematch");
    frames(1);
    ASSERT_EQ(state(), "Arena");
    EXPECT_EQ(builtArena(), "spires");
    tap(sf::Keyboard::R);
    EXPECT_EQ(builtArena(), "spires");
    leaveMatch();

    // Random draws one of the arenas, and the rematch keeps the one it drew.
    clickPlay("RandomArena");
    frames(1);
    ASSERT_EQ(state(), "Arena");
    const std::string drawn = builtArena();
    EXPECT_EQ(game.playerSetup->arenaChoice, "random");
    EXPECT_EQ(game.playerSetup->matchArena, drawn);
    gameOver(2);
    frames(1);
    click("victory", "Rematch");
    frames(1);
    EXPECT_EQ(builtArena(), drawn);

    // The choice is kept with the settings.
    game.onShutdown();
    const std::string settings = readWholeFile((folder / "settings.txt").string());
    EXPECT_NE(settings.find("arena = random"), std::string::npos) << settings;
}

TEST(ArenaChoice, RandomDrawsEveryArenaAndTheSameSeedDrawsTheSame) {
    std::set<std::string> drawn;
    RandomSource::instance().seed(7);
    std::vector<std::string> first;
    for (int i = 0; i < 60; ++i) {
        first.push_back(resolveArenaChoice("random"));
        drawn.insert(first.back());
    }
    EXPECT_EQ(drawn, (std::set<std::string>{"isles", "spires", "crossing"}));
    RandomSource::instance().seed(7);
    for (const auto& arena : first) {
        EXPECT_EQ(resolveArenaChoice("random"), arena);
    }
    EXPECT_EQ(resolveArenaChoice("spires"), "spires");
    EXPECT_EQ(resolveArenaChoice("nowhere"), "isles");
    EXPECT_EQ(arenaButtonName("crossing"), "Arena3");
    EXPECT_EQ(arenaButtonName("random"), "RandomArena");
}

TEST_F(ArenaPageTest, WithoutItsPagePlayStillStartsAMatchOnTheLastChoice) {
    TempDirectory content;
    const std::string build = copyContentInto(content);
    content.writeText("assets/gui/Menu_Arena.txt", "Button.Arena1 { Size = (10, ; }");
    ScopedWorkingDirectory inBuild(build);
    ReportCapture output;
    start();
    frames(2);
    click("menu", "StartGame");
    frames(1);
    EXPECT_EQ(state(), "Arena");
    EXPECT_EQ(builtArena(), "isles");
    EXPECT_NE(output.text().find("Menu_Arena.txt:1:"), std::string::npos);
}
