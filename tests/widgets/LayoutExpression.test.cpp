#include <string>

#include <gtest/gtest.h>

#include "widgets/Button.hpp"
#include "widgets/FormError.hpp"
#include "widgets/FormLoader.hpp"
#include "widgets/Group.hpp"
#include "widgets/LayoutExpression.hpp"
#include "widgets/Panel.hpp"

using namespace widgets;

namespace {
std::shared_ptr<Group> page(float width, float height) {
    auto group = Group::create();
    group->setSize(Layout2d(width, height));
    return group;
}

std::string refusal(const std::string& form) {
    try {
        loadFormText(*page(800.0f, 600.0f), form, "test.txt", "");
    } catch (const FormError& error) {
        return error.what();
    }
    return "no error";
}
} // namespace

TEST(LayoutExpression, EditorLayoutsFollowTheParentAndTheirSiblings) {
    auto root = page(800.0f, 600.0f);
    loadFormText(*root, R"(
        Button.Centred { Size = (200, 50); Position = ((&.w - w) / 2, "&.h - h - 10"); }
        Button.Right { Position = (Centred.right + 10, Centred.y); Size = (Centred.width / 2, Centred.h); }
        Button.Below { Position = (Centred.left, Centred.bottom + 5); Size = (max(100, 25%), min(&.ih, 30) * 2); }
        Panel.Box {
            Position = (10, 10); Size = (300, 200);
            Renderer { Borders = (5, 10, 5, 10); }
            Button.Inner { Size = (&.iw, 50%); Position = (parent.iw - w, this.h / 5); }
        }
    )",
                 "test.txt", "");
    const auto centred = root->get<Button>("Centred");
    EXPECT_EQ(centred->getAbsoluteRect(), sf::FloatRect(300.0f, 540.0f, 200.0f, 50.0f));
    EXPECT_EQ(root->get<Button>("Right")->getAbsoluteRect(), sf::FloatRect(510.0f, 540.0f, 100.0f, 50.0f));
    EXPECT_EQ(root->get<Button>("Below")->getAbsoluteRect(), sf::FloatRect(300.0f, 595.0f, 200.0f, 60.0f));
    const auto inner = root->get<Button>("Inner");
    EXPECT_EQ(inner->getSize(), sf::Vector2f(290.0f, 90.0f)) << "inside the borders: 300 - 10 by 200 - 20";
    EXPECT_EQ(inner->getAbsoluteRect(), sf::FloatRect(15.0f, 38.0f, 290.0f, 90.0f));

    root->setSize(Layout2d(1000.0f, 400.0f));
    EXPECT_EQ(centred->getAbsoluteRect(), sf::FloatRect(400.0f, 340.0f, 200.0f, 50.0f))
        << "re-evaluated for the new parent size";
    EXPECT_EQ(root->get<Button>("Below")->getSize().x, 250.0f) << "25% of 1000 beats 100";
}

TEST(LayoutExpression, PlainSumsKeepTheirPixelsAndPercentages) {
    auto root = page(400.0f, 300.0f);
    loadFormText(*root, "Button.A { Position = (50% - 20, \"10% + 3\"); Size = (100% - 40, 20); }",
                 "test.txt", "");
    const auto a = root->get<Button>("A");
    EXPECT_FALSE(a->getPosition().x.expression) << "a sum of pixels and percentages stays a plain value";
    EXPECT_EQ(a->getPosition().x.percent, 50.0f);
    EXPECT_EQ(a->getPosition().x.pixels, -20.0f);
    EXPECT_EQ(a->getAbsoluteRect(), sf::FloatRect(180.0f, 33.0f, 360.0f, 20.0f));
}

