#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <SFML/Graphics/Text.hpp>

#include "common/WidgetTestBed.hpp"
#include "widgets/Button.hpp"
#include "widgets/ChildWindow.hpp"
#include "widgets/EditBox.hpp"
#include "widgets/Label.hpp"
#include "widgets/ListBox.hpp"
#include "widgets/Panel.hpp"
#include "widgets/ProblemReport.hpp"

using namespace widgets;

namespace {
// A page as the editor saves it, with widgets and properties we do not draw.
const char* const editorForm = R"(
Renderer.1 {
    BackgroundColor = #F5F5F5;
    BorderColor = #3C3C3C;
    Borders = (1, 1, 1, 1);
    TextColor = #3C3C3C;
    TextureBackground = None;
}

MenuBar.MenuBar1 {
    Size = (&.w, 22);
    TextSize = 13;
}

ChildWindow.Settings {
    Position = (100, 50);
    Size = (400, 300);
    Title = "Settings";
    TitleAlignment = Center;
    TitleButtons = Close;
    Resizable = false;
    PositionLocked = false;
    Renderer = &1;

    Renderer {
        TitleBarColor = #202020;
        TitleBarHeight = 24;
        TitleColor = White;
        DistanceToSide = 3;
        CloseButton {
            BackgroundColor = Red;
        }
    }

    EditBox.Name {
        Position = (10, 10);
        Size = (200, 30);
        TextSize = 13;
        Alignment = Left;
        ToolTip {
            TimeToDisplay = 0.25;
            DistanceToMouse = (5, 10);
            Label {
                Text = "Your name";
                TextSize = 13;
            }
        }
    }

    SpinControl.Volume {
        Position = (10, 50);
        Button.Inside { Text = "never built"; }
    }

    ListBox.Keys {
        Position = (10, 100);
        Size = (200, 150);
        Items = ["Jump", "Magic", "Left", "Right"];
        ItemHeight = 30;
        SelectedItemIndex = 1;
        TextSize = 13;
        AutoScroll = true;
    }
}

Button.Ok {
    Position = (Settings.x + 10, Settings.bottom + 40);
    Text = "OK";
    TextSize = 13;
    Alignment = Center;
    Renderer {
        Texture = "images/banner.png" Part(0, 0, 64, 32) Middle(8, 8, 48, 16);
        TextStyle = Bold;
    }
}

Button.Cancel {
    Alignment = Left;
    Renderer { TextStyle = Italic; }
}
)";

class FormBuilderTest : public WidgetTestBed {
protected:
    void SetUp() override {
        WidgetTestBed::SetUp();
        setProblemSink([this](const std::string& line) { warnings.push_back(line); });
        load(editorForm, std::string(VORLUNE_SOURCE_DIR) + "/tests/widgets/forms");
    }
    void TearDown() override { setProblemSink(nullptr); }

    std::vector<std::string> warnings;
};
} // namespace

TEST_F(FormBuilderTest, EditorFormLoadsWhatWeDrawAndWarnsOnceAboutEachSkippedThing) {
    const std::string silently = "later ones of that name are skipped silently)";
    const std::vector<std::string> expected = {
        "test.txt:10: skipped 'MenuBar.MenuBar1' and what it holds: widget type 'MenuBar' is not supported",
        "test.txt:21: skipped property 'Resizable' of ChildWindow (not supported; " + silently,
        "test.txt:22: skipped property 'PositionLocked' of ChildWindow (not supported; " + silently,
        "test.txt:6: skipped renderer property 'TextColor' of ChildWindow (not drawn; " + silently,
        "test.txt:30: skipped renderer block 'CloseButton' of ChildWindow (not supported)",
        "test.txt:29: skipped renderer property 'DistanceToSide' of ChildWindow (not drawn; " + silently,
        "test.txt:39: skipped property 'Alignment' of EditBox (not supported; " + silently,
        "test.txt:50: skipped 'SpinControl.Volume' and what it holds: widget type 'SpinControl' is not "
        "supported",
        "test.txt:62: skipped property 'AutoScroll' of ListBox (not supported; " + silently,
    };
    EXPECT_EQ(warnings, expected);

    EXPECT_FALSE(get<Widget>("MenuBar1"));
    EXPECT_FALSE(get<Widget>("Volume"));
    EXPECT_FALSE(get<Widget>("Inside")) << "what a skipped widget holds is skipped with it";

    const auto settings = get<ChildWindow>("Settings");
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->getTitle(), "Settings");
    EXPECT_TRUE(settings->hasCloseButton());
    EXPECT_EQ(settings->renderer.backgroundColor, sf::Color(0xF5, 0xF5, 0xF5)) << "from the shared renderer";
    EXPECT_FALSE(settings->renderer.textureBackground) << "None is no texture";
    EXPECT_EQ(settings->getOuterRect(), sf::FloatRect(100.0f, 50.0f, 402.0f, 326.0f))
        << "the title bar and borders come on top of the client size";

    const auto name = get<EditBox>("Name");
    ASSERT_TRUE(name);
    EXPECT_EQ(name->getAbsoluteRect(), sf::FloatRect(111.0f, 85.0f, 200.0f, 30.0f))
        << "inside border and title bar";
    ASSERT_TRUE(name->toolTip);
    EXPECT_EQ(std::dynamic_pointer_cast<Label>(name->toolTip)->getText(), "Your name");
    EXPECT_EQ(name->toolTipDelay, 0.25f);

    const auto keys = get<ListBox>("Keys");
    ASSERT_TRUE(keys);
    EXPECT_EQ(keys->getItems(), (std::vector<std::string>{"Jump", "Magic", "Left", "Right"}));
    EXPECT_EQ(keys->getSelectedItemIndex(), 1);

    const auto ok = get<Button>("Ok");
    ASSERT_TRUE(ok);
    EXPECT_EQ(ok->getAbsoluteRect().left, 110.0f);
    EXPECT_EQ(ok->getAbsoluteRect().top, 50.0f + 300.0f + 40.0f) << "Settings.bottom is its client bottom";
    EXPECT_EQ(ok->renderer.textStyle, sf::Uint32(sf::Text::Bold));
    EXPECT_EQ(get<Button>("Cancel")->renderer.textStyle, sf::Uint32(sf::Text::Italic));
    ASSERT_TRUE(ok->renderer.texture);
    EXPECT_EQ(ok->renderer.texture.partRect(), sf::IntRect(0, 0, 64, 32));
    EXPECT_EQ(ok->renderer.texture.middleRect(), sf::IntRect(8, 8, 48, 16));
}

