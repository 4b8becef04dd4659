#include <gtest/gtest.h>

#include <SFML/Graphics/RenderTexture.hpp>

#include "common/MouseEvents.hpp"
#include "common/TestOutput.hpp"
#include "common/WidgetTestBed.hpp"
#include "widgets/Button.hpp"
#include "widgets/FormLoader.hpp"
#include "widgets/Gui.hpp"
#include "widgets/Label.hpp"
#include "widgets/ResourceCache.hpp"
#include "widgets/Slider.hpp"

using namespace widgets;

namespace {
class GuiDrawingTest : public WidgetTestBed {};

std::shared_ptr<Button> redButton() {
    auto button = Button::create();
    button->setPosition(Layout2d(10.0f, 10.0f));
    button->setSize(Layout2d(100.0f, 40.0f));
    button->renderer.backgroundColor = sf::Color::Red;
    button->renderer.backgroundColorHover = sf::Color::Green;
    button->renderer.borders = Borders(0.0f);
    return button;
}
} // namespace

TEST_F(GuiDrawingTest, VisibleGroupIsDrawnAndHiddenOneIsNot) {
    auto page = Group::create();
    page->add(redButton(), "Red");
    gui.add(page, "page");
    EXPECT_EQ(render().getPixel(20, 20), sf::Color::Red);
    page->setVisible(false);
    EXPECT_EQ(render().getPixel(20, 20), sf::Color::Black);
    EXPECT_EQ(render().getPixel(400, 300), sf::Color::Black);
}

TEST_F(GuiDrawingTest, HoverLookIsDrawnUnderTheMouse) {
    gui.add(redButton());
    gui.handleEvent(mouse::moved(50, 30));
    EXPECT_EQ(render().getPixel(20, 20), sf::Color::Green);
    gui.handleEvent(mouse::ofType(sf::Event::MouseLeft));
    EXPECT_EQ(render().getPixel(20, 20), sf::Color::Red);
}

TEST_F(GuiDrawingTest, DrawsThroughItsOwnViewAndPutsTheTargetsBack) {
    gui.add(redButton());
    sf::View zoomed({0.0f, 0.0f, 100.0f, 100.0f});
    target.setView(zoomed);
    EXPECT_EQ(render().getPixel(105, 45), sf::Color::Red) << "GUI pixels are target pixels";
    EXPECT_EQ(target.getView().getSize(), zoomed.getSize());
}

TEST_F(GuiDrawingTest, TextIsDrawnInTheFont) {
    auto label = Label::create();
    label->setText("Vorlune");
    label->setTextSize(40);
    label->renderer.textColor = sf::Color::White;
    gui.add(label);
    EXPECT_GT(label->getSize().x, 100.0f);
    EXPECT_GT(label->getSize().y, 40.0f);
    const sf::Image image = render();
    int lit = 0;
    for (unsigned int y = 0; y < 50; ++y) {
        for (unsigned int x = 0; x < 200; ++x) {
            lit += image.getPixel(x, y).r > 128;
        }
    }
    EXPECT_GT(lit, 300) << "the glyphs cover part of the label";
}

TEST_F(GuiDrawingTest, TextStyleFromTheFormDrawsBoldText) {
    load("Label.Plain { Text = \"Vorlune\"; TextSize = 40; Renderer { TextColor = White; } }\n"
         "Label.Bold { Position = (0, 100); Text = \"Vorlune\"; TextSize = 40;\n"
         "  Renderer { TextColor = White; TextStyle = Bold; } }");
    const sf::Image image = render();
    const auto litIn = [&](unsigned int top) {
        int lit = 0;
        for (unsigned int y = top; y < top + 60; ++y) {
            for (unsigned int x = 0; x < 300; ++x) {
                lit += image.getPixel(x, y).r > 128;
            }
        }
        return lit;
    };
    EXPECT_GT(litIn(100), litIn(0) * 11 / 10) << "bold strokes cover more of the label";
}

TEST_F(GuiDrawingTest, ButtonTextTooWideShrinksInsideTheButton) {
    auto button = redButton();
    button->setText("Gameplay options");
    button->setTextSize(30);
    button->renderer.textColor = sf::Color::White;
    gui.add(button);
    const sf::Image image = render();
    int lit = 0;
    for (unsigned int y = 0; y < 60; ++y) {
        for (unsigned int x = 0; x < 200; ++x) {
            const bool inside = x >= 10 && x < 110 && y >= 10 && y < 50;
            const bool white = image.getPixel(x, y).g > 128;
            EXPECT_FALSE(white && !inside) << "text spilled out at " << x << ", " << y;
            lit += white && inside;
        }
    }
    EXPECT_GT(lit, 20) << "the text is still drawn";
}

TEST_F(GuiDrawingTest, MissingFontIsReportedOnceAndTextIsLeftOut) {
    auto button = redButton();
    button->setText("Play");
    gui.add(button);
    testing::internal::CaptureStderr();
    ResourceCache::setFontPath("../assets/fonts/NoSuchFont.ttf");
    const sf::Image image = render();
    render();
    ResourceCache::setFontPath("../assets/fonts/DejaVuSans.ttf");
    const std::string output = testing::internal::GetCapturedStderr();
    // Once, after what the graphics library itself says on standard error.
    const std::string report = "Couldn't load font ../assets/fonts/NoSuchFont.ttf\n";
    EXPECT_EQ(output.find(report), output.size() - report.size()) << output;
    EXPECT_EQ(output.find(report), output.rfind(report)) << output;
    EXPECT_EQ(image.getPixel(60, 30), sf::Color::Red) << "the box is drawn all the same";
}

TEST_F(GuiDrawingTest, SampleFormShowsEveryWidgetKind) {
    loadFormFile(*gui.getRoot(), std::string(VORLUNE_SOURCE_DIR) + "/tests/widgets/forms/AllWidgets.txt");
    gui.handleEvent(mouse::moved(400, 170)); // over "Start"
    const sf::Image image = render();
    const std::string path = testOutputPath("AllWidgets.png");
    EXPECT_TRUE(image.saveToFile(path)) << path;

    // The banner's warm gradient fills the background.
    const sf::Color background = image.getPixel(100, 300);
    EXPECT_GT(background.r, 190);
    EXPECT_LT(background.b, 80);
    // "Start" in its hover look (#3A3F5A over the panel), with its text.
    EXPECT_EQ(image.getPixel(225, 145), sf::Color(0x3A, 0x3F, 0x5A));
    // The textured button shows its image's green.
    EXPECT_EQ(image.getPixel(300, 235), sf::Color(40, 110, 60));
    // The slider's thumb at 50 sits in the middle of its track.
    const sf::Color thumb = image.getPixel(400, 439);
    EXPECT_EQ(thumb, sf::Color(0xC8, 0xB0, 0x70));
}
