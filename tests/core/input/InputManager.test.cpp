#include <gtest/gtest.h>

#include "common/KeyEvents.hpp"
#include "common/ScriptedInputTest.hpp"
#include "core/input/InputManager.hpp"
#include "core/input/ScriptedInputBackend.hpp"
#include "core/input/VirtualKeysInputBackend.hpp"

namespace {
class InputManagerTest : public ScriptedInputTest {
protected:
    // Samples one frame and reports whether the action fired in it.
    bool frame(const std::string& action) {
        input.update();
        return input.wasPressed(action);
    }
};

int callbackCalls = 0;
void countCall() {
    ++callbackCalls;
}
} // namespace

TEST_F(InputManagerTest, HeldActionFiresOnceUntilReleasedForASampling) {
    input.addAction("Jump", false);
    input.addKey("Jump", sf::Keyboard::Space);
    EXPECT_FALSE(frame("Jump"));
    devices->setKey(sf::Keyboard::Space, true);
    EXPECT_TRUE(frame("Jump"));
    EXPECT_FALSE(frame("Jump"));
    EXPECT_FALSE(frame("Jump"));
    devices->setKey(sf::Keyboard::Space, false);
    EXPECT_FALSE(frame("Jump"));
    devices->setKey(sf::Keyboard::Space, true);
    EXPECT_TRUE(frame("Jump"));
}

TEST_F(InputManagerTest, ContinuousActionFiresEveryFrameWhileHeld) {
    input.addAction("Magic", true);
    input.addKey("Magic", sf::Keyboard::G);
    devices->setKey(sf::Keyboard::G, true);
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(frame("Magic")) << "frame " << i;
    }
    devices->setKey(sf::Keyboard::G, false);
    EXPECT_FALSE(frame("Magic"));
}

TEST_F(InputManagerTest, KeyboardAndJoystickHeldTogetherFireOnce) {
    input.addAction("Jump", false);
    input.addKey("Jump", sf::Keyboard::Space);
    input.addJoystickButton("Jump", 0, 1);
    devices->setKey(sf::Keyboard::Space, true);
    EXPECT_TRUE(frame("Jump"));
    devices->setJoystickButton(1, 0, true);
    EXPECT_FALSE(frame("Jump"));
    devices->setKey(sf::Keyboard::Space, false);
    EXPECT_FALSE(frame("Jump")) << "still down through the joystick";
}

TEST_F(InputManagerTest, WasPressedKeepsTheLastSamplingBetweenSamplings) {
    input.addAction("ESC", false);
    input.addKey("ESC", sf::Keyboard::Escape);
    devices->setKey(sf::Keyboard::Escape, true);
    input.update();
    devices->setKey(sf::Keyboard::Escape, false);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(input.wasPressed("ESC"));
    }
    input.update();
    EXPECT_FALSE(input.wasPressed("ESC"));
}

TEST_F(InputManagerTest, CallbacksRunEachTimeTheActionFires) {
    callbackCalls = 0;
    input.addAction("Restart", false);
    input.addKey("Restart", sf::Keyboard::R);
    input.actions["Restart"]->callbacks = {countCall, countCall};
    devices->setKey(sf::Keyboard::R, true);
    input.update();
    input.update();
    EXPECT_EQ(callbackCalls, 2);
}

TEST_F(InputManagerTest, InputCodesDecodeToTheirDevices) {
    devices->setKey(sf::Keyboard::Numpad5, true);
    devices->setMouseButton(sf::Mouse::Right, true);
    devices->setJoystickButton(0, 8, true);
    devices->setJoystickButton(1, 2, true);
    EXPECT_TRUE(input.isCodeDown(80));
    EXPECT_FALSE(input.isCodeDown(79));
    EXPECT_TRUE(input.isCodeDown(151));
    EXPECT_FALSE(input.isCodeDown(150));
    EXPECT_TRUE(input.isCodeDown(208));
    EXPECT_TRUE(input.isCodeDown(302));
    EXPECT_FALSE(input.isCodeDown(202));
    devices->setJoystickConnected(1, false);
    EXPECT_FALSE(input.isCodeDown(302)) << "a disconnected joystick's buttons read up";
}

