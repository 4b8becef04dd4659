#include "core/input/InputCodes.hpp"

#include <gtest/gtest.h>

#include <SFML/Window/Keyboard.hpp>

#include <set>

// Every code the settings file may hold is written by a name that reads back
// as the same code, and no two codes share a name.
TEST(InputCodes, EveryCodeIsWrittenByANameThatReadsBack) {
    std::set<std::string> names;
    for (int32_t code = 0; code <= inputCodes::lastCode; ++code) {
        const std::string text = inputCodes::toText(code);
        int32_t read = -1;
        ASSERT_TRUE(inputCodes::fromText(text, read)) << code << " as " << text;
        EXPECT_EQ(read, code) << text;
        EXPECT_TRUE(names.insert(text).second) << text << " names two codes";
    }
    EXPECT_EQ(inputCodes::toText(sf::Keyboard::J), "J");
    EXPECT_EQ(inputCodes::toText(sf::Keyboard::Space), "Space");
    EXPECT_EQ(inputCodes::toText(sf::Keyboard::Numpad0), "Numpad0");
    EXPECT_EQ(inputCodes::toText(sf::Keyboard::Num1), "Num1");
    EXPECT_EQ(inputCodes::toText(sf::Keyboard::Left), "Left");
    EXPECT_EQ(inputCodes::toText(inputCodes::padButton(1, PadButton::south)), "pad2.south");
    EXPECT_EQ(inputCodes::toText(inputCodes::joystickButton(0, 8)), "pad1.button8");
}

// What a person may write: any case, spaces inside a name, the page's names,
// the keyboard enumeration's names, punctuation as typed, and older numbers.
TEST(InputCodes, NamesAreReadAsAPersonWritesThem) {
    const std::pair<const char*, int32_t> spellings[] = {
        {"j", sf::Keyboard::J},
        {"SPACE", sf::Keyboard::Space},
        {"Numpad 0", sf::Keyboard::Numpad0},
        {"numpad_5", sf::Keyboard::Numpad5},
        {"Left Ctrl", sf::Keyboard::LControl},
        {"LControl", sf::Keyboard::LControl},
        {"Page Up", sf::Keyboard::PageUp},
        {"Return", sf::Keyboard::Enter},
        {"[", sf::Keyboard::LBracket},
        {"Numpad +", sf::Keyboard::Add},
        {"f12", sf::Keyboard::F12},
        {"Pad1.South", inputCodes::padButton(0, PadButton::south)},
        {"pad2.button0", inputCodes::joystickButton(1, 0)},
        {"mouse.left", inputCodes::firstMouse},
        {"57", sf::Keyboard::Space},
        {"300", inputCodes::joystickButton(1, 0)},
    };
    for (const auto& [text, code] : spellings) {
        int32_t read = -1;
        EXPECT_TRUE(inputCodes::fromText(text, read)) << text;
        EXPECT_EQ(read, code) << text;
    }
    for (const char* text :
         {"", "NoSuchKey", "pad9.south", "pad1.button100", "pad1.nose", "-1", "99999", "Left Right"}) {
        int32_t read = -1;
        EXPECT_FALSE(inputCodes::fromText(text, read)) << text;
    }
    EXPECT_TRUE(inputCodes::isNumberText("57"));
    EXPECT_FALSE(inputCodes::isNumberText("Num5"));
}
