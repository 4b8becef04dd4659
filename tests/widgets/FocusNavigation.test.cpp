// The keyboard through a screen of two sections, as the options show them: a
// column of tabs beside a table of buttons, driven by real key and mouse
// events; and at most one control looking chosen whatever mixes them.
#include <gtest/gtest.h>

#include "common/WidgetTestBed.hpp"
#include "widgets/Button.hpp"
#include "widgets/Group.hpp"

using namespace widgets;

namespace {
class FocusNavigationTest : public WidgetTestBed {
protected:
    std::shared_ptr<Group> section(const std::string& name) {
        auto group = Group::create();
        group->focusSection = true;
        gui.add(group, name);
        return group;
    }

    static std::shared_ptr<Button> add(Group& group, const std::string& name, float x, float y,
                                       float w = 100.0f) {
        auto button = Button::create();
        button->setPosition(Layout2d(x, y));
        button->setSize(Layout2d(w, 30.0f));
        group.add(button, name);
        return button;
    }

    void press(sf::Keyboard::Key key, bool shift = false) {
        gui.handleEvent(keys::pressed(key, false, shift));
    }

    std::string focusedName() const {
        const auto widget = gui.getFocused();
        return widget ? widget->getName() : "(none)";
    }

    // The shown buttons that look chosen: outlined (focused) or lit (hovered).
    std::string chosen(const std::vector<std::shared_ptr<Group>>& pages) const {
        std::string names;
        for (const auto& page : pages) {
            for (const auto& widget : page->getWidgets()) {
                if (page->isVisible() && (widget->isHovered() || gui.getFocused() == widget)) {
                    names += (names.empty() ? "" : " ") + widget->getName();
                }
            }
        }
        return names;
    }

    // Tabs at the left; a table of two columns with a wide button under it.
    void buildTabsAndTable() {
        tabs = section("tabs");
        for (int i = 0; i < 4; ++i) {
            add(*tabs, "Tab" + std::to_string(i), 10.0f, 40.0f + 50.0f * static_cast<float>(i));
        }
        table = section("table");
        for (int row = 0; row < 5; ++row) {
            const float y = 40.0f + 40.0f * static_cast<float>(row);
            add(*table, "A" + std::to_string(row), 300.0f, y, 180.0f);
            add(*table, "B" + std::to_string(row), 500.0f, y, 180.0f);
        }
        add(*table, "Keys", 150.0f, 260.0f, 200.0f);
        add(*table, "Reset", 380.0f, 260.0f, 200.0f);
    }

    std::shared_ptr<Group> tabs, table;
};
} // namespace

TEST_F(FocusNavigationTest, ArrowsKeepToTheirSectionAndTabGoesBetweenTabsAndTable) {
    buildTabsAndTable();
    gui.focusFirstIn(*tabs);
    EXPECT_EQ(focusedName(), "Tab0");

    // Up and Down stay within the tabs, wrapping; Left and Right never jump into the table.
    press(sf::Keyboard::Down);
    press(sf::Keyboard::S);
    EXPECT_EQ(focusedName(), "Tab2");
    press(sf::Keyboard::Right);
    EXPECT_EQ(focusedName(), "Tab3") << "a lone column: Right goes on in reading order";
    press(sf::Keyboard::Down);
    EXPECT_EQ(focusedName(), "Tab0");
    press(sf::Keyboard::Up);
    EXPECT_EQ(focusedName(), "Tab3");

    // Tab into the table, at its first cell.
    press(sf::Keyboard::Tab);
    EXPECT_EQ(focusedName(), "A0");
    // Left and Right along the row, wrapping within it.
    press(sf::Keyboard::Right);
    EXPECT_EQ(focusedName(), "B0");
    press(sf::Keyboard::Right);
    EXPECT_EQ(focusedName(), "A0");
    press(sf::Keyboard::Left);
    EXPECT_EQ(focusedName(), "B0");
    // Up and Down along the column.
    press(sf::Keyboard::Down);
    press(sf::Keyboard::Down);
    EXPECT_EQ(focusedName(), "B2");
    press(sf::Keyboard::Up);
    EXPECT_EQ(focusedName(), "B1");
    press(sf::Keyboard::Left);
    EXPECT_EQ(focusedName(), "A1");
    // From the top of a column, Up wraps to the bottom of the table; the wide button is reached.
    press(sf::Keyboard::Up);
    press(sf::Keyboard::Up);
    EXPECT_EQ(focusedName(), "Reset");
    press(sf::Keyboard::Left);
    EXPECT_EQ(focusedName(), "Keys");

    // Shift+Tab back to the tab left; Tab again to the table's control left.
    press(sf::Keyboard::Tab, true);
    EXPECT_EQ(focusedName(), "Tab3");
    press(sf::Keyboard::Tab);
    EXPECT_EQ(focusedName(), "Keys");
    EXPECT_EQ(chosen({tabs, table}), "Keys");

    // One section alone: Tab walks its controls in reading order.
    tabs->setVisible(false);
    press(sf::Keyboard::Tab);
    EXPECT_EQ(focusedName(), "Reset");
    press(sf::Keyboard::Tab);
    EXPECT_EQ(focusedName(), "A0");
}

TEST_F(FocusNavigationTest, OnlyOneControlLooksChosenAfterPagesChangeAndKeysMoveTheFocus) {
    auto menu = section("menu");
    for (int i = 0; i < 3; ++i) {
        add(*menu, "Item" + std::to_string(i), 300.0f, 100.0f + 60.0f * static_cast<float>(i));
    }
    auto other = section("other");
    add(*other, "Back", 50.0f, 500.0f);
    other->setVisible(false);
    gui.focusFirstIn(*menu);

    // The mouse presses Item2, whose page then goes away; back again, only
    // the page's first control looks chosen, not the button last pressed.
    click(350, 235);
    EXPECT_EQ(chosen({menu}), "Item2");
    menu->setVisible(false);
    other->setVisible(true);
    gui.focusFirstIn(*other);
    EXPECT_EQ(chosen({menu, other}), "Back");
    other->setVisible(false);
    menu->setVisible(true);
    gui.focusFirstIn(*menu);
    EXPECT_EQ(chosen({menu, other}), "Item0") << "the mouse is not on Item2's place any more";

    // The same with the keyboard's press.
    press(sf::Keyboard::Down);
    EXPECT_EQ(chosen({menu}), "Item1");
    menu->setVisible(false);
    other->setVisible(true);
    gui.focusFirstIn(*other);
    other->setVisible(false);
    menu->setVisible(true);
    gui.focusFirstIn(*menu);
    EXPECT_EQ(chosen({menu}), "Item0");

    // The mouse resting on a control that stays shown keeps the choice when a page opens.
    gui.handleEvent(mouse::moved(350, 175));
    EXPECT_EQ(chosen({menu}), "Item1");
    other->setVisible(true);
    gui.focusFirstIn(*other);
    EXPECT_EQ(chosen({menu, other}), "Item1");
    other->setVisible(false);

    // Keys move the focus away from the mouse's control: its hover look goes.
    press(sf::Keyboard::Down);
    EXPECT_EQ(chosen({menu}), "Item2");
    // The mouse coming onto another control takes the choice back.
    gui.handleEvent(mouse::moved(350, 115));
    EXPECT_EQ(chosen({menu}), "Item0");
}
