#include <gtest/gtest.h>

#include "common/TestOutput.hpp"
#include "common/WidgetTestBed.hpp"
#include "widgets/Button.hpp"
#include "widgets/ChildWindow.hpp"
#include "widgets/ListBox.hpp"
#include "widgets/Panel.hpp"

using namespace widgets;

namespace {
const char* const containersForm = R"(
Button.Under {
    Position = (0, 0);
    Size = (800, 600);
    Renderer { BackgroundColor = Black; BackgroundColorHover = Black; Borders = 0; }
}

Panel.Side {
    Position = (20, 20);
    Size = (200, 200);
    Renderer { BackgroundColor = Blue; BorderColor = White; Borders = (4, 4, 4, 4); }

    Button.Spill {
        Position = (150, 150);
        Size = (100, 100);
        Renderer { BackgroundColor = Green; Borders = 0; }
    }
}

ChildWindow.Dialog {
    Position = (300, 20);
    Size = (300, 200);
    Title = "Join";
    Renderer { BackgroundColor = Blue; TitleBarColor = Red; TitleBarHeight = 30; Borders = 0; }

    Button.Join { Position = (0, 0); Size = (100, 40); Renderer { BackgroundColor = Green; Borders = 0; } }
}

ListBox.Bindings {
    Position = (20, 300);
    Size = (300, 154);
    ItemHeight = 30;
    Items = ["Jump", "Magic", "Left", "Right", "Up", "Down", "Pause", "Restart", "Menu", "Back"];
    Renderer { Borders = (2, 2, 2, 2); SelectedBackgroundColor = Red; BackgroundColor = Black; }
}
)";

class ContainersTest : public WidgetTestBed {
protected:
    void SetUp() override {
        WidgetTestBed::SetUp();
        load(containersForm);
        under = get<Button>("Under");
        under->onPress.connect([this] { ++pressesUnder; });
    }

    std::shared_ptr<Button> under;
    int pressesUnder = 0;
};
} // namespace

TEST_F(ContainersTest, PanelDrawsItsFrameClipsItsChildrenAndTakesTheMouse) {
    const auto spill = get<Button>("Spill");
    ASSERT_TRUE(spill);
    EXPECT_EQ(spill->getAbsoluteRect(), sf::FloatRect(174.0f, 174.0f, 100.0f, 100.0f))
        << "placed inside the borders";
    const sf::Image image = render();
    EXPECT_EQ(image.getPixel(21, 21), sf::Color::White) << "border";
    EXPECT_EQ(image.getPixel(30, 30), sf::Color::Blue) << "background";
    EXPECT_EQ(image.getPixel(200, 200), sf::Color::Green) << "child inside the panel";
    EXPECT_EQ(image.getPixel(230, 230), sf::Color::Black) << "child cut at the panel's inner edge";

    click(50, 50);
    EXPECT_EQ(pressesUnder, 0) << "a click on the panel's background stays on the panel";
    click(250, 250);
    EXPECT_EQ(pressesUnder, 1) << "outside the panel the button under it gets the click";
}

TEST_F(ContainersTest, ChildWindowHasATitleBarAndItsCloseButtonHidesIt) {
    const auto dialog = get<ChildWindow>("Dialog");
    ASSERT_TRUE(dialog);
    int closes = 0;
    dialog->onClose.connect([&] { ++closes; });
    EXPECT_EQ(get<Button>("Join")->getAbsoluteRect().top, 50.0f)
        << "the client area starts under the title bar";
    const sf::Image image = render();
    EXPECT_EQ(image.getPixel(305, 22), sf::Color::Red) << "title bar";
    EXPECT_EQ(image.getPixel(350, 60), sf::Color::Green) << "child in the client area";
    EXPECT_EQ(image.getPixel(500, 200), sf::Color::Blue) << "client background";

    click(450, 35);
    EXPECT_EQ(pressesUnder, 0) << "the title bar takes the mouse";
    const sf::FloatRect close = dialog->getCloseButtonRect();
    EXPECT_EQ(close.left + close.width, 596.0f) << "at the right end of the title bar";
    gui.handleEvent(mouse::moved(590, 30));
    gui.handleEvent(mouse::pressed(590, 30));
    gui.handleEvent(mouse::moved(450, 35));
    gui.handleEvent(mouse::released(450, 35));
    EXPECT_TRUE(dialog->isVisible()) << "a press released off the close button does nothing";
    click(590, 30);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(closes, 1);
    click(350, 60);
    EXPECT_EQ(pressesUnder, 1) << "a closed window lets the mouse through";
}

