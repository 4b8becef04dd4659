#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <SFML/Window/Clipboard.hpp>

#include "common/WidgetTestBed.hpp"
#include "widgets/EditBox.hpp"

using namespace widgets;

namespace {
// Two boxes as the editor writes them: the address of a match to join and a
// port with a numeric validator and a limit.
const char* const joinForm = R"(
EditBox.Address {
    Position = (100, 100);
    Size = (400, 40);
    DefaultText = "host:port";
    InputValidator = "[0-9A-Za-z.-]*(:[0-9]{0,5})?";
    MaximumCharacters = 0;
    TextSize = 20;

    Renderer {
        BackgroundColor = #202020;
        BorderColor = Black;
        BorderColorFocused = Red;
        Borders = (2, 2, 2, 2);
        CaretColor = White;
        CaretWidth = 2;
        Padding = (4, 0, 4, 0);
        SelectedTextBackgroundColor = Blue;
        TextColor = White;
    }
}

EditBox.Port {
    Position = (100, 200);
    Size = (120, 40);
    InputValidator = "[0-9]*";
    MaximumCharacters = 5;
    Text = "12345678";
}
)";

class EditBoxTest : public WidgetTestBed {
protected:
    void SetUp() override {
        WidgetTestBed::SetUp();
        load(joinForm);
        address = get<EditBox>("Address");
        port = get<EditBox>("Port");
        ASSERT_TRUE(address && port);
        address->onTextChange.connect([this](const std::string& text) { changes.push_back(text); });
        address->onReturnKeyPress.connect([this](const std::string& text) { returned.push_back(text); });
    }

    std::shared_ptr<EditBox> address, port;
    std::vector<std::string> changes, returned;
};
} // namespace

TEST_F(EditBoxTest, ClickGivesTheKeyboardAndTypedTextArrivesAtTheCaret) {
    type("ignored");
    EXPECT_EQ(address->getText(), "") << "no box has the keyboard before a click";
    click(150, 120);
    EXPECT_EQ(gui.getFocused(), address);
    type("example.org");
    EXPECT_EQ(address->getText(), "example.org");
    EXPECT_EQ(address->getCaretPosition(), 11u);
    key(sf::Keyboard::Home);
    type("www.");
    EXPECT_EQ(address->getText(), "www.example.org");
    key(sf::Keyboard::End);
    type(":7000");
    key(sf::Keyboard::Return);
    EXPECT_EQ(returned, std::vector<std::string>{"www.example.org:7000"});
    EXPECT_EQ(changes.size(), 20u) << "one change per accepted character";

    click(150, 220);
    EXPECT_EQ(gui.getFocused(), port) << "a click on another box moves the keyboard";
    EXPECT_FALSE(address->isFocused());
    type("9");
    EXPECT_EQ(address->getText(), "www.example.org:7000");
    click(700, 500);
    EXPECT_FALSE(gui.getFocused()) << "a click on nothing takes the keyboard away";
}

TEST_F(EditBoxTest, ValidatorAndLimitRefuseWholeChanges) {
    EXPECT_EQ(port->getText(), "12345") << "the form's text is cut to the limit";
    click(215, 220);
    EXPECT_EQ(port->getCaretPosition(), 5u) << "a click right of the text puts the caret at its end";
    key(sf::Keyboard::BackSpace);
    type("x");
    EXPECT_EQ(port->getText(), "1234") << "letters are refused by the digits validator";
    type("99");
    EXPECT_EQ(port->getText(), "12349") << "the limit stops typing";

    click(150, 120);
    type("host:123456");
    EXPECT_EQ(address->getText(), "host:12345") << "at most five port digits";
    key(sf::Keyboard::BackSpace);
    type("9");
    EXPECT_EQ(address->getText(), "host:12349");
    key(sf::Keyboard::A, true);
    type("h:70000");
    EXPECT_EQ(address->getText(), "h:7000") << "a port above 65535 is refused";
    type(" ");
    EXPECT_EQ(address->getText(), "h:7000") << "no spaces in an address";

    EXPECT_TRUE(EditBox::accepts(EditBox::Validator::Integer, "-"));
    EXPECT_TRUE(EditBox::accepts(EditBox::Validator::Integer, "+12"));
    EXPECT_FALSE(EditBox::accepts(EditBox::Validator::Integer, "1-2"));
    EXPECT_TRUE(EditBox::accepts(EditBox::Validator::Decimal, "-1.5"));
    EXPECT_FALSE(EditBox::accepts(EditBox::Validator::Decimal, "1.5.2"));
    EXPECT_FALSE(EditBox::accepts(EditBox::Validator::UnsignedInteger, "-1"));
}

