#include <fstream>

#include <gtest/gtest.h>

#include <SFML/Graphics/RenderTexture.hpp>

#include "app/GuiManager.hpp"
#include "common/MouseEvents.hpp"
#include "common/TestOutput.hpp"
#include "widgets/Button.hpp"
#include "widgets/EditBox.hpp"
#include "widgets/Picture.hpp"
#include "widgets/Slider.hpp"

namespace {
const std::string sampleForm = std::string(VORLUNE_SOURCE_DIR) + "/tests/widgets/forms/AllWidgets.txt";

// Writes a form into the tests' output folder and returns its path.
std::string writeForm(const std::string& name, const std::string& text) {
    const std::string path = testOutputPath(name);
    std::ofstream(path) << text;
    return path;
}

const std::string redPage =
    "Button.Red { Position = (0, 0); Size = (100%, 100%);\n"
    "  Renderer { BackgroundColor = Red; BackgroundColorHover = Red; Borders = 0; } }\n";
} // namespace

// Each case of this suite expects a GuiManager with no page loaded: the test main resets the engine before
// every case.
TEST(GuiManager, LoadingANameTwiceKeepsTheFirstPage) {
    auto& gui = GuiManager::instance();
    EXPECT_TRUE(gui.loadGroup("menu", sampleForm));
    const auto first = gui.groups.at("menu");
    EXPECT_FALSE(gui.loadGroup("menu", writeForm("Other.txt", "Button.Other { }")));
    EXPECT_EQ(gui.groups.at("menu"), first);
    EXPECT_TRUE(gui.getWidget<widgets::Button>("menu", "Start"));
    EXPECT_FALSE(gui.getWidget<widgets::Button>("menu", "Other"));
    EXPECT_EQ(gui.root->getWidgets().size(), 1u);
}

TEST(GuiManager, FreshPageIsHiddenUntilShown) {
    auto& gui = GuiManager::instance();
    ASSERT_TRUE(gui.loadGroup("menu", sampleForm));
    EXPECT_FALSE(gui.isVisible("menu"));
    EXPECT_TRUE(gui.toggleVisible("menu"));
    EXPECT_TRUE(gui.isVisible("menu"));
    EXPECT_TRUE(gui.toggleVisible("menu"));
    EXPECT_FALSE(gui.isVisible("menu"));
    EXPECT_TRUE(gui.setVisible("menu", true));
    EXPECT_TRUE(gui.isVisible("menu"));
}

TEST(GuiManager, HideAllHidesEveryPage) {
    auto& gui = GuiManager::instance();
    ASSERT_TRUE(gui.loadGroup("a", sampleForm));
    ASSERT_TRUE(gui.loadGroup("b", sampleForm));
    gui.setVisible("a", true);
    gui.setVisible("b", true);
    gui.hideAll();
    EXPECT_FALSE(gui.isVisible("a"));
    EXPECT_FALSE(gui.isVisible("b"));
}

TEST(GuiManager, NamesNeverLoadedChangeNothing) {
    auto& gui = GuiManager::instance();
    ASSERT_TRUE(gui.loadGroup("menu", sampleForm));
    gui.setVisible("menu", true);
    EXPECT_FALSE(gui.setVisible("credits", true));
    EXPECT_FALSE(gui.toggleVisible("credits"));
    EXPECT_FALSE(gui.isVisible("credits"));
    EXPECT_FALSE(gui.getWidget<widgets::Button>("credits", "Start"));
    EXPECT_TRUE(gui.isVisible("menu"));
    EXPECT_EQ(gui.groups.size(), 1u);
}

TEST(GuiManager, WidgetLookupIsTyped) {
    auto& gui = GuiManager::instance();
    ASSERT_TRUE(gui.loadGroup("menu", sampleForm));
    EXPECT_TRUE(gui.getWidget<widgets::Slider>("menu", "Volume"));
    EXPECT_TRUE(gui.getWidget<widgets::Picture>("menu", "Background"));
    EXPECT_FALSE(gui.getWidget<widgets::Button>("menu", "Volume")) << "a slider is no button";
    EXPECT_FALSE(gui.getWidget<widgets::Button>("menu", "NoSuchButton"));
}

