#include <algorithm>
#include <fstream>

#include <gtest/gtest.h>

#include "common/TestOutput.hpp"
#include "widgets/Button.hpp"
#include "widgets/FormError.hpp"
#include "widgets/FormLoader.hpp"
#include "widgets/Group.hpp"
#include "widgets/Label.hpp"
#include "widgets/Picture.hpp"
#include "widgets/Slider.hpp"

using namespace widgets;

namespace {
const std::string formsDirectory = std::string(VORLUNE_SOURCE_DIR) + "/tests/widgets/forms";

// Loads the text as a form into a fresh 800 x 600 group.
std::shared_ptr<Group> load(const std::string& text) {
    auto group = Group::create();
    group->setSize(Layout2d(800.0f, 600.0f));
    loadFormText(*group, text, "test.txt", formsDirectory);
    return group;
}

// The message of the FormError that loading the text raises.
std::string errorOf(const std::string& text) {
    try {
        load(text);
    } catch (const FormError& error) {
        return error.what();
    }
    return "no error";
}
} // namespace

TEST(FormLoader, SampleFormBuildsEveryWidgetWithItsProperties) {
    auto group = Group::create();
    group->setSize(Layout2d(800.0f, 600.0f));
    loadFormFile(*group, formsDirectory + "/AllWidgets.txt");

    const auto background = group->get<Picture>("Background");
    ASSERT_TRUE(background);
    ASSERT_TRUE(background->renderer.texture);
    EXPECT_TRUE(background->renderer.texture->isSmooth());
    EXPECT_EQ(background->getSize(), sf::Vector2f(800.0f, 600.0f));

    const auto title = group->get<Label>("Title");
    ASSERT_TRUE(title);
    EXPECT_EQ(title->getText(), "Every \"widget\"");
    EXPECT_EQ(title->getTextSize(), 44u);
    EXPECT_EQ(title->getHorizontalAlignment(), Label::Alignment::Center);
    EXPECT_EQ(title->renderer.textColor, sf::Color(0x2B, 0x1A, 0x0A));
    EXPECT_EQ(title->getAbsoluteRect(), sf::FloatRect(0.0f, 24.0f, 800.0f, 60.0f));

    const auto panel = group->get<Group>("Panel");
    ASSERT_TRUE(panel);
    EXPECT_EQ(panel->getAbsoluteRect(), sf::FloatRect(200.0f, 120.0f, 400.0f, 420.0f));
    EXPECT_EQ(panel->getWidgets().front()->getName(), "") << "unnamed widgets are kept";

    const auto start = group->get<Button>("Start");
    ASSERT_TRUE(start) << "found inside the nested group";
    EXPECT_EQ(start->getText(), "Start");
    EXPECT_EQ(start->getTextSize(), 30u);
    EXPECT_EQ(start->getAbsoluteRect(), sf::FloatRect(220.0f, 140.0f, 360.0f, 60.0f));
    EXPECT_EQ(start->renderer.backgroundColor, sf::Color(0x1E, 0x20, 0x30, 0xE0));
    EXPECT_EQ(start->renderer.textColorHover, sf::Color::White);
    EXPECT_EQ(start->renderer.textColorDown, sf::Color(200, 190, 160));
    EXPECT_EQ(start->renderer.textColorDisabled, sf::Color(240, 230, 200, 90));
    ASSERT_TRUE(start->renderer.borders);
    EXPECT_EQ(start->renderer.borders->bottom, 4.0f);

    const auto textured = group->get<Button>("Textured");
    ASSERT_TRUE(textured) << "quoted names work";
    EXPECT_TRUE(textured->renderer.texture);
    EXPECT_TRUE(textured->renderer.textureHover);
    EXPECT_FALSE(textured->renderer.texture->isSmooth());
    EXPECT_EQ(textured->getTextSize(), 0u);

    EXPECT_FALSE(group->get<Button>("Disabled")->isEnabled());
    EXPECT_FALSE(group->get<Button>("Hidden")->isVisible());
    EXPECT_EQ(group->get<Label>("VolumeCaption")->getText(), "Volume\tmaster");
    EXPECT_EQ(group->get<Label>("Footer")->getText(), "right\naligned");

    const auto volume = group->get<Slider>("Volume");
    ASSERT_TRUE(volume);
    EXPECT_EQ(volume->getMinimum(), 0.0f);
    EXPECT_EQ(volume->getMaximum(), 100.0f);
    EXPECT_EQ(volume->getStep(), 5.0f);
    EXPECT_EQ(volume->getValue(), 50.0f) << "the value is not clamped by a range given after it";
    EXPECT_EQ(volume->renderer.borderColor, sf::Color::Black);
}