TEST_F(InputManagerTest, CodesBeyondTheDevicesReadUpWithTheRealDevices) {
    input.setBackend(nullptr);
    for (const int32_t code : {-1, 120, 149, 160, 199, 240, 1000, 1099, 99999}) {
        EXPECT_FALSE(input.isCodeDown(code)) << code;
    }
    input.addAxis("Far");
    input.addJoystickAxis("Far", sf::Joystick::X, 40);
    EXPECT_EQ(input.getAxis("Far"), 0.0f);
}

// A resting stick drifts; read unscaled, 2 % of drift walked a player.
TEST_F(InputManagerTest, RawStickIsReadThroughARoundDeadZoneScaledToItsEdge) {
    input.addAxis("Horizontal");
    input.addJoystickAxis("Horizontal", sf::Joystick::X, 0);
    devices->setJoystickAxis(0, sf::Joystick::X, 3.0f);
    EXPECT_EQ(input.getAxis("Horizontal"), 0.0f) << "3 % of drift";
    devices->setJoystickAxis(0, sf::Joystick::X, 20.0f);
    EXPECT_EQ(input.getAxis("Horizontal"), 0.0f) << "the zone's edge reads 0";
    devices->setJoystickAxis(0, sf::Joystick::X, 60.0f);
    EXPECT_NEAR(input.getAxis("Horizontal"), 0.5f, 1e-6f) << "half-way between the edge and full";
    devices->setJoystickAxis(0, sf::Joystick::X, -100.0f);
    EXPECT_FLOAT_EQ(input.getAxis("Horizontal"), -1.0f);
    // Round, not square: pushed up a little, the stick's small sideways part
    // is its share of a deflection past the zone.
    devices->setJoystickAxis(0, sf::Joystick::X, 15.0f);
    devices->setJoystickAxis(0, sf::Joystick::Y, -80.0f);
    EXPECT_GT(input.getAxis("Horizontal"), 0.1f);
}

TEST_F(InputManagerTest, PadSticksTriggersAndDpadReadAsTheKeysDo) {
    input.addAxis("Horizontal");
    input.addAxisKey("Horizontal", inputCodes::padButton(1, PadButton::dpadLeft), -1.0f);
    input.addAxisKey("Horizontal", inputCodes::padButton(1, PadButton::dpadRight), 1.0f);
    input.addPadAxis("Horizontal", PadAxis::leftX, 1);
    input.addAction("Magic", true);
    input.addPadButton("Magic", PadButton::rightTrigger, 1);
    input.addPadButton("Magic", PadButton::east, 1);

    devices->setPadAxis(1, PadAxis::leftX, 0.03f);
    devices->setPadAxis(1, PadAxis::leftY, -0.02f);
    EXPECT_EQ(input.getAxis("Horizontal"), 0.0f) << "a drifting stick";
    devices->setPadAxis(0, PadAxis::leftX, 1.0f);
    EXPECT_EQ(input.getAxis("Horizontal"), 0.0f) << "another slot's pad";
    devices->setPadAxis(1, PadAxis::leftX, 1.0f);
    EXPECT_FLOAT_EQ(input.getAxis("Horizontal"), 1.0f) << "full deflection reads as a key";
    devices->setPadAxis(1, PadAxis::leftX, 0.0f);
    devices->setPadButton(1, PadButton::dpadLeft, true);
    EXPECT_FLOAT_EQ(input.getAxis("Horizontal"), -1.0f);

    devices->setPadAxis(1, PadAxis::rightTrigger, 0.45f);
    EXPECT_FALSE(frame("Magic")) << "a trigger short of half-way";
    devices->setPadAxis(1, PadAxis::rightTrigger, 0.55f);
    EXPECT_TRUE(frame("Magic"));
    devices->setPadAxis(1, PadAxis::rightTrigger, 0.0f);
    devices->setPadButton(1, PadButton::east, true);
    EXPECT_TRUE(frame("Magic"));
}