TEST(GuiManager, BrokenFormIsReportedAndNotHeld) {
    auto& gui = GuiManager::instance();
    const std::string path = writeForm("Broken.txt", "Button.A {\n  Text = \"x\"\n}\n");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(gui.loadGroup("broken", path));
    EXPECT_FALSE(gui.loadGroup("missing", "..\\assets\\gui\\NoSuchForm.txt"));
    const std::string output = testing::internal::GetCapturedStderr();
    EXPECT_NE(
        output.find("Loading failed:\n" + path + ":2: expected ';' after the value of 'Text', found '}'"),
        std::string::npos)
        << output;
    EXPECT_NE(output.find("../assets/gui/NoSuchForm.txt: expected a readable form file"), std::string::npos)
        << output;
    EXPECT_FALSE(gui.setVisible("broken", true));
    EXPECT_TRUE(gui.groups.empty());
    EXPECT_TRUE(gui.loadGroup("broken", sampleForm)) << "the name is still free";
}

TEST(GuiManager, OnlyVisiblePagesAreDrawnAndClicked) {
    auto& gui = GuiManager::instance();
    sf::RenderTexture target;
    ASSERT_TRUE(target.create(64, 48));
    gui.gui.setTarget(target);
    ASSERT_TRUE(gui.loadGroup("red", writeForm("Red.txt", redPage)));
    int presses = 0;
    gui.getWidget<widgets::Button>("red", "Red")->onPress.connect([&] { ++presses; });

    const auto pixel = [&] {
        target.clear(sf::Color::Blue);
        gui.draw();
        target.display();
        return target.getTexture().copyToImage().getPixel(32, 24);
    };
    const auto click = [&] {
        gui.handleEvent(mouse::pressed(32, 24));
        gui.handleEvent(mouse::released(32, 24));
    };
    EXPECT_EQ(pixel(), sf::Color::Blue);
    click();
    EXPECT_EQ(presses, 0);
    gui.setVisible("red", true);
    EXPECT_EQ(pixel(), sf::Color::Red);
    click();
    EXPECT_EQ(presses, 1);
}

TEST(GuiManager, EditorPageLoadsWithWarningsAndItsEditBoxTakesKeysWhileShown) {
    auto& gui = GuiManager::instance();
    sf::RenderTexture target;
    ASSERT_TRUE(target.create(400, 300));
    gui.gui.setTarget(target);
    const std::string path = writeForm("Join.txt", "ListView.Scores {\n  Size = (&.w, 50%);\n}\n"
                                                   "EditBox.Address {\n  Position = (10, 10);\n"
                                                   "  Size = (&.w - 20, 30);\n  MouseCursor = Text;\n}\n");
    testing::internal::CaptureStderr();
    ASSERT_TRUE(gui.loadGroup("join", path));
    const std::string output = testing::internal::GetCapturedStderr();
    EXPECT_NE(output.find(path + ":1: skipped 'ListView.Scores' and what it holds"), std::string::npos)
        << output;
    EXPECT_NE(output.find(path + ":7: skipped property 'MouseCursor' of EditBox"), std::string::npos)
        << output;
    EXPECT_EQ(output.find("Loading failed"), std::string::npos) << output;

    const auto address = gui.getWidget<widgets::EditBox>("join", "Address");
    ASSERT_TRUE(address);
    EXPECT_EQ(address->getAbsoluteRect().width, 380.0f) << "laid out against the full-window page";
    sf::Event typed;
    typed.type = sf::Event::TextEntered;
    typed.text.unicode = 'a';
    gui.handleEvent(mouse::pressed(50, 20));
    gui.handleEvent(mouse::released(50, 20));
    gui.handleEvent(typed);
    EXPECT_EQ(address->getText(), "") << "a hidden page takes no clicks, so no keyboard";
    gui.setVisible("join", true);
    gui.handleEvent(mouse::pressed(50, 20));
    gui.handleEvent(mouse::released(50, 20));
    gui.handleEvent(typed);
    EXPECT_EQ(address->getText(), "a");
    gui.setVisible("join", false);
    gui.handleEvent(typed);
    EXPECT_EQ(address->getText(), "a") << "hiding the page takes the keyboard away";
}
