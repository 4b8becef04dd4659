#include <gtest/gtest.h>

#include "common/MouseEvents.hpp"
#include "widgets/Button.hpp"
#include "widgets/Gui.hpp"

using namespace widgets;

namespace {
// An 800 x 600 GUI with one button at (100, 100) .. (300, 150) and counters on
// its signals.
class ButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        gui.setSize({800.0f, 600.0f});
        button->setPosition(Layout2d(100.0f, 100.0f));
        button->setSize(Layout2d(200.0f, 50.0f));
        button->onPress.connect([this] { ++presses; });
        button->onMouseEnter.connect([this] { ++enters; });
        gui.add(button, "Button");
    }

    void click(int x, int y) {
        gui.handleEvent(mouse::pressed(x, y));
        gui.handleEvent(mouse::released(x, y));
    }

    Gui gui;
    std::shared_ptr<Button> button = Button::create();
    int presses = 0;
    int enters = 0;
};
} // namespace

TEST_F(ButtonTest, MouseEnteringFiresOncePerEntry) {
    EXPECT_FALSE(gui.handleEvent(mouse::moved(50, 50)));
    EXPECT_TRUE(gui.handleEvent(mouse::moved(150, 120)));
    gui.handleEvent(mouse::moved(160, 125));
    EXPECT_EQ(enters, 1);
    EXPECT_TRUE(button->isHovered());
    gui.handleEvent(mouse::moved(350, 125));
    EXPECT_FALSE(button->isHovered());
    gui.handleEvent(mouse::moved(299, 149));
    EXPECT_EQ(enters, 2);
    gui.handleEvent(mouse::ofType(sf::Event::MouseLeft));
    EXPECT_FALSE(button->isHovered());
    gui.handleEvent(mouse::moved(200, 120));
    EXPECT_EQ(enters, 3) << "coming back into the window enters again";
    EXPECT_EQ(presses, 0);
}

TEST_F(ButtonTest, PressFiresWhenReleasedOverTheButton) {
    gui.handleEvent(mouse::pressed(150, 120));
    EXPECT_TRUE(button->isDown());
    EXPECT_EQ(presses, 0) << "not at the press itself";
    gui.handleEvent(mouse::released(160, 130));
    EXPECT_EQ(presses, 1);
    EXPECT_FALSE(button->isDown());
    EXPECT_EQ(enters, 1) << "a press without a move before it still enters";
}

TEST_F(ButtonTest, ReleasingOutsideOrPressingOutsideDoesNotFire) {
    gui.handleEvent(mouse::pressed(150, 120));
    gui.handleEvent(mouse::moved(500, 400));
    EXPECT_FALSE(button->isDown()) << "not drawn down while the mouse is away";
    gui.handleEvent(mouse::released(500, 400));
    gui.handleEvent(mouse::pressed(500, 400));
    gui.handleEvent(mouse::moved(150, 120));
    gui.handleEvent(mouse::released(150, 120));
    EXPECT_EQ(presses, 0);
}

TEST_F(ButtonTest, LeavingAndComingBackBeforeTheReleaseStillFires) {
    gui.handleEvent(mouse::pressed(150, 120));
    gui.handleEvent(mouse::moved(500, 400));
    gui.handleEvent(mouse::moved(150, 120));
    EXPECT_TRUE(button->isDown());
    gui.handleEvent(mouse::released(150, 120));
    EXPECT_EQ(presses, 1);
}

TEST_F(ButtonTest, OtherButtonsFocusLossAndHidingCancelThePress) {
    click(150, 120);
    gui.handleEvent(mouse::pressed(150, 120, sf::Mouse::Right));
    gui.handleEvent(mouse::released(150, 120, sf::Mouse::Right));
    EXPECT_EQ(presses, 1) << "only the left button clicks";

    gui.handleEvent(mouse::pressed(150, 120));
    gui.handleEvent(mouse::ofType(sf::Event::LostFocus));
    gui.handleEvent(mouse::released(150, 120));
    EXPECT_EQ(presses, 1);

    gui.handleEvent(mouse::pressed(150, 120));
    button->setVisible(false);
    gui.handleEvent(mouse::released(150, 120));
    EXPECT_EQ(presses, 1);
    button->setVisible(true);
    click(150, 120);
    EXPECT_EQ(presses, 2);
}

TEST_F(ButtonTest, DisabledButtonIgnoresTheMouse) {
    button->setEnabled(false);
    gui.handleEvent(mouse::moved(150, 120));
    click(150, 120);
    EXPECT_EQ(enters, 0);
    EXPECT_EQ(presses, 0);
    button->setEnabled(true);
    gui.handleEvent(mouse::moved(151, 120));
    click(151, 120);
    EXPECT_EQ(presses, 1);
}

TEST_F(ButtonTest, WidgetAddedLaterLiesOnTopAndTakesTheClick) {
    auto above = Button::create();
    above->setPosition(Layout2d(250.0f, 100.0f));
    int abovePresses = 0;
    above->onPress.connect([&] { ++abovePresses; });
    gui.add(above);
    click(260, 120);
    click(120, 120);
    EXPECT_EQ(abovePresses, 1);
    EXPECT_EQ(presses, 1);
}

TEST_F(ButtonTest, HandlerMayHideItsOwnButtonAndShowAnother) {
    auto second = Button::create();
    second->setPosition(Layout2d(100.0f, 100.0f));
    second->setVisible(false);
    int secondPresses = 0;
    second->onPress.connect([&] { ++secondPresses; });
    gui.add(second);
    button->onPress.connect([&] {
        button->setVisible(false);
        second->setVisible(true);
    });
    click(150, 120);
    EXPECT_EQ(presses, 1);
    click(150, 120);
    EXPECT_EQ(presses, 1);
    EXPECT_EQ(secondPresses, 1);
}

TEST_F(ButtonTest, ClicksFollowTheLayoutAfterAResize) {
    button->setPosition({LayoutValue{-50.0f, 50.0f, nullptr}, LayoutValue{-25.0f, 50.0f, nullptr}});
    button->setSize(Layout2d(100.0f, 50.0f));
    click(400, 300);
    EXPECT_EQ(presses, 1);
    gui.handleEvent(mouse::resized(400, 300));
    EXPECT_EQ(button->getAbsoluteRect(), sf::FloatRect(150.0f, 125.0f, 100.0f, 50.0f));
    click(400, 300);
    EXPECT_EQ(presses, 1) << "the old place is empty now";
    click(200, 150);
    EXPECT_EQ(presses, 2);
}
