#include <gtest/gtest.h>

#include "common/ScriptedInputTest.hpp"
#include "core/input/InputManager.hpp"
#include "core/input/ScriptedInputBackend.hpp"
#include "game/InputBindings.hpp"

namespace {
class InputBindingsTest : public ScriptedInputTest {
protected:
    void SetUp() override {
        ScriptedInputTest::SetUp();
        registerInputBindings(input);
    }

    // Presses, samples, releases and samples again; reports whether it fired.
    bool press(const std::function<void(bool)>& set, const std::string& action) {
        set(true);
        input.update();
        const bool fired = input.wasPressed(action);
        set(false);
        input.update();
        return fired;
    }
    std::function<void(bool)> key(sf::Keyboard::Key key) {
        return [this, key](bool down) { devices->setKey(key, down); };
    }
    std::function<void(bool)> pad(unsigned int joystick, unsigned int button) {
        return [this, joystick, button](bool down) { devices->setJoystickButton(joystick, button, down); };
    }
};
} // namespace

TEST_F(InputBindingsTest, EveryActionAndAxisIsRegistered) {
    std::vector<std::string> actions, axes;
    for (const auto& entry : input.actions) {
        actions.push_back(entry.first);
    }
    for (const auto& entry : input.axes) {
        axes.push_back(entry.first);
    }
    EXPECT_EQ(actions,
              (std::vector<std::string>{"ESC", "Player1 Beard", "Player1 Jump", "Player1 Magic",
                                        "Player2 Beard", "Player2 Jump", "Player2 Magic", "Restart"}));
    EXPECT_EQ(axes, (std::vector<std::string>{"Player1 Horizontal", "Player1 Vertical", "Player2 Horizontal",
                                              "Player2 Vertical"}));
    EXPECT_TRUE(input.actions["Player1 Jump"]->continuous);
    EXPECT_TRUE(input.actions["Player2 Magic"]->continuous);
    EXPECT_FALSE(input.actions["Player1 Beard"]->continuous);
    EXPECT_FALSE(input.actions["ESC"]->continuous);
    EXPECT_FALSE(input.actions["Restart"]->continuous);
}

TEST_F(InputBindingsTest, KeysAndPadButtonsDriveEveryAction) {
    struct Binding {
        std::string action;
        sf::Keyboard::Key key;
        unsigned int joystick, button;
    };
    const std::vector<Binding> bindings = {
        {"Player1 Jump", sf::Keyboard::Space, 0, 0},
        {"Player1 Beard", sf::Keyboard::H, 0, 2},
        {"Player1 Magic", sf::Keyboard::G, 0, 1},
        {"ESC", sf::Keyboard::Escape, 0, 8},
        {"ESC", sf::Keyboard::Escape, 1, 8},
        {"Player2 Jump", sf::Keyboard::Numpad0, 1, 0},
        {"Player2 Beard", sf::Keyboard::Numpad5, 1, 2},
        {"Player2 Magic", sf::Keyboard::Numpad4, 1, 1},
    };
    for (const auto& binding : bindings) {
        EXPECT_TRUE(press(key(binding.key), binding.action)) << binding.action;
        EXPECT_TRUE(press(pad(binding.joystick, binding.button), binding.action)) << binding.action;
        // The other player's pad does not drive it (except the shared ESC).
        if (binding.action != "ESC") {
            EXPECT_FALSE(press(pad(1 - binding.joystick, binding.button), binding.action)) << binding.action;
        }
    }
    EXPECT_TRUE(press(key(sf::Keyboard::R), "Restart"));
    EXPECT_FALSE(press(pad(0, 0), "Restart"));
}

TEST_F(InputBindingsTest, KeysAndSticksDriveEveryAxis) {
    struct Binding {
        std::string axis;
        sf::Keyboard::Key negative, positive;
        unsigned int joystick;
        sf::Joystick::Axis stick;
    };
    const std::vector<Binding> bindings = {
        {"Player1 Horizontal", sf::Keyboard::A, sf::Keyboard::D, 0, sf::Joystick::X},
        {"Player1 Vertical", sf::Keyboard::W, sf::Keyboard::S, 0, sf::Joystick::Y},
        {"Player2 Horizontal", sf::Keyboard::Left, sf::Keyboard::Right, 1, sf::Joystick::X},
        {"Player2 Vertical", sf::Keyboard::Up, sf::Keyboard::Down, 1, sf::Joystick::Y},
    };
    for (const auto& binding : bindings) {
        devices->reset();
        devices->setKey(binding.negative, true);
        EXPECT_FLOAT_EQ(input.getAxis(binding.axis), -1.0f) << binding.axis;
        devices->setKey(binding.negative, false);
        devices->setKey(binding.positive, true);
        EXPECT_FLOAT_EQ(input.getAxis(binding.axis), 1.0f) << binding.axis;
        devices->reset();
        devices->setJoystickAxis(binding.joystick, binding.stick, -60.0f);
        EXPECT_FLOAT_EQ(input.getAxis(binding.axis), -0.5f) << binding.axis;
        devices->reset();
        devices->setJoystickAxis(1 - binding.joystick, binding.stick, -60.0f);
        EXPECT_EQ(input.getAxis(binding.axis), 0.0f) << binding.axis;
    }
}

// Standard names mean one place on every pad: jump is the bottom button.
TEST_F(InputBindingsTest, PadsStandardButtonsAndSticksDriveTheirOwnPlayer) {
    struct Binding {
        std::string action;
        PadButton button;
    };
    for (unsigned int pad : {0u, 1u}) {
        const std::string player = "Player" + std::to_string(pad + 1) + " ";
        for (const Binding& binding : std::vector<Binding>{{player + "Jump", PadButton::south},
                                                           {player + "Magic", PadButton::east},
                                                           {player + "Magic", PadButton::rightTrigger},
                                                           {player + "Beard", PadButton::west},
                                                           {"ESC", PadButton::start}}) {
            const auto set = [&](bool down) {
                if (binding.button == PadButton::rightTrigger) {
                    devices->setPadAxis(pad, PadAxis::rightTrigger, down ? 1.0f : 0.0f);
                } else {
                    devices->setPadButton(pad, binding.button, down);
                }
            };
            EXPECT_TRUE(press(set, binding.action)) << binding.action;
        }
        devices->setPadButton(pad, PadButton::south, true);
        input.update();
        EXPECT_FALSE(input.wasPressed("Player" + std::to_string(2 - pad) + " Jump"))
            << "the other player's pad";
        devices->reset();
        devices->setPadAxis(pad, PadAxis::leftX, -1.0f);
        devices->setPadButton(pad, PadButton::dpadDown, true);
        EXPECT_FLOAT_EQ(input.getAxis(player + "Horizontal"), -1.0f);
        EXPECT_FLOAT_EQ(input.getAxis(player + "Vertical"), 1.0f);
        devices->reset();
    }
}