TEST_F(InputManagerTest, DisconnectedJoystickOrMissingAxisContributesNothing) {
    input.addAxis("Vertical");
    input.addJoystickAxis("Vertical", sf::Joystick::Y, 1);
    devices->setJoystickAxis(1, sf::Joystick::X, 0.7f);
    EXPECT_EQ(input.getAxis("Vertical"), 0.0f);
    devices->setJoystickAxis(1, sf::Joystick::Y, 100.0f);
    EXPECT_FLOAT_EQ(input.getAxis("Vertical"), 1.0f);
    devices->setJoystickConnected(1, false);
    EXPECT_EQ(input.getAxis("Vertical"), 0.0f);
}

TEST_F(InputManagerTest, OppositeKeysCancelAndKeysAddToTheStick) {
    input.addAxis("Horizontal");
    input.addAxisKey("Horizontal", sf::Keyboard::A, -1.0f);
    input.addAxisKey("Horizontal", sf::Keyboard::D, 1.0f);
    input.addJoystickAxis("Horizontal", sf::Joystick::X, 0);
    devices->setKey(sf::Keyboard::A, true);
    EXPECT_FLOAT_EQ(input.getAxis("Horizontal"), -1.0f);
    devices->setKey(sf::Keyboard::D, true);
    EXPECT_FLOAT_EQ(input.getAxis("Horizontal"), 0.0f);
    devices->setKey(sf::Keyboard::A, false);
    devices->setJoystickAxis(0, sf::Joystick::X, -60.0f);
    EXPECT_NEAR(input.getAxis("Horizontal"), 0.5f, 1e-6f);
}

TEST_F(InputManagerTest, AxisKeyKeepsItsFirstValue) {
    input.addAxis("Horizontal");
    input.addAxisKey("Horizontal", sf::Keyboard::D, 0.5f);
    input.addAxisKey("Horizontal", sf::Keyboard::D, -1.0f);
    devices->setKey(sf::Keyboard::D, true);
    EXPECT_FLOAT_EQ(input.getAxis("Horizontal"), 0.5f);
}

TEST_F(InputManagerTest, UnregisteredNamesAreTolerated) {
    input.addKey("Nothing", sf::Keyboard::A);
    input.addJoystickButton("Nothing", 0, 0);
    input.addAxisKey("Nothing", sf::Keyboard::A, 1.0f);
    input.addJoystickAxis("Nothing", sf::Joystick::X, 0);
    devices->setKey(sf::Keyboard::A, true);
    input.update();
    EXPECT_TRUE(input.actions.empty());
    EXPECT_TRUE(input.axes.empty());
    EXPECT_FALSE(input.wasPressed("Nothing"));
    EXPECT_EQ(input.getAxis("Nothing"), 0.0f);
}

TEST_F(InputManagerTest, AddingAnExistingNameKeepsTheFirst) {
    input.addAction("Jump", true);
    input.addKey("Jump", sf::Keyboard::Space);
    input.addAction("Jump", false);
    EXPECT_TRUE(input.actions["Jump"]->continuous);
    EXPECT_EQ(input.actions["Jump"]->codes.size(), 1u);
}

TEST_F(InputManagerTest, AxesSampledPerFrameHoldTheirValueUntilTheNextSampling) {
    input.addAxis("Steer");
    input.addAxisKey("Steer", sf::Keyboard::Left, -1.0f);
    input.addJoystickAxis("Steer", sf::Joystick::X, 0);
    input.sampleAxesPerFrame = true;
    devices->setJoystickAxis(0, sf::Joystick::X, 100.0f);
    EXPECT_EQ(input.getAxis("Steer"), 0.0f) << "nothing sampled yet";
    input.update();
    devices->setKey(sf::Keyboard::Left, true);
    EXPECT_EQ(input.getAxis("Steer"), 1.0f) << "the devices changed after the sampling";
    input.update();
    EXPECT_EQ(input.getAxis("Steer"), 0.0f);
    input.sampleAxesPerFrame = false;
    devices->setKey(sf::Keyboard::Left, false);
    EXPECT_EQ(input.getAxis("Steer"), 1.0f) << "read from the devices again";
}

