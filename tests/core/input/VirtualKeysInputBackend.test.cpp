#include <gtest/gtest.h>

#include "common/ScriptedInputTest.hpp"
#include "core/input/VirtualKeysInputBackend.hpp"

class VirtualKeys : public ScriptedInputTest {
protected:
    void SetUp() override {
        ScriptedInputTest::SetUp();
        input.addAction("Jump", false);
        input.addKey("Jump", sf::Keyboard::Space);
        input.addJoystickButton("Jump", 0, 0);
        input.addAxis("Horizontal");
        input.addAxisKey("Horizontal", sf::Keyboard::A, -1.0f);
        input.addAxisKey("Horizontal", sf::Keyboard::D, 1.0f);
    }
};

TEST_F(VirtualKeys, HeldKeysActLikeDeviceKeysAndLeaveTheDevicesAlone) {
    const auto keyboard = VirtualKeysInputBackend::installOn(input);
    ASSERT_TRUE(keyboard);
    EXPECT_EQ(input.getBackend(), keyboard);
    EXPECT_EQ(keyboard->getDevices(), devices);
    // Installed once: a second computer player shares the keyboard.
    EXPECT_EQ(VirtualKeysInputBackend::installOn(input), keyboard);

    // A held virtual key fires a one-shot action once, like a held real key.
    keyboard->setKey(sf::Keyboard::Space, true);
    input.update();
    EXPECT_TRUE(input.wasPressed("Jump"));
    input.update();
    EXPECT_FALSE(input.wasPressed("Jump"));
    EXPECT_FALSE(devices->isKeyPressed(sf::Keyboard::Space));

    // Virtual and device keys add up on an axis: opposite ones cancel.
    keyboard->setKey(sf::Keyboard::D, true);
    EXPECT_EQ(input.getAxis("Horizontal"), 1.0f);
    devices->setKey(sf::Keyboard::A, true);
    EXPECT_EQ(input.getAxis("Horizontal"), 0.0f);
    keyboard->releaseAll();
    EXPECT_EQ(input.getAxis("Horizontal"), -1.0f);
    EXPECT_FALSE(keyboard->isHeld(sf::Keyboard::Space));

    // The devices' own buttons still count, and keys out of range are ignored.
    input.update();
    EXPECT_FALSE(input.wasPressed("Jump"));
    devices->setJoystickButton(0, 0, true);
    input.update();
    EXPECT_TRUE(input.wasPressed("Jump"));
    keyboard->setKey(sf::Keyboard::Unknown, true);
    keyboard->setKey(static_cast<sf::Keyboard::Key>(sf::Keyboard::KeyCount), true);
    EXPECT_FALSE(keyboard->isHeld(sf::Keyboard::Unknown));

    // Replacing the backend (a replay, other scripted devices) takes the keyboard away.
    input.setBackend(devices);
    keyboard->setKey(sf::Keyboard::D, true);
    devices->setKey(sf::Keyboard::A, false);
    EXPECT_EQ(input.getAxis("Horizontal"), 0.0f);
}
