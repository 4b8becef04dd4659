// The menus without a mouse: from the title to a match, the pause page, the
// options, a slider moved, back, and out, by keys alone, delivered as the
// window delivers them.
#include "common/KeyEvents.hpp"
#include "game/GameScenario.hpp"
#include "widgets/Button.hpp"
#include "widgets/Slider.hpp"

namespace {
class MenusByKeyboard : public GameScenario {
protected:
    // A key as the window delivers it at the start of a frame.
    void press(sf::Keyboard::Key key, bool shift = false) {
        GuiManager::instance().handleEvent(keys::pressed(key, false, shift));
        GuiManager::instance().handleEvent(keys::released(key));
    }

    std::shared_ptr<widgets::Widget> focused() const { return GuiManager::instance().gui.getFocused(); }

    bool isFocused(const std::string& page, const std::string& widget) const {
        const auto wanted = GuiManager::instance().getWidget<widgets::Widget>(page, widget);
        return wanted && focused() == wanted;
    }

    // Tab until the control has the focus; false when a round found it not.
    bool tabTo(const std::string& page, const std::string& widget) {
        for (int step = 0; step < 30 && !isFocused(page, widget); ++step) {
            press(sf::Keyboard::Tab);
        }
        return isFocused(page, widget);
    }
};
} // namespace

TEST_F(MenusByKeyboard, FromTheTitleToAMatchThePausePageAndOptionsAndOutWithoutAMouse) {
    start();
    frames(2);
    // The page that opens has its first control focused, and it is drawn outlined.
    EXPECT_TRUE(isFocused("menu", "StartGame"));
    EXPECT_EQ(playing("hover"), 0) << "opening a page is not the mouse arriving";
    press(sf::Keyboard::Down);
    EXPECT_TRUE(isFocused("menu", "Online"));
    EXPECT_GE(playing("hover"), 1) << "moving the focus sounds like hovering";
    press(sf::Keyboard::S);
    press(sf::Keyboard::W);
    press(sf::Keyboard::Up);
    EXPECT_TRUE(isFocused("menu", "StartGame"));
    press(sf::Keyboard::Up);
    EXPECT_TRUE(isFocused("menu", "EndGame")) << "the order wraps around";
    press(sf::Keyboard::Tab);
    EXPECT_TRUE(isFocused("menu", "StartGame"));
    press(sf::Keyboard::Tab, true);
    EXPECT_TRUE(isFocused("menu", "EndGame"));

    // Options, then the sound tab, then a slider moved by Right and held Left.
    ASSERT_TRUE(tabTo("menu", "MenuOptions"));
    press(sf::Keyboard::Enter);
    EXPECT_EQ(shownPages(), "mControls options");
    // The tabs beside the controls page: Down goes along the tabs (Tab would go into the page).
    press(sf::Keyboard::Down);
    ASSERT_TRUE(isFocused("options", "Sound"));
    press(sf::Keyboard::Space);
    EXPECT_EQ(shownPages(), "options sound");
    const auto master = GuiManager::instance().getWidget<widgets::Slider>("sound", "MasterVolume");
    ASSERT_TRUE(master);
    ASSERT_TRUE(tabTo("sound", "MasterVolume"));
    const float full = master->getValue();
    // A held key repeats its press.
    for (int repeat = 0; repeat < 5; ++repeat) {
        GuiManager::instance().handleEvent(keys::pressed(sf::Keyboard::Left));
    }
    press(sf::Keyboard::A);
    const float lowered = master->getValue();
    EXPECT_LT(lowered, full);
    EXPECT_TRUE(isFocused("sound", "MasterVolume")) << "Left and Right belong to the slider";
    press(sf::Keyboard::Right);
    press(sf::Keyboard::D);
    EXPECT_GT(master->getValue(), lowered);
    EXPECT_LT(master->getValue(), full) << "small steps";
    frames(1);
    // Escape goes back, as with the mouse.
    tap(sf::Keyboard::Escape);
    EXPECT_EQ(shownPages(), "menu");
    EXPECT_TRUE(isFocused("menu", "StartGame"));

    // Into a match (through the arena page, its last choice focused), the
    // pause page, and back to the title.
    press(sf::Keyboard::Enter);
    EXPECT_EQ(shownPages(), "mArena");
    EXPECT_TRUE(isFocused("mArena", "Arena1"));
    press(sf::Keyboard::Enter);
    frames(1);
    ASSERT_EQ(state(), "Arena");
    tap(sf::Keyboard::Escape);
    ASSERT_EQ(shownPages(), "pause");
    EXPECT_TRUE(focused()) << "the pause page opens with a control focused";
    screenshot("pause-by-keyboard");
    ASSERT_TRUE(tabTo("pause", "Menu"));
    press(sf::Keyboard::Enter);
    frames(1);
    EXPECT_EQ(state(), "Menu");
    EXPECT_EQ(shownPages(), "menu");

    // Quit, by keys.
    ASSERT_TRUE(tabTo("menu", "EndGame"));
    press(sf::Keyboard::Enter);
    frames(1);
    EXPECT_FALSE(game.window.isOpen());
}