namespace {
// Plays whole actions, as a replay does: "Jump" down, the stick at -0.5 (and
// out-of-range values clamped), every device idle.
class ActionPlayer : public ScriptedInputBackend {
public:
    float stick = -0.5f;
    bool playsActions() const override { return true; }
    bool isActionDown(const std::string& name) override { return name == "Jump"; }
    float getAxisValue(const std::string& name) override { return name == "Steer" ? stick : 0.0f; }
};
} // namespace

TEST_F(InputManagerTest, BackendThatPlaysActionsIsAskedByNameNotByKey) {
    auto player = std::make_shared<ActionPlayer>();
    input.setBackend(player);
    input.addAction("Jump", false); // no key bound at all
    input.addAction("Duck", false);
    input.addKey("Duck", sf::Keyboard::S);
    player->setKey(sf::Keyboard::S, true);
    input.addAxis("Steer");
    EXPECT_TRUE(frame("Jump"));
    EXPECT_FALSE(input.wasPressed("Duck")) << "its key is ignored while actions are played";
    EXPECT_FALSE(frame("Jump")) << "not continuous: fires once while held";
    EXPECT_EQ(input.getAxis("Steer"), -0.5f);
    player->stick = 3.0f;
    EXPECT_EQ(input.getAxis("Steer"), 1.0f);
}

namespace {
sf::Event keyEvent(sf::Keyboard::Key key, bool pressed) {
    return pressed ? keys::pressed(key) : keys::released(key);
}
} // namespace

// Polling alone never sees a key pressed and let go between two samplings;
// the window's events do.
TEST_F(InputManagerTest, PressAndReleaseBetweenSamplingsFireOnceInTheNextFrame) {
    input.addAction("Pause", false);
    input.addKey("Pause", sf::Keyboard::Escape);
    input.addAction("Jump", true);
    input.addKey("Jump", sf::Keyboard::Space);
    input.addJoystickButton("Jump", 0, 1);
    EXPECT_FALSE(frame("Pause"));

    input.handleEvent(keyEvent(sf::Keyboard::Escape, true));
    input.handleEvent(keyEvent(sf::Keyboard::Escape, false));
    input.handleEvent(keyEvent(sf::Keyboard::Space, true));
    input.handleEvent(keyEvent(sf::Keyboard::Space, false));
    EXPECT_TRUE(frame("Pause"));
    EXPECT_TRUE(input.wasPressed("Jump")) << "a continuous action fires for a tap too";
    EXPECT_FALSE(frame("Pause")) << "a tap fires once";
    EXPECT_FALSE(input.wasPressed("Jump"));

    // The window numbers pads in the order the system found them, not by
    // player: its joystick events are not the pads' presses.
    sf::Event button;
    button.type = sf::Event::JoystickButtonPressed;
    button.joystickButton = {1, 0};
    input.handleEvent(button);
    EXPECT_FALSE(frame("Jump"));
    // A pad button tapped between frames on the second player's pad, as the pads report it.
    input.latchPress(inputCodes::joystickButton(1, 0));
    EXPECT_TRUE(frame("Jump"));
    EXPECT_FALSE(frame("Jump"));
}

TEST_F(InputManagerTest, KeyRepeatsAreNotPressesButALetGoAndPressAgainIs) {
    input.addAction("Pause", false);
    input.addKey("Pause", sf::Keyboard::Escape);
    devices->setKey(sf::Keyboard::Escape, true);
    input.handleEvent(keyEvent(sf::Keyboard::Escape, true));
    EXPECT_TRUE(frame("Pause"));
    // The system repeats a held key's press.
    input.handleEvent(keyEvent(sf::Keyboard::Escape, true));
    input.handleEvent(keyEvent(sf::Keyboard::Escape, true));
    EXPECT_FALSE(frame("Pause"));
    // Let go and pressed again between two samplings: still held when sampled.
    input.handleEvent(keyEvent(sf::Keyboard::Escape, false));
    input.handleEvent(keyEvent(sf::Keyboard::Escape, true));
    EXPECT_TRUE(frame("Pause"));

    // Keys let go while the window had no focus send no release.
    devices->setKey(sf::Keyboard::Escape, false);
    sf::Event lostFocus;
    lostFocus.type = sf::Event::LostFocus;
    input.handleEvent(lostFocus);
    EXPECT_FALSE(frame("Pause"));
    sf::Event gainedFocus;
    gainedFocus.type = sf::Event::GainedFocus;
    input.handleEvent(gainedFocus);
    input.handleEvent(keyEvent(sf::Keyboard::Escape, true));
    EXPECT_TRUE(frame("Pause"));
}

