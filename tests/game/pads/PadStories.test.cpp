// Players with game pads, in the real game under Xvfb: SDL's virtual pads are
// plugged in, pressed, pushed and pulled out inside the test process, and the
// game reads them through its GamepadHub as it reads real ones.
#include <algorithm>
#include <cmath>

#include "common/VirtualPads.hpp"
#include "core/input/GamepadHub.hpp"
#include "core/input/InputCodes.hpp"
#include "game/GameScenario.hpp"
#include "game/PlayerNames.hpp"
#include "game/pads/PadScenario.hpp"
#include "game/player/PadRumble.hpp"
#include "game/player/PlayerControllerComponent.hpp"
#include "physics/RigidBodyComponent.hpp"
#include "scene/GameObjectManager.hpp"
#include "widgets/Button.hpp"
#include "widgets/Label.hpp"

namespace {
class PadStories : public PadScenario {
protected:
    std::shared_ptr<GameObject> player(int number) const {
        return GameObjectManager::instance().findGameObject(playerObjectName(number));
    }
    sf::Vector2f place(int number) const { return player(number)->transform->getPosition(); }
    float runSpeed(int number) const { return player(number)->rigidBody->getVelocity().x; }

    // From the title menu into a match by pad A's bottom button.
    void startMatchByPad(VirtualPad& pad) {
        start();
        frames(2);
        pad.plugIn();
        frames(1);
        // Play, then the arena page's first arena.
        press(pad, SDL_CONTROLLER_BUTTON_A);
        press(pad, SDL_CONTROLLER_BUTTON_A);
        ASSERT_EQ(state(), "Arena");
        // Both wizards land.
        frames(90);
    }

    const GamepadHub& hub = GamepadHub::instance();
};
} // namespace

