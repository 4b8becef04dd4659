// The form reader's stages one by one: tokens, blocks, values.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "widgets/FormError.hpp"
#include "widgets/FormLexer.hpp"
#include "widgets/FormParser.hpp"
#include "widgets/FormValueReader.hpp"
#include "widgets/LayoutExpression.hpp"

using namespace widgets;
using Kind = FormToken::Kind;

namespace {
// The value of `Key = <text>;` as a property.
FormProperty property(const std::string& value) {
    const std::vector<FormNode> nodes = parseForm("W { Key = " + value + "; }", "test.txt");
    return nodes.at(0).properties.at(0);
}

std::string refusalOf(const std::function<void()>& read) {
    try {
        read();
    } catch (const FormError& error) {
        return error.what();
    }
    return "no error";
}
} // namespace

TEST(FormLexer, SplitsEditorValuesIntoTokensWithTheirLines) {
    const auto tokens = tokenizeForm(
        "Size = (&.w * 2 / 3, [\"a\", b]);\n// note\nStyle = Bold | Italic; /* x\n */ #FFF", "f");
    std::vector<std::string> texts;
    for (const auto& token : tokens) {
        texts.push_back(token.text);
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"Size",  "=", "(",    "&", ".",      "w", "*",    "2", "/",
                                               "3",     ",", "[",    "a", ",",      "b", "]",    ")", ";",
                                               "Style", "=", "Bold", "|", "Italic", ";", "#FFF", ""}));
    EXPECT_EQ(tokens[12].kind, Kind::String);
    EXPECT_EQ(tokens[18].line, 3);
    EXPECT_EQ(tokens[24].kind, Kind::Colour);
    EXPECT_EQ(tokens[24].line, 4);
    EXPECT_EQ(tokens.back().kind, Kind::End);
}

TEST(FormLexer, RefusesTextsBeyondTheTokenBound) {
    std::string huge;
    for (size_t i = 0; i < maximumFormTokens; ++i) {
        huge += "a,";
    }
    EXPECT_NE(refusalOf([&] { tokenizeForm(huge, "f"); }).find("expected at most 200000 tokens"),
              std::string::npos);
}

TEST(FormParser, ReadsBlocksPropertiesAndListValuesAcrossLines) {
    const auto nodes = parseForm(R"(
Renderer.1 { TextColor = Red; }
ListBox.Bindings {
    Items = ["Jump",
             "Magic"];
    Renderer {
        Scrollbar { TrackColor = Red; }
        BackgroundColor = Blue;
    }
}
)",
                                 "f");
    ASSERT_EQ(nodes.size(), 2u);
    EXPECT_EQ(nodes[1].title(), "ListBox.Bindings");
    ASSERT_EQ(nodes[1].properties.size(), 1u);
    EXPECT_EQ(nodes[1].properties[0].value.size(), 5u) << "the list spans two lines";
    ASSERT_EQ(nodes[1].children.size(), 1u);
    EXPECT_EQ(nodes[1].children[0].children.at(0).type, "Scrollbar")
        << "a block nested in a renderer is kept";
}