TEST_F(ContainersTest, LongListScrollsWithTheWheelAndFollowsTheKeys) {
    const auto list = get<ListBox>("Bindings");
    ASSERT_TRUE(list);
    std::vector<int> selected;
    list->onItemSelect.connect([&](int index, const std::string&) { selected.push_back(index); });
    EXPECT_EQ(list->visibleRows(), 5);

    gui.handleEvent(keys::wheel(-1.0f, 100, 350));
    EXPECT_EQ(list->getScroll(), 90.0f) << "three rows a notch";
    gui.handleEvent(keys::wheel(-5.0f, 100, 350));
    EXPECT_EQ(list->getScroll(), 150.0f) << "no further than the last row";
    click(100, 303);
    EXPECT_EQ(list->getSelectedItemIndex(), 5) << "the row under the mouse, scrolled";

    key(sf::Keyboard::Down);
    key(sf::Keyboard::Down);
    EXPECT_EQ(list->getSelectedItemIndex(), 7);
    key(sf::Keyboard::Home);
    EXPECT_EQ(list->getScroll(), 0.0f) << "the selection is scrolled into view";
    key(sf::Keyboard::PageDown);
    EXPECT_EQ(list->getSelectedItemIndex(), 5);
    EXPECT_EQ(list->getScroll(), 30.0f);
    key(sf::Keyboard::End);
    key(sf::Keyboard::Down);
    EXPECT_EQ(list->getSelectedItemIndex(), 9) << "stays on the last item";
    EXPECT_EQ(selected, (std::vector<int>{5, 6, 7, 0, 5, 9}));

    gui.handleEvent(mouse::moved(700, 500));
    const sf::Image image = render();
    EXPECT_EQ(image.getPixel(25, 440), sf::Color::Red) << "the selected last row is drawn at the bottom";
    EXPECT_EQ(image.getPixel(25, 310), sf::Color::Black);
    gui.handleEvent(keys::wheel(-1.0f, 700, 500));
    EXPECT_EQ(list->getScroll(), 150.0f) << "the wheel away from the list leaves it";
}

namespace {
// A 60 x 30 image: at the left a 30 x 30 frame with red 10-pixel corners,
// green edges and a blue middle; at the right plain white.
std::string frameImage() {
    sf::Image image;
    image.create(60, 30, sf::Color::White);
    for (unsigned int y = 0; y < 30; ++y) {
        for (unsigned int x = 0; x < 30; ++x) {
            const bool edgeX = x < 10 || x >= 20;
            const bool edgeY = y < 10 || y >= 20;
            image.setPixel(x, y,
                           edgeX && edgeY   ? sf::Color::Red
                           : edgeX || edgeY ? sf::Color::Green
                                            : sf::Color::Blue);
        }
    }
    const std::string path = testOutputPath("NineSliceFrame.png");
    EXPECT_TRUE(image.saveToFile(path));
    return path;
}

class TexturedLook : public WidgetTestBed {};
} // namespace

TEST_F(TexturedLook, PartAndMiddleKeepTheCornersAndStretchTheRest) {
    const std::string path = frameImage();
    load("Panel.Framed { Position = (100, 100); Size = (200, 100); Renderer { Borders = 0;\n"
         "  TextureBackground = \"" +
         path +
         "\" Part(0, 0, 30, 30) Middle(10, 10, 10, 10); } }\n"
         "Picture.Whole { Position = (400, 100); Renderer { Texture = \"" +
         path + "\" Part(30, 0, 30, 30); } }\n");
    const sf::Image image = render();
    EXPECT_EQ(image.getPixel(105, 105), sf::Color::Red) << "top-left corner keeps 10 pixels";
    EXPECT_EQ(image.getPixel(109, 109), sf::Color::Red);
    EXPECT_EQ(image.getPixel(111, 111), sf::Color::Blue) << "middle starts after the corner";
    EXPECT_EQ(image.getPixel(200, 105), sf::Color::Green) << "top edge stretched along";
    EXPECT_EQ(image.getPixel(105, 150), sf::Color::Green) << "left edge stretched down";
    EXPECT_EQ(image.getPixel(200, 150), sf::Color::Blue);
    EXPECT_EQ(image.getPixel(295, 195), sf::Color::Red) << "bottom-right corner";
    EXPECT_EQ(image.getPixel(289, 189), sf::Color::Blue);
    EXPECT_EQ(image.getPixel(415, 115), sf::Color::White) << "the part at the right of the image";
    EXPECT_EQ(image.getPixel(431, 115), sf::Color::Black) << "a picture takes its part's size";
}