namespace {
// Scripted devices that note the window's focus they are told of.
class FocusNotingDevices : public ScriptedInputBackend {
public:
    void setWindowFocused(bool focused) override { told = focused ? 1 : 0; }
    int told = -1;
};
} // namespace

TEST_F(InputManagerTest, DevicesAreToldOfTheWindowsFocusAlsoWhenInstalledWithoutIt) {
    auto devicesNow = std::make_shared<FocusNotingDevices>();
    input.setBackend(devicesNow);
    sf::Event focus;
    focus.type = sf::Event::LostFocus;
    input.handleEvent(focus);
    EXPECT_FALSE(input.isWindowFocused());
    EXPECT_EQ(devicesNow->told, 0);
    // A computer player's keyboard over them passes it on.
    auto later = std::make_shared<FocusNotingDevices>();
    input.setBackend(std::make_shared<VirtualKeysInputBackend>(later));
    EXPECT_EQ(later->told, 0);
    focus.type = sf::Event::GainedFocus;
    input.handleEvent(focus);
    EXPECT_EQ(later->told, 1);
    EXPECT_TRUE(input.isWindowFocused());
}

// A page over the match has the keys: what went down on it stays its own
// until let go, what was held before it is held after it.
TEST_F(InputManagerTest, KeysPressedOnAPageAreThePagesUntilLetGoAndKeysHeldBeforeStayHeld) {
    input.addAction("Jump", true);
    input.addKey("Jump", sf::Keyboard::Space);
    input.addAction("Beard", false);
    input.addKey("Beard", sf::Keyboard::H);
    input.addAction("Pause", false);
    input.addKey("Pause", sf::Keyboard::Escape);
    input.addAxis("Run");
    input.addAxisKey("Run", sf::Keyboard::A, -1.0f);
    input.addAxisKey("Run", sf::Keyboard::D, 1.0f);
    const auto press = [&](sf::Keyboard::Key key, bool down) {
        devices->setKey(key, down);
        input.handleEvent(keyEvent(key, down));
    };
    press(sf::Keyboard::D, true);
    press(sf::Keyboard::H, true);
    EXPECT_TRUE(frame("Beard"));

    input.setPageOpen(true);
    press(sf::Keyboard::Space, true);
    press(sf::Keyboard::A, true);
    press(sf::Keyboard::Escape, true);
    EXPECT_TRUE(frame("Pause")) << "the page's own actions work on it";
    EXPECT_EQ(input.getAxis("Run"), 0.0f) << "A and D as the devices hold them";
    frame("Pause");
    press(sf::Keyboard::A, false);
    frame("Pause");

    // The page closes with Space, A let go, D and H held since before it.
    input.setPageOpen(false);
    EXPECT_FALSE(frame("Jump")) << "Space was the page's";
    EXPECT_FALSE(input.wasPressed("Beard")) << "H is held, not pressed again";
    EXPECT_FALSE(input.wasPressed("Pause"));
    EXPECT_FALSE(input.isCodeDown(sf::Keyboard::Space));
    EXPECT_EQ(input.getAxis("Run"), 1.0f);
    EXPECT_FALSE(frame("Jump"));
    press(sf::Keyboard::Space, false);
    EXPECT_FALSE(frame("Jump"));
    press(sf::Keyboard::Space, true);
    EXPECT_TRUE(frame("Jump")) << "let go, Space is the match's again";

    // A tap that works the page and closes it is no tap for the match.
    press(sf::Keyboard::Space, false);
    frame("Jump");
    input.setPageOpen(true);
    frame("Jump");
    input.handleEvent(keyEvent(sf::Keyboard::Space, true));
    input.handleEvent(keyEvent(sf::Keyboard::Space, false));
    input.setPageOpen(false);
    EXPECT_FALSE(frame("Jump"));
}
