#include <vector>

#include <gtest/gtest.h>

#include "common/WidgetTestBed.hpp"
#include "widgets/CheckBox.hpp"
#include "widgets/Panel.hpp"
#include "widgets/RadioButton.hpp"

using namespace widgets;

namespace {
// Window settings as the editor writes them: two check boxes, and two groups
// of radio buttons (one on the page, one in a panel).
const char* const settingsForm = R"(
CheckBox.Fullscreen {
    Position = (20, 20);
    Size = (30, 30);
    Text = "Full screen";
    TextSize = 20;
    Checked = true;

    Renderer {
        BackgroundColor = #101010;
        BackgroundColorHover = #303030;
        BorderColor = White;
        Borders = (2, 2, 2, 2);
        CheckColor = Green;
        TextColor = White;
        TextDistanceRatio = 0.5;
    }
}

CheckBox.VSync {
    Position = (20, 70);
    Size = (30, 30);
    Checked = false;
}

RadioButton.Small { Position = (20, 120); Size = (30, 30); Checked = true; Renderer { CheckColor = Red; } }
RadioButton.Large { Position = (20, 170); Size = (30, 30); Checked = true; Renderer { CheckColor = Red; } }

Panel.Pads {
    Position = (300, 100);
    Size = (200, 200);
    RadioButton.One { Position = (10, 10); Size = (30, 30); Checked = true; }
    RadioButton.Two { Position = (10, 60); Size = (30, 30); }
}
)";

class CheckBoxTest : public WidgetTestBed {
protected:
    void SetUp() override {
        WidgetTestBed::SetUp();
        load(settingsForm);
    }
};
} // namespace

TEST_F(CheckBoxTest, ClickAndSpaceToggleAndEveryChangeIsSignalled) {
    const auto fullscreen = get<CheckBox>("Fullscreen");
    ASSERT_TRUE(fullscreen);
    EXPECT_TRUE(fullscreen->isChecked());
    EXPECT_EQ(fullscreen->getText(), "Full screen");
    std::vector<bool> changes;
    int checks = 0;
    int unchecks = 0;
    fullscreen->onChange.connect([&](bool checked) { changes.push_back(checked); });
    fullscreen->onCheck.connect([&] { ++checks; });
    fullscreen->onUncheck.connect([&] { ++unchecks; });

    click(35, 35);
    EXPECT_FALSE(fullscreen->isChecked());
    click(100, 35);
    EXPECT_TRUE(fullscreen->isChecked()) << "the text beside the box takes clicks too";
    key(sf::Keyboard::Space);
    EXPECT_FALSE(fullscreen->isChecked()) << "Space toggles the box that has the keyboard";
    EXPECT_EQ(changes, (std::vector<bool>{false, true, false}));
    EXPECT_EQ(checks, 1);
    EXPECT_EQ(unchecks, 2);

    gui.handleEvent(mouse::moved(35, 35));
    gui.handleEvent(mouse::pressed(35, 35));
    gui.handleEvent(mouse::moved(400, 500));
    gui.handleEvent(mouse::released(400, 500));
    EXPECT_FALSE(fullscreen->isChecked()) << "a press released elsewhere does nothing";

    fullscreen->setEnabled(false);
    click(35, 35);
    EXPECT_FALSE(fullscreen->isChecked()) << "a disabled box ignores the mouse";
}

TEST_F(CheckBoxTest, CheckedBoxDrawsItsMarkAndHoverLook) {
    const sf::Image checked = render();
    EXPECT_EQ(checked.getPixel(20, 20), sf::Color::White) << "border";
    EXPECT_EQ(checked.getPixel(23, 23), sf::Color(0x10, 0x10, 0x10)) << "background";
    int green = 0;
    for (unsigned int y = 22; y < 48; ++y) {
        for (unsigned int x = 22; x < 48; ++x) {
            green += checked.getPixel(x, y) == sf::Color::Green;
        }
    }
    EXPECT_GT(green, 30) << "the tick";
    gui.handleEvent(mouse::moved(35, 35));
    EXPECT_EQ(render().getPixel(23, 23), sf::Color(0x30, 0x30, 0x30)) << "hover background";
    click(35, 35);
    const sf::Image unchecked = render();
    for (unsigned int y = 22; y < 48; ++y) {
        for (unsigned int x = 22; x < 48; ++x) {
            ASSERT_NE(unchecked.getPixel(x, y), sf::Color::Green) << "no tick at " << x << ", " << y;
        }
    }
}

TEST_F(CheckBoxTest, RadioButtonsOfOneContainerExcludeEachOther) {
    const auto small = get<RadioButton>("Small");
    const auto large = get<RadioButton>("Large");
    const auto one = get<RadioButton>("One");
    const auto two = get<RadioButton>("Two");
    ASSERT_TRUE(small && large && one && two);
    EXPECT_FALSE(small->isChecked()) << "of two checked in the form, the later one stays";
    EXPECT_TRUE(large->isChecked());

    click(35, 135);
    EXPECT_TRUE(small->isChecked());
    EXPECT_FALSE(large->isChecked());
    click(35, 135);
    EXPECT_TRUE(small->isChecked()) << "clicking a checked radio button keeps it checked";
    EXPECT_TRUE(one->isChecked()) << "the panel's group is a group of its own";

    click(325, 175);
    EXPECT_TRUE(two->isChecked());
    EXPECT_FALSE(one->isChecked());
    EXPECT_TRUE(small->isChecked()) << "the page's group is untouched";
    key(sf::Keyboard::Space);
    EXPECT_TRUE(two->isChecked());
}