TEST_F(PadStories, PadsTakePlayersByAButtonAndDriftNeverRunsAPlayer) {
    VirtualPad padA("Pad A", 0x1209, 0x000A);
    start();
    frames(2);
    click("menu", "MenuOptions");
    frames(1);
    const auto nobody = GuiManager::instance().getWidget<widgets::Label>("mControls", "Pad1");
    ASSERT_TRUE(nobody);
    EXPECT_EQ(nobody->getText(), "Player 1: no pad yet");
    screenshot("menu-controls-pads");
    tap(sf::Keyboard::Escape);
    ASSERT_EQ(shownPages(), "menu");
    padA.plugIn();
    frames(1);
    EXPECT_TRUE(hub.getOwnership().isFree(0)) << "a pad plugged in takes no one until pressed";
    // At the menu: the bottom button takes player 1 and presses Play, then
    // the arena page's first arena.
    press(padA, SDL_CONTROLLER_BUTTON_A);
    EXPECT_EQ(shownPages(), "mArena");
    press(padA, SDL_CONTROLLER_BUTTON_A);
    EXPECT_EQ(state(), "Arena");
    EXPECT_EQ(hub.padName(0), "Pad A");
    EXPECT_EQ(game.shownNotice(), "Player 1: Pad A");
    frames(90);

    // Mid-match, a second pad takes player 2.
    VirtualPad padB("Pad B", 0x1209, 0x000B);
    padB.plugIn();
    frames(1);
    press(padB, SDL_CONTROLLER_BUTTON_B);
    EXPECT_EQ(hub.padName(1), "Pad B");
    EXPECT_EQ(game.shownNotice(), "Player 2: Pad B");

    // A worn stick resting 3 % off centre walks no one; a stick pushed all the
    // way runs at the full ground speed, as a held key does.
    const sf::Vector2f restingAt = place(1);
    padA.setAxis(SDL_CONTROLLER_AXIS_LEFTX, 0.03f);
    padA.setAxis(SDL_CONTROLLER_AXIS_LEFTY, -0.02f);
    padB.setAxis(SDL_CONTROLLER_AXIS_LEFTX, -1.0f);
    frames(12);
    EXPECT_NEAR(place(1).x, restingAt.x, 0.5f) << "player 1 walked by drift";
    EXPECT_NEAR(runSpeed(1), 0.0f, 1e-6f);
    EXPECT_EQ(input.getAxis("Player1 Horizontal"), 0.0f);
    // Full, as a held key: the controller sets the ground speed, and the
    // ground's friction takes a little of it within the step.
    const float fullSpeed = player(2)->getComponent<PlayerControllerComponent>()->tuning.groundSpeed;
    EXPECT_EQ(input.getAxis("Player2 Horizontal"), -1.0f);
    const float stickSpeed = runSpeed(2);
    EXPECT_NEAR(stickSpeed, -fullSpeed, 0.25f);
    padB.setAxis(SDL_CONTROLLER_AXIS_LEFTX, 0.0f);
    frames(30);
    devices->setKey(sf::Keyboard::Right, true);
    frames(12);
    EXPECT_NEAR(runSpeed(2), fullSpeed, 0.25f);
    EXPECT_NEAR(runSpeed(2), -stickSpeed, 0.01f) << "the stick runs as fast as the key";
    devices->setKey(sf::Keyboard::Right, false);
    // The d-pad runs as the stick does.
    padA.setButton(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
    frames(12);
    EXPECT_EQ(input.getAxis("Player1 Horizontal"), 1.0f);
    EXPECT_NEAR(runSpeed(1), fullSpeed, 0.25f);
    padA.setButton(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, false);

    // A life lost is felt on the player's own pad, unless rumble is off.
    const auto fall = [&](int number) {
        const auto object = player(number);
        object->transform->setPosition({place(number).x, 5000.0f});
        object->transform->markMoved();
        frames(90);
    };
    fall(1);
    EXPECT_EQ(padA.rumbles(), 1);
    EXPECT_EQ(padB.rumbles(), 0);
    padRumble::setEnabled(false);
    fall(2);
    EXPECT_EQ(padB.rumbles(), 0);
}

TEST_F(PadStories, UnpluggedPadPausesTheMatchUntilItReturnsToItsOwnPlayer) {
    VirtualPad padA("Pad A", 0x1209, 0x000A);
    VirtualPad padB("Pad B", 0x1209, 0x000B);
    ASSERT_NO_FATAL_FAILURE(startMatchByPad(padA));
    padB.plugIn();
    frames(1);
    press(padB, SDL_CONTROLLER_BUTTON_X);
    frames(60);

    padA.unplug();
    padB.setAxis(SDL_CONTROLLER_AXIS_LEFTX, 1.0f);
    frames(1);
    EXPECT_EQ(shownPages(), "padLost");
    const auto message = GuiManager::instance().getWidget<widgets::Label>("padLost", "Message");
    ASSERT_TRUE(message);
    EXPECT_EQ(message->getText(), "Player 1's pad is disconnected");
    screenshot("pad-lost");
    // Paused for real: nobody moves, not even the player whose pad is still there.
    const sf::Vector2f first = place(1), second = place(2);
    tap(sf::Keyboard::Escape);
    frames(30);
    EXPECT_EQ(place(1), first);
    EXPECT_EQ(place(2), second);
    EXPECT_EQ(shownPages(), "padLost") << "Escape does not leave the wait";

    // The same pad comes back: its player goes on with it.
    padA.plugIn();
    frames(1);
    EXPECT_EQ(shownPages(), "");
    EXPECT_EQ(game.shownNotice(), "Player 1: Pad A");
    padA.setButton(SDL_CONTROLLER_BUTTON_A, true);
    frames(1);
    EXPECT_TRUE(input.wasPressed("Player1 Jump"));
    EXPECT_FALSE(input.wasPressed("Player2 Jump"));
    padA.setButton(SDL_CONTROLLER_BUTTON_A, false);
    frames(10);
    EXPECT_GT(place(2).x, second.x) << "the match runs again";

    // Player 2 gives up on a lost pad and goes on with the keyboard: the pad
    // that turns up later is a new one, free to take a player again.
    padB.unplug();
    frames(1);
    EXPECT_EQ(message->getText(), "Player 2's pad is disconnected");
    click("padLost", "Keyboard");
    frames(1);
    EXPECT_EQ(shownPages(), "");
    EXPECT_TRUE(hub.getOwnership().isFree(1));
    padB.plugIn();
    frames(1);
    EXPECT_TRUE(hub.getOwnership().isFree(1));
    press(padB, SDL_CONTROLLER_BUTTON_A);
    EXPECT_EQ(hub.padName(1), "Pad B");
}

TEST_F(PadStories, PadsReturnedInTheOtherOrderKeepTheirPlayersAndSwapOnlyWhenAsked) {
    VirtualPad padA("Pad A", 0x1209, 0x000A);
    VirtualPad padB("Pad B", 0x1209, 0x000B);
    ASSERT_NO_FATAL_FAILURE(startMatchByPad(padA));
    padB.plugIn();
    frames(1);
    press(padB, SDL_CONTROLLER_BUTTON_Y);

    padA.unplug();
    padB.unplug();
    frames(1);
    const auto message = GuiManager::instance().getWidget<widgets::Label>("padLost", "Message");
    EXPECT_EQ(message->getText(), "Player 1's pad is disconnected\nPlayer 2's pad is disconnected");
    padB.plugIn();
    frames(1);
    EXPECT_EQ(message->getText(), "Player 1's pad is disconnected") << "B went back to player 2";
    padA.plugIn();
    frames(1);
    EXPECT_EQ(shownPages(), "");
    padB.setButton(SDL_CONTROLLER_BUTTON_A, true);
    frames(1);
    EXPECT_TRUE(input.wasPressed("Player2 Jump"));
    EXPECT_FALSE(input.wasPressed("Player1 Jump"));
    padB.setButton(SDL_CONTROLLER_BUTTON_A, false);

    // The controls page shows who has which pad, and swaps them when asked.
    tap(sf::Keyboard::Escape);
    click("pause", "Controls");
    frames(1);
    const auto pad1 = GuiManager::instance().getWidget<widgets::Label>("pauseControls", "Pad1");
    ASSERT_TRUE(pad1);
    EXPECT_EQ(pad1->getText(), "Player 1: Pad A");
    click("pauseControls", "SwapPads");
    frames(1);
    EXPECT_EQ(pad1->getText(), "Player 1: Pad B");
    screenshot("pause-controls-pads-swapped");
    EXPECT_EQ(hub.padName(1), "Pad A");
}

TEST_F(PadStories, PadWithoutAMappingPlaysByItsRawButtonsAndMenusAnswerPads) {
    // Raw button 0 jumps and raw button 8 pauses, as before pads had names.
    VirtualPad oldPad("Old Stick", 0x1209, 0x00F0, false);
    VirtualPad padB("Pad B", 0x1209, 0x000B);
    ASSERT_NO_FATAL_FAILURE(startMatchByPad(padB));
    oldPad.plugIn();
    frames(1);
    oldPad.setButton(0, true);
    frames(1);
    EXPECT_TRUE(input.wasPressed("Player2 Jump"));
    EXPECT_EQ(hub.padName(1), "Old Stick");
    oldPad.setButton(0, false);
    frames(1);

    // Start pauses, the d-pad moves the focus, the bottom button presses, the
    // right button goes back, start resumes.
    press(padB, SDL_CONTROLLER_BUTTON_START);
    ASSERT_EQ(shownPages(), "pause");
    press(padB, SDL_CONTROLLER_BUTTON_DPAD_DOWN);
    press(padB, SDL_CONTROLLER_BUTTON_A);
    EXPECT_EQ(shownPages(), "pauseControls");
    press(padB, SDL_CONTROLLER_BUTTON_B);
    EXPECT_EQ(shownPages(), "pause");
    press(padB, SDL_CONTROLLER_BUTTON_START);
    EXPECT_EQ(shownPages(), "");
    oldPad.setButton(8, true);
    frames(1);
    EXPECT_EQ(shownPages(), "pause");
}

// The controls page rebinds by pad too: a row waiting for a key takes the
// pad's button, which neither presses a menu button nor reaches the player.
TEST_F(PadStories, AWaitingControlsRowTakesAPadsButton) {
    VirtualPad padA("Pad A", 0x1209, 0x000A);
    start();
    frames(2);
    padA.plugIn();
    frames(1);
    // The left face button claims the pad without working the menus.
    press(padA, SDL_CONTROLLER_BUTTON_X);
    ASSERT_FALSE(hub.getOwnership().isFree(0));
    click("menu", "MenuOptions");
    frames(1);
    const auto jump = GuiManager::instance().getWidget<widgets::Button>("mControls", "Player1Jump");
    ASSERT_TRUE(jump);
    click("mControls", "Player1Jump");
    frames(1);
    EXPECT_EQ(jump->getText(), "press a key");
    press(padA, SDL_CONTROLLER_BUTTON_Y);
    EXPECT_EQ(jump->getText(), "Space  \xC2\xB7  pad 1 top button");
    EXPECT_EQ(shownPages(), "mControls options") << "the pad's press also worked the menus";
    const auto& codes = input.actions.at("Player1 Jump")->codes;
    EXPECT_NE(std::find(codes.begin(), codes.end(), inputCodes::padButton(0, PadButton::north)), codes.end());
    EXPECT_EQ(std::find(codes.begin(), codes.end(), inputCodes::padButton(0, PadButton::south)), codes.end());
}