namespace {
// The shown controls of the page that look chosen: outlined or lit.
std::string chosenOn(const std::string& page) {
    std::string names;
    const auto group = GuiManager::instance().groups.at(page);
    for (const auto& widget : group->getWidgets()) {
        if (widget->isVisible() &&
            (widget->isHovered() || GuiManager::instance().gui.getFocused() == widget)) {
            names += (names.empty() ? "" : " ") + widget->getName();
        }
    }
    return names;
}
} // namespace

TEST_F(MenusByKeyboard, GoingBackToAPageShowsOneChosenButtonWhetherTheMouseOrTheKeysLeftIt) {
    start();
    frames(2);
    // The mouse presses Options; back on the title page, only the focused button looks chosen.
    click("menu", "MenuOptions");
    EXPECT_EQ(shownPages(), "mControls options");
    click("options", "BackPause");
    EXPECT_EQ(shownPages(), "menu");
    EXPECT_EQ(chosenOn("menu"), "StartGame");
    screenshot("menu-back-one-chosen");

    // The keys press Credits; Escape comes back to the title page.
    press(sf::Keyboard::Up);
    press(sf::Keyboard::Up);
    EXPECT_EQ(chosenOn("menu"), "Credits");
    press(sf::Keyboard::Enter);
    EXPECT_EQ(shownPages(), "credits");
    frames(1);
    tap(sf::Keyboard::Escape);
    EXPECT_EQ(shownPages(), "menu");
    EXPECT_EQ(chosenOn("menu"), "StartGame");

    // The mouse resting on a button and the keys moving the focus away: one chosen still.
    hover("menu", "Online");
    EXPECT_EQ(chosenOn("menu"), "Online");
    press(sf::Keyboard::Down);
    EXPECT_EQ(chosenOn("menu"), "MenuOptions");
}

TEST_F(MenusByKeyboard, TheControlsPageIsWalkedWithinTheTabsAndAlongTheTablesRowsAndColumns) {
    start();
    frames(2);
    press(sf::Keyboard::Down);
    press(sf::Keyboard::Down);
    press(sf::Keyboard::Enter);
    ASSERT_EQ(shownPages(), "mControls options");
    EXPECT_TRUE(isFocused("options", "Controls"));

    // Up and Down keep to the tabs, round and round.
    press(sf::Keyboard::Down);
    EXPECT_TRUE(isFocused("options", "Sound"));
    press(sf::Keyboard::Down);
    press(sf::Keyboard::Down);
    press(sf::Keyboard::Down);
    EXPECT_TRUE(isFocused("options", "BackPause"));
    press(sf::Keyboard::Down);
    EXPECT_TRUE(isFocused("options", "Controls"));
    press(sf::Keyboard::Right);
    EXPECT_EQ(focused()->getParent(), GuiManager::instance().groups.at("options").get())
        << "Right does not leave the tabs";
    press(sf::Keyboard::Up);
    EXPECT_TRUE(isFocused("options", "Controls"));

    // Tab goes into the table at its first cell; Left and Right go along its row.
    press(sf::Keyboard::Tab);
    EXPECT_TRUE(isFocused("mControls", "Player1Left"));
    press(sf::Keyboard::Right);
    EXPECT_TRUE(isFocused("mControls", "Player2Left"));
    press(sf::Keyboard::Left);
    EXPECT_TRUE(isFocused("mControls", "Player1Left"));
    // Up and Down go along its columns.
    press(sf::Keyboard::Right);
    press(sf::Keyboard::Down);
    press(sf::Keyboard::Down);
    EXPECT_TRUE(isFocused("mControls", "Player2Up"));
    press(sf::Keyboard::Up);
    EXPECT_TRUE(isFocused("mControls", "Player2Right"));
    press(sf::Keyboard::Left);
    EXPECT_TRUE(isFocused("mControls", "Player1Right"));

    // "Player 2 keys" is a few presses away: up past the top of the column to its foot.
    press(sf::Keyboard::Up);
    press(sf::Keyboard::Up);
    EXPECT_TRUE(isFocused("mControls", "ResetBindings"));
    press(sf::Keyboard::Left);
    ASSERT_TRUE(isFocused("mControls", "Player2Keys"));
    press(sf::Keyboard::Enter);
    const auto layout = GuiManager::instance().getWidget<widgets::Button>("mControls", "Player2Keys");
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->getText(), "Player 2 keys: laptop");
    screenshot("controls-walked-by-keys");

    // Shift+Tab back to the tab left, Tab again to the table's button left.
    press(sf::Keyboard::Tab, true);
    EXPECT_TRUE(isFocused("options", "Controls"));
    press(sf::Keyboard::Tab);
    EXPECT_TRUE(isFocused("mControls", "Player2Keys"));
    EXPECT_EQ(chosenOn("mControls") + "|" + chosenOn("options"), "Player2Keys|");
}