TEST(LayoutExpression, CyclesRunawaysAndMissingNamesAreRefusedWithOneLine) {
    EXPECT_EQ(refusal("Button.A { Size = (B.w, 10); }\nButton.B { Size = (A.w, 10); }")
                  .rfind("test.txt: expected "
                         "layouts that can be "
                         "worked out; 'A' has "
                         "layout references "
                         "that lead back",
                         0),
              0u);
    EXPECT_NE(refusal("Button.A { Size = (w + 1, 10); }").find("lead back to themselves"), std::string::npos)
        << "a size made of itself";
    EXPECT_NE(refusal("Button.A { Position = (Nobody.x, 0); }").find("a reference to 'Nobody'"),
              std::string::npos);

    // Each widget worked out once per evaluation: a chain of sizes that each
    // double the one before takes linear work, and its sizes stop at the bound.
    std::string doubling = "Button.W0 { Size = (1, 1); }\n";
    for (int i = 1; i <= 40; ++i) {
        const std::string before = "W" + std::to_string(i - 1);
        doubling +=
            "Button.W" + std::to_string(i) + " { Size = (" + before + ".w + " + before + ".w, 1); }\n";
    }
    auto root = page(800.0f, 600.0f);
    loadFormText(*root, doubling, "test.txt", "");
    EXPECT_EQ(root->get<Button>("W10")->getSize().x, 1024.0f);
    EXPECT_EQ(root->get<Button>("W40")->getSize().x, LayoutExpression::maximumMagnitude);

    // Long expressions along a long chain: more work than one evaluation may
    // take, or, with each reference at the bottom of its expression's terms,
    // more stack than it may take.
    const auto chain = [](bool referenceFirst) {
        std::string form = "Button.C0 { Size = (1, 1); }\n";
        for (int i = 1; i <= 80; ++i) {
            const std::string reference = "C" + std::to_string(i - 1) + ".w";
            std::string zeros;
            for (int term = 0; term < 900; ++term) {
                zeros += "0+";
            }
            form += "Button.C" + std::to_string(i) + " { Size = (" +
                    (referenceFirst ? reference + "+" + zeros + "0" : zeros + reference) + ", 1); }\n";
        }
        return form;
    };
    EXPECT_NE(refusal(chain(false)).find("more than 100000 steps"), std::string::npos);
    EXPECT_NE(refusal(chain(true)).find("nested more than 4000 terms deep"), std::string::npos);

    std::string deep = "Button.A { Size = (";
    for (int i = 0; i < 40; ++i) {
        deep += "(";
    }
    deep += "1";
    for (int i = 0; i < 40; ++i) {
        deep += ")";
    }
    EXPECT_NE(refusal(deep + ", 1); }").find("at most 32 nested parentheses"), std::string::npos);
    EXPECT_EQ(refusal("Button.A { Size = (" + std::string(100000, '-') + "1, 1); }"), "no error")
        << "signs cost no stack";
}

TEST(LayoutExpression, DivisionByAZeroThatComesWithTheParentSizeGivesZero) {
    auto root = page(100.0f, 100.0f);
    loadFormText(*root, "Button.A { Size = (200 / (&.w - 100), 10); }", "test.txt", "");
    EXPECT_EQ(root->get<Button>("A")->getSize().x, 0.0f);
    root->setSize(Layout2d(110.0f, 100.0f));
    EXPECT_EQ(root->get<Button>("A")->getSize().x, 20.0f);
}

TEST(LayoutExpression, DeeplyNestedRelativeGroupsAreNoCycle) {
    // As deep as a form may nest, each group two pixels smaller than its parent.
    std::string form;
    for (int i = 0; i < 60; ++i) {
        form += "Group.G" + std::to_string(i) + " { Size = (&.w - 2, &.h - 2);\n";
    }
    form += "Button.Inner { Size = (&.w, 10); }\n" + std::string(60, '}');
    auto root = page(800.0f, 600.0f);
    loadFormText(*root, form, "test.txt", "");
    EXPECT_EQ(root->get<Button>("Inner")->getSize().x, 800.0f - 120.0f);
}