TEST_F(EditBoxTest, ShiftAndArrowsSelectAndTypingReplacesTheSelection) {
    click(150, 120);
    type("alpha.beta");
    key(sf::Keyboard::Left, false, true);
    key(sf::Keyboard::Left, false, true);
    key(sf::Keyboard::Left, false, true);
    key(sf::Keyboard::Left, false, true);
    EXPECT_EQ(address->getSelectedText(), "beta");
    type("gamma");
    EXPECT_EQ(address->getText(), "alpha.gamma");
    key(sf::Keyboard::Home, false, true);
    EXPECT_EQ(address->getSelectedText(), "alpha.gamma") << "Shift+Home selects back to the start";
    key(sf::Keyboard::Right);
    EXPECT_EQ(address->getSelectedText(), "") << "an arrow without Shift ends the selection";
    EXPECT_EQ(address->getCaretPosition(), 11u);
    key(sf::Keyboard::Home);
    key(sf::Keyboard::Delete);
    key(sf::Keyboard::Delete);
    EXPECT_EQ(address->getText(), "pha.gamma");
    key(sf::Keyboard::End);
    key(sf::Keyboard::BackSpace);
    EXPECT_EQ(address->getText(), "pha.gamm");
}

TEST_F(EditBoxTest, MouseDragSelectsAndClickPutsTheCaretUnderTheMouse) {
    click(150, 120);
    type("aaaaaaaaaa");
    // The text starts at the inner left (100 + 2 border + 4 padding).
    gui.handleEvent(mouse::moved(106, 120));
    gui.handleEvent(mouse::pressed(106, 120));
    EXPECT_EQ(address->getCaretPosition(), 0u);
    gui.handleEvent(mouse::moved(480, 120));
    gui.handleEvent(mouse::released(480, 120));
    EXPECT_EQ(address->getSelectedText(), "aaaaaaaaaa") << "dragging past the end selects everything";
    click(106, 120);
    EXPECT_EQ(address->getSelectedText(), "");
    EXPECT_EQ(address->getCaretPosition(), 0u);
}

TEST_F(EditBoxTest, CopyAndPasteGoThroughTheSystemClipboard) {
    click(150, 120);
    type("server.local:4000");
    key(sf::Keyboard::A, true);
    key(sf::Keyboard::C, true);
    EXPECT_EQ(sf::Clipboard::getString().toAnsiString(), "server.local:4000");
    click(150, 220);
    key(sf::Keyboard::A, true);
    key(sf::Keyboard::V, true);
    EXPECT_EQ(port->getText(), "12345") << "a paste the validator refuses changes nothing";

    sf::Clipboard::setString("4000\n");
    key(sf::Keyboard::A, true);
    key(sf::Keyboard::V, true);
    EXPECT_EQ(port->getText(), "4000") << "the line end is left out";
    click(150, 120);
    key(sf::Keyboard::End);
    key(sf::Keyboard::Left, false, true);
    key(sf::Keyboard::Left, false, true);
    key(sf::Keyboard::Left, false, true);
    key(sf::Keyboard::Left, false, true);
    key(sf::Keyboard::X, true);
    EXPECT_EQ(address->getText(), "server.local:");
    key(sf::Keyboard::V, true);
    key(sf::Keyboard::V, true);
    EXPECT_EQ(address->getText(), "server.local:4000") << "a second port is refused whole";
}

TEST_F(EditBoxTest, FocusedBoxDrawsItsBorderCaretAndSelection) {
    EXPECT_EQ(render().getPixel(100, 120), sf::Color::Black) << "unfocused border";
    click(150, 120);
    type("abc");
    sf::Image image = render();
    EXPECT_EQ(image.getPixel(100, 120), sf::Color::Red) << "focused border";
    // The caret sits after the text, inside the text area.
    int caretColumns = 0;
    for (unsigned int x = 107; x < 200; ++x) {
        caretColumns += image.getPixel(x, 103) == sf::Color::White;
    }
    EXPECT_GE(caretColumns, 1) << "the caret is drawn over the whole height";
    key(sf::Keyboard::A, true);
    image = render();
    EXPECT_EQ(image.getPixel(107, 103), sf::Color::Blue) << "the selection is highlighted";
    click(700, 500);
    EXPECT_EQ(render().getPixel(107, 103), sf::Color(0x20, 0x20, 0x20))
        << "no highlight without the keyboard";
}