TEST(FormValueReader, ReadsListsTexturePartsAndJoinedWords) {
    const FormProperty items = property("[\"Jump\", Magic, 3]");
    EXPECT_EQ(FormValueReader(items, "f").list(), (std::vector<std::string>{"Jump", "Magic", "3"}));
    EXPECT_TRUE(FormValueReader(property("[]"), "f").list().empty());

    const FormProperty texture = property("\"a\\b.png\" Part(0, 0, 32, 16) Middle(4, 4, 24, 8) Smooth");
    const auto value = FormValueReader(texture, "f").texture();
    EXPECT_EQ(value.path, "a/b.png");
    EXPECT_TRUE(value.smooth);
    ASSERT_TRUE(value.part && value.middle);
    EXPECT_EQ(*value.part, sf::IntRect(0, 0, 32, 16));
    EXPECT_EQ(*value.middle, sf::IntRect(4, 4, 24, 8));

    EXPECT_EQ(FormValueReader(property("Bold | italic | Underlined"), "f").textStyle(),
              sf::Uint32(sf::Text::Bold | sf::Text::Italic | sf::Text::Underlined));
    EXPECT_EQ(refusalOf([] { FormValueReader(property("Bold | Heavy"), "f").textStyle(); }),
              "f:1: expected Regular, Bold, Italic, Underlined or StrikeThrough for 'Key', found 'Heavy'");
    EXPECT_TRUE(FormValueReader(property("Close | Maximize"), "f").wordsInclude("close"));
    EXPECT_FALSE(FormValueReader(property("None"), "f").wordsInclude("Close"));
    EXPECT_TRUE(FormValueReader(property("[Minimize, Close]"), "f").wordsInclude("Close"));
}

TEST(FormValueReader, LayoutPartsAreSumsOrExpressions) {
    const Layout2d plain = FormValueReader(property("(50% - 10, 20)"), "f").layout();
    EXPECT_FALSE(plain.x.expression);
    EXPECT_EQ(plain.resolve({200.0f, 100.0f}), sf::Vector2f(90.0f, 20.0f));

    const Layout2d computed =
        FormValueReader(property("(2 * (10 + 5) - -1, \"max(10%, 3) / 2\")"), "f").layout();
    ASSERT_TRUE(computed.x.expression);
    EXPECT_EQ(computed.resolve({200.0f, 100.0f}), sf::Vector2f(31.0f, 5.0f));
    EXPECT_EQ(computed.resolve({200.0f, 20.0f}).y, 1.5f) << "10% of 20 is less than 3";
    EXPECT_EQ(FormValueReader(property("(&.w, h)"), "f").layout().resolve({50.0f, 50.0f}),
              sf::Vector2f(0.0f, 0.0f))
        << "without a widget every reference is 0";
}

TEST(FormValueReader, RefusalsNameTheFileLineAndWhatWasExpected) {
    const std::vector<std::pair<std::string, std::string>> layouts = {
        {"(1 +, 2)", "f:1: expected a number, a percentage, '(' or a reference such as &.w in the layout of "
                     "'Key', found ','"},
        {"(min(1), 2)", "f:1: expected ',' in the layout of 'Key', found ')'"},
        {"(A.iw, 2)",
         "f:1: expected x, y, w, h, width, height, right or bottom in the layout of 'Key', found 'iw'"},
        {"(4 / (2 - 2 + 0), 2)", "f:1: expected a divisor other than 0"},
        {"(4 / (2 - 10%), 2)", "no error"},
        {"(4 / -0, 2)", "f:1: expected a divisor other than 0"},
        {"(2000000, 2)", "f:1: expected a number of pixels within +-1000000"},
    };
    for (const auto& [value, message] : layouts) {
        const FormProperty layout = property(value);
        const std::string error = refusalOf([&] { FormValueReader(layout, "f").layout(); });
        EXPECT_EQ(error.rfind(message, 0), 0u) << value << " gave: " << error;
    }
    std::string million = "[";
    for (int i = 0; i < 20000; ++i) {
        million += "1,";
    }
    const FormProperty longList = property(million + "1]");
    EXPECT_NE(refusalOf([&] { FormValueReader(longList, "f").list(); }).find("at most 10000 items in a list"),
              std::string::npos);
    std::string longSum = "(1";
    for (int i = 0; i < 5000; ++i) {
        longSum += " + &.w";
    }
    const FormProperty manyTerms = property(longSum + ", 1)");
    EXPECT_NE(refusalOf([&] { FormValueReader(manyTerms, "f").layout(); }).find("at most 1000 terms"),
              std::string::npos);
    EXPECT_NE(refusalOf([&] { parseForm("W { Key = [1, {]; }", "f"); }).find("expected ';'"),
              std::string::npos);
}
