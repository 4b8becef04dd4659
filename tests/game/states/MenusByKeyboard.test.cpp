// The menus without a mouse: from the title to a match, the pause page, the
// options, a slider moved, back, and out, by keys alone, delivered as the
// window delivers them.
#include "common/KeyEvents.hpp"
#include "game/GameScenario.hpp"
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
    ASSERT_TRUE(tabTo("options", "Sound"));
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