TEST_F(FormBuilderTest, UnknownValidatorIsSkippedAndAnyTextAccepted) {
    warnings.clear();
    load("EditBox.Free {\n  InputValidator = \"[a-z]+\";\n  Position = (0, 500);\n}\n"
         "EditBox.Other { InputValidator = \"[A-Z]+\"; }");
    ASSERT_EQ(warnings.size(), 1u) << "once per property name and file";
    EXPECT_EQ(
        warnings[0].rfind("test.txt:2: skipped 'InputValidator' of EditBox: validator \"[a-z]+\" is not one "
                          "we know",
                          0),
        0u)
        << warnings[0];
    click(20, 510);
    type("abc 123");
    EXPECT_EQ(get<EditBox>("Free")->getText(), "abc 123");
}

TEST_F(FormBuilderTest, ToolTipAppearsAfterTheMouseRestsAndGoesWhenItMoves) {
    const auto name = get<EditBox>("Name");
    gui.handleEvent(mouse::moved(150, 100));
    EXPECT_FALSE(gui.getShownToolTip());
    gui.update(0.2f);
    EXPECT_FALSE(gui.getShownToolTip()) << "not before its time";
    gui.update(0.1f);
    EXPECT_EQ(gui.getShownToolTip(), name->toolTip);
    render();
    EXPECT_EQ(name->toolTip->getAbsoluteRect().left, 155.0f) << "drawn beside the mouse";
    EXPECT_EQ(name->toolTip->getAbsoluteRect().top, 110.0f);

    gui.handleEvent(mouse::moved(151, 100));
    EXPECT_FALSE(gui.getShownToolTip()) << "moving starts the wait again";
    gui.update(0.3f);
    EXPECT_TRUE(gui.getShownToolTip());
    gui.handleEvent(mouse::moved(700, 580));
    gui.update(1.0f);
    EXPECT_FALSE(gui.getShownToolTip()) << "no tool tip away from the widget";
}

// A dialog as a form editor saves it: texts of one word without quotes, shared
// renderers, widgets and properties we do not have.
TEST_F(FormBuilderTest, EditorDialogWithUnquotedWordsLoadsAndSkipsWhatItCannotShow) {
    warnings.clear();
    const std::string path = std::string(VORLUNE_SOURCE_DIR) + "/tests/widgets/forms/BuilderDialog.txt";
    const auto page = Group::create();
    page->setSize(Layout2d(800.0f, 600.0f));
    loadFormFile(*page, path);
    const auto get = [&](const std::string& name) { return page->get(name); };

    const auto dialog = page->get<ChildWindow>("Properties");
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->getTitle(), "Properties");
    EXPECT_EQ(page->get<Label>("Caption")->getText(), "Widgets");
    EXPECT_EQ(page->get<Button>("Add")->getText(), "Add");
    EXPECT_EQ(page->get<Button>("Remove")->getText(), "Remove");
    EXPECT_EQ(page->get<Button>("Version")->getText(), "2") << "a number alone is a word too";
    EXPECT_EQ(page->get<Button>("Close")->getText(), "Close window");
    EXPECT_EQ(page->get<EditBox>("Filename")->getDefaultText(), "Filename");
    EXPECT_EQ(page->get<ListBox>("Kinds")->getItems(),
              (std::vector<std::string>{"Button", "Label", "Picture"}));
    EXPECT_EQ(page->get<Button>("Add")->renderer.backgroundColor, sf::Color::White)
        << "from the shared renderer";
    EXPECT_FALSE(get("WidgetTree"));
    EXPECT_FALSE(get("Menu"));

    // One warning for each thing skipped, naming its line.
    const auto warned = [&](const std::string& what) {
        int times = 0;
        for (const auto& line : warnings) {
            times += line.find(what) != std::string::npos;
        }
        return times;
    };
    EXPECT_EQ(warned("BuilderDialog.txt:38: skipped 'TreeView.WidgetTree' and what it holds"), 1);
    EXPECT_EQ(warned("BuilderDialog.txt:90: skipped 'MenuBar.Menu' and what it holds"), 1);
    EXPECT_EQ(warned("skipped property 'Resizable' of ChildWindow"), 1);
    EXPECT_EQ(warned("skipped property 'PositionLocked' of ChildWindow"), 1);
    for (const auto& line : warnings) {
        for (const char* text : {"'Text'", "'Title'", "'DefaultText'"}) {
            EXPECT_EQ(line.find(text), std::string::npos) << "every text was read: " << line;
        }
    }
}
