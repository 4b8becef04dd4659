#include "game/InputBindings.hpp"

#include <initializer_list>

#include "core/input/InputManager.hpp"
#include "game/PlayerNames.hpp"

namespace {
void registerPlayer(InputManager& input, int playerNumber, const DefaultKeys& keys) {
    // The player's pad slot (player 1: 0): its left stick and d-pad, or the
    // first raw axes of a pad without a standard mapping.
    const unsigned int pad = static_cast<unsigned int>(playerNumber - 1);
    const auto addAxis = [&](const std::string& name, sf::Keyboard::Key negative, sf::Keyboard::Key positive,
                             PadAxis stick, PadButton dpadNegative, PadButton dpadPositive,
                             sf::Joystick::Axis rawStick) {
        input.addAxis(name);
        input.addAxisKey(name, negative, -1.0f);
        input.addAxisKey(name, positive, 1.0f);
        input.addAxisKey(name, inputCodes::padButton(pad, dpadNegative), -1.0f);
        input.addAxisKey(name, inputCodes::padButton(pad, dpadPositive), 1.0f);
        input.addPadAxis(name, stick, pad);
        input.addJoystickAxis(name, rawStick, pad);
    };
    addAxis(playerActionName(playerNumber, "Horizontal"), keys.left, keys.right, PadAxis::leftX,
            PadButton::dpadLeft, PadButton::dpadRight, sf::Joystick::X);
    addAxis(playerActionName(playerNumber, "Vertical"), keys.up, keys.down, PadAxis::leftY, PadButton::dpadUp,
            PadButton::dpadDown, sf::Joystick::Y);

    // Standard buttons by place (jump is the bottom face button on every pad),
    // and the raw button numbers for pads without a standard mapping.
    const auto addButton = [&](const std::string& name, bool continuous, sf::Keyboard::Key key,
                               std::initializer_list<PadButton> padButtons, unsigned int rawButton) {
        input.addAction(name, continuous);
        input.addKey(name, key);
        for (const PadButton button : padButtons) {
            input.addPadButton(name, button, pad);
        }
        input.addJoystickButton(name, rawButton, pad);
    };
    addButton(playerActionName(playerNumber, "Jump"), true, keys.jump, {PadButton::south}, 0);
    addButton(playerActionName(playerNumber, "Beard"), false, keys.beard, {PadButton::west}, 2);
    addButton(playerActionName(playerNumber, "Magic"), true, keys.magic,
              {PadButton::east, PadButton::rightTrigger}, 1);
}
} // namespace

std::string player2KeysName(Player2Keys keys) {
    return keys == Player2Keys::laptop ? "laptop" : "numpad";
}

bool player2KeysFromName(const std::string& name, Player2Keys& keys) {
    if (name != "numpad" && name != "laptop") {
        return false;
    }
    keys = name == "laptop" ? Player2Keys::laptop : Player2Keys::numberPad;
    return true;
}

DefaultKeys defaultPlayerKeys(int playerNumber, Player2Keys player2Keys) {
    if (playerNumber != 2) {
        return {sf::Keyboard::A,     sf::Keyboard::D, sf::Keyboard::W, sf::Keyboard::S,
                sf::Keyboard::Space, sf::Keyboard::H, sf::Keyboard::G};
    }
    // Without a number pad, player 2's left hand takes the letters right of
    // player 1's (J, K, L) while the right hand stays on the arrows.
    const bool laptop = player2Keys == Player2Keys::laptop;
    return {sf::Keyboard::Left,
            sf::Keyboard::Right,
            sf::Keyboard::Up,
            sf::Keyboard::Down,
            laptop ? sf::Keyboard::L : sf::Keyboard::Numpad0,
            laptop ? sf::Keyboard::J : sf::Keyboard::Numpad5,
            laptop ? sf::Keyboard::K : sf::Keyboard::Numpad4};
}

void registerInputBindings(InputManager& input, Player2Keys player2Keys) {
    input.addAction("Restart", false);
    input.addKey("Restart", sf::Keyboard::R);

    registerPlayer(input, 1, defaultPlayerKeys(1, player2Keys));

    // The pause and back button, on the keyboard and on both pads' start
    // buttons (raw button 8 on pads without a standard mapping).
    input.addAction("ESC", false);
    input.addKey("ESC", sf::Keyboard::Escape);
    for (unsigned int pad : {0u, 1u}) {
        input.addPadButton("ESC", PadButton::start, pad);
        input.addJoystickButton("ESC", 8, pad);
    }

    registerPlayer(input, 2, defaultPlayerKeys(2, player2Keys));
}

void restoreDefaultBindings(InputManager& input, Player2Keys player2Keys) {
    // Every action and axis is the game's; emptied, registering again fills
    // them (it adds to what a name has).
    for (auto& [name, action] : input.actions) {
        action->codes.clear();
    }
    for (auto& [name, axis] : input.axes) {
        axis->keyValues.clear();
        axis->joystickAxes.clear();
        axis->padAxes.clear();
    }
    registerInputBindings(input, player2Keys);
}
