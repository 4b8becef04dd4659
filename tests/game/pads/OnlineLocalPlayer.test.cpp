// The player at this machine, read for an online match while the online
// backend plays both players' actions: the game's bindings, pads and keys
// alike, read just as an offline match reads them.
#include <cmath>

#include "common/ScriptedInputTest.hpp"
#include "game/InputBindings.hpp"
#include "game/online/OnlineInputBackend.hpp"
#include "game/online/OnlinePlayerInput.hpp"

namespace {
class OnlineLocalPlayer : public ScriptedInputTest {
protected:
    void SetUp() override {
        ScriptedInputTest::SetUp();
        registerInputBindings(input);
    }

    // The axis as an offline match reads it from the same devices now.
    float offlineAxis(const std::string& name) {
        input.setBackend(devices);
        const float value = input.getAxis(name);
        input.setBackend(online);
        return value;
    }
    static int16_t fixed(float value) {
        return static_cast<int16_t>(std::lround(value * net::PlayerInput::axisScale));
    }

    std::shared_ptr<OnlineInputBackend> online = std::make_shared<OnlineInputBackend>(devices, input);
};
} // namespace

TEST_F(OnlineLocalPlayer, PadsKeysAndTapsAreReadAsOfflineWhileTheMatchPlaysTheLockstepsInput) {
    input.setBackend(online);
    constexpr size_t jump = 0;
    constexpr size_t horizontal = 0;

    // A resting stick's drift moves nobody, on a standard pad or a raw one.
    devices->setPadAxis(1, PadAxis::leftX, 0.01f);
    devices->setJoystickAxis(0, sf::Joystick::X, 1.0f);
    EXPECT_EQ(onlineInput::readLocalPlayer(input).axes[horizontal], 0);

    // A pushed stick reads as offline, whichever player's pad it is.
    devices->setPadAxis(1, PadAxis::leftX, 0.6f);
    const float pushed = offlineAxis("Player2 Horizontal");
    EXPECT_GT(pushed, 0.3f);
    EXPECT_LT(pushed, 0.7f);
    EXPECT_EQ(onlineInput::readLocalPlayer(input).axes[horizontal], fixed(pushed));
    devices->setPadAxis(1, PadAxis::leftX, 0.0f);
    devices->setJoystickAxis(0, sf::Joystick::X, -60.0f);
    const float raw = offlineAxis("Player1 Horizontal");
    EXPECT_LT(raw, -0.3f) << "a raw axis is scaled from its -100 .. 100";
    EXPECT_EQ(onlineInput::readLocalPlayer(input).axes[horizontal], fixed(raw));
    devices->setJoystickAxis(0, sf::Joystick::X, 0.0f);

    // The pad's bottom button is the jump; its d-pad an axis.
    devices->setPadButton(0, PadButton::south, true);
    devices->setPadButton(1, PadButton::dpadLeft, true);
    net::PlayerInput read = onlineInput::readLocalPlayer(input);
    EXPECT_EQ(read.down, 1u << jump);
    EXPECT_EQ(read.tapped, 0u);
    EXPECT_EQ(read.axes[horizontal], -net::PlayerInput::axisScale);
    devices->setPadButton(0, PadButton::south, false);
    devices->setPadButton(1, PadButton::dpadLeft, false);

    // Start is this machine's own Escape, not the match's.
    devices->setPadButton(1, PadButton::start, true);
    input.update();
    EXPECT_TRUE(input.wasPressed("ESC"));
    devices->setPadButton(1, PadButton::start, false);
    input.update();

    // Space pressed and let go before the frame: a tap, once.
    input.latchPress(sf::Keyboard::Space);
    read = onlineInput::readLocalPlayer(input);
    EXPECT_EQ(read.down, 0u);
    EXPECT_EQ(read.tapped, 1u << jump);
    EXPECT_EQ(onlineInput::readLocalPlayer(input).tapped, read.tapped) << "reading takes nothing away";
    input.update();
    EXPECT_EQ(onlineInput::readLocalPlayer(input).tapped, 0u) << "the frame's sampling took it";

    // The tap played back by the lockstep fires the other player's jump in one frame only.
    net::PlayerInput tapped;
    tapped.tapped = 1u << jump;
    online->setFrame({net::PlayerInput(), tapped});
    input.update();
    EXPECT_TRUE(input.wasPressed("Player2 Jump"));
    EXPECT_FALSE(input.wasPressed("Player1 Jump"));
    online->setFrame({net::PlayerInput(), net::PlayerInput()});
    input.update();
    EXPECT_FALSE(input.wasPressed("Player2 Jump"));
}