TEST(FormLoader, ValuesInEveryAcceptedSpelling) {
    const auto group = load(R"(
        Renderer.shared { TextColor = #abc; }
        Button.A { Position = ("50% - 10", -5); Size = (25% + 10, 10%); Renderer = &shared;
                   Renderer { BackgroundColor = #1234; Borders = 3; } }
        Label.B { Text = "tab\tquote\" back\\slash \d"; Visible = TRUE; Renderer { TextColor = transparent; } }
        Slider.C { Minimum = -1.5; Maximum = .5; Step = 0; Value = -0.25; Renderer { Borders = (1, 2, 3, 4); } }
    )");
    const auto a = group->get<Button>("A");
    ASSERT_TRUE(a);
    EXPECT_EQ(a->getAbsoluteRect(), sf::FloatRect(390.0f, -5.0f, 210.0f, 60.0f));
    EXPECT_EQ(a->renderer.textColor, sf::Color(0xAA, 0xBB, 0xCC));
    EXPECT_EQ(a->renderer.backgroundColor, sf::Color(0x11, 0x22, 0x33, 0x44));
    EXPECT_EQ(a->renderer.borders->left, 3.0f);
    const auto b = group->get<Label>("B");
    EXPECT_EQ(b->getText(), "tab\tquote\" back\\slash \\d");
    EXPECT_EQ(b->renderer.textColor, sf::Color::Transparent);
    const auto c = group->get<Slider>("C");
    EXPECT_EQ(c->getMinimum(), -1.5f);
    EXPECT_EQ(c->getMaximum(), 0.5f);
    EXPECT_EQ(c->getValue(), -0.25f);
    EXPECT_EQ(c->renderer.borders->right, 3.0f);
}

TEST(FormLoader, MalformedFormsNameTheFileLineAndWhatWasExpected) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Button.A {\n  Text = \"x\";\n",
         "test.txt:3: expected '}' to close 'Button.A' (opened on line 1), found end of file"},
        {"Button.A {\n  Text = \"x\"\n  TextSize = 3;\n}",
         "test.txt:2: expected ';' after the value of 'Text', found 'TextSize'"},
        {"Button.A {\n  TextSize = 3\n}",
         "test.txt:2: expected ';' after the value of 'TextSize', found '}'"},
        {"Button.A {\n Renderer {\n  TextColor = #12345G;\n }\n}", "test.txt:3: expected a colour"},
        {"Button.A { Renderer { TextColor = rgb(1, 2, 300); } }",
         "test.txt:1: expected a colour channel from 0 to 255 for 'TextColor', found '300'"},
        {"Button.A { Renderer = &7; }",
         "test.txt:1: expected a shared renderer 'Renderer.7 { }' in this file for '&7'"},
        {"Button.A { Size = (10, 20; }", "test.txt:1: expected ')' for 'Size', found ';'"},
        {"Button.A { Size = (10 20); }", "test.txt:1: expected ',' for 'Size', found '20'"},
        {"Button.A { Visible = maybe; }", "test.txt:1: expected false or true for 'Visible', found 'maybe'"},
        {"Button.A { TextSize = -3; }",
         "test.txt:1: expected a whole number of pixels from 0 to 1000 for 'TextSize'"},
        {"Label.A { TextSize = 100000000000000000000; }",
         "test.txt:1: expected a whole number of pixels from 0 to 1000"},
        {"Button.A { TextSize = 2.5; }", "test.txt:1: expected a whole number of pixels from 0 to 1000"},
        {"Button.A { Renderer { Borders = (1, -2); } }",
         "test.txt:1: expected borders of at least 0 pixels for 'Borders'"},
        {"Button.A { Text = \"open\n\"; }", "test.txt:1: expected '\"' to close the string"},
        {"/* never closed\nButton.A { }",
         "test.txt:1: expected '*/' to close the comment, found end of file"},
        {"Button.A { Text = @; }", "test.txt:1: unexpected character '@'"},
        {"Button.A { Label.B { } }", "test.txt:1: expected a property or a Renderer block inside Button"},
        {"Button.A { Size = (&.q, 1); }", "test.txt:1: expected x, y, w, h, iw, ih, width, height, right or "
                                          "bottom in the layout of 'Size', found 'q'"},
        {"Button.A { Size = (10 / 0, 1); }",
         "test.txt:1: expected a divisor other than 0 in the layout of 'Size', found '0'"},
        {"Button.A { Size = (10 * 9999999, 1); }",
         "test.txt:1: expected a number of pixels within +-1000000 in the layout of 'Size', found '9999999'"},
        {"Button.A { Size = ((1 + 2, 1); }", "test.txt:1: expected ')' in the layout of 'Size', found ','"},
        {"ListBox.A { Items = [\"a\" \"b\"]; }", "test.txt:1: expected ',' for 'Items', found '\"b\"'"},
        {"Button.A Text = 3;", "test.txt:1: expected '{' after 'Button.A', found 'Text'"},
        {"Picture.P { Renderer { Texture = \"a.png\" Blurry; } }",
         "test.txt:1: expected 'Smooth' or ';' after the file name for 'Texture', found 'Blurry'"},
        {"Renderer { TextColor = Red; }", "test.txt:1: expected a name for a shared renderer"},
        {"Button.A { Text = ; }", "test.txt:1: expected a value for 'Text', found ';'"},
        // One word may go without quotes; more than one may not.
        {"Button.A {\n  Text = Add Item;\n}",
         "test.txt:2: expected a quoted string or a single word for 'Text', found 'Add'"},
        // Beyond what an order may be, and far beyond an int: refused, not cut.
        {"Button.A {\n\n  FocusOrder = 3000000000;\n}",
         "test.txt:3: expected a whole number from -1000000 to 1000000 for 'FocusOrder', found '3000000000'"},
        {"Button.A { FocusOrder = -99999999999999999999; }",
         "test.txt:1: expected a whole number from -1000000 to 1000000 for 'FocusOrder'"},
        {"Button.A { FocusOrder = 1.5; }",
         "test.txt:1: expected a whole number from -1000000 to 1000000 for 'FocusOrder'"},
    };
    for (const auto& [text, message] : cases) {
        const std::string error = errorOf(text);
        EXPECT_EQ(error.rfind(message, 0), 0u) << "form:\n" << text << "\ngave: " << error;
    }
}

TEST(FormLoader, FailedFormAddsNothing) {
    auto group = Group::create();
    EXPECT_THROW(loadFormText(*group, "Button.A { }\nButton.B { TextSize = -1; }", "test.txt", ""),
                 FormError);
    EXPECT_TRUE(group->getWidgets().empty());
}

TEST(FormLoader, UnreadableFileIsReportedWithItsName) {
    auto group = Group::create();
    try {
        loadFormFile(*group, "..\\no\\such\\Form.txt");
        FAIL() << "no error";
    } catch (const FormError& error) {
        EXPECT_EQ(std::string(error.what()).rfind("../no/such/Form.txt: expected a readable form file", 0),
                  0u)
            << error.what();
        EXPECT_EQ(error.line, 0);
    }
    EXPECT_THROW(loadFormFile(*group, formsDirectory), FormError) << "a directory is no form";
}

TEST(FormLoader, BackslashPathsAndTexturesRelativeToTheForm) {
    const std::string path = testOutputPath("FormLoaderBackslash.txt");
    {
        std::ofstream file(path);
        file << "Picture.P { Renderer { Texture = "
                "\"..\\..\\tests\\widgets\\forms\\images\\banner.png\"; } }\n";
    }
    std::string windowsPath = path;
    std::replace(windowsPath.begin(), windowsPath.end(), '/', '\\');
    // The form lies in build/test-output/ and the build directory in the
    // source tree, so "..\.." from the form is the source root.
    auto group = Group::create();
    testing::internal::CaptureStderr();
    loadFormFile(*group, windowsPath);
    const std::string output = testing::internal::GetCapturedStderr();
    const auto picture = group->get<Picture>("P");
    ASSERT_TRUE(picture);
    EXPECT_TRUE(picture->renderer.texture) << output;
    EXPECT_EQ(picture->getSize(), sf::Vector2f(128.0f, 64.0f));
}

TEST(FormLoader, MissingTextureIsReportedAndTheWidgetStays) {
    testing::internal::CaptureStderr();
    const auto group = load("Picture.P { Size = (10, 10); Renderer { Texture = \"images/none.png\"; } }");
    const std::string output = testing::internal::GetCapturedStderr();
    EXPECT_NE(output.find("Couldn't load texture " + formsDirectory + "/images/none.png"), std::string::npos)
        << output;
    const auto picture = group->get<Picture>("P");
    ASSERT_TRUE(picture);
    EXPECT_FALSE(picture->renderer.texture);
}

TEST(FormLoader, DeepNestingIsRefusedNotOverflowed) {
    std::string text;
    for (int i = 0; i < 100000; ++i) {
        text += "Group {";
    }
    EXPECT_NE(errorOf(text).find("expected at most 64 nested blocks"), std::string::npos);
}

TEST(FormLoader, EveryCutOrDamagedSampleFormLoadsOrIsRefused) {
    std::ifstream file(formsDirectory + "/AllWidgets.txt");
    const std::string sample((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    ASSERT_GT(sample.size(), 1000u);
    testing::internal::CaptureStderr();
    const auto survives = [](const std::string& text) {
        try {
            load(text);
        } catch (const FormError&) {
        }
    };
    for (size_t length = 0; length < sample.size(); ++length) {
        survives(sample.substr(0, length));
    }
    // Each character in turn replaced by characters that break structure or values.
    for (size_t at = 0; at < sample.size(); at += 3) {
        for (const char damage : {'{', '}', ';', '"', '(', '#', '%', '-'}) {
            std::string damaged = sample;
            damaged[at] = damage;
            survives(damaged);
        }
    }
    testing::internal::GetCapturedStderr();
}
