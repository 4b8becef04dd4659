#include "game/InputBindings.hpp"

#include <initializer_list>

#include "core/input/InputManager.hpp"
#include "game/PlayerNames.hpp"

namespace {
struct PlayerBindings {
    int playerNumber;
    // The pad slot the player's pad plays in (player 1: 0).
    unsigned int joystick;
    sf::Keyboard::Key left, right, up, down;
    sf::Keyboard::Key jump, beard, magic;
};

void registerPlayer(InputManager& input, const PlayerBindings& player) {
    // The player's pad: its left stick and d-pad, or the first raw axes of a
    // pad without a standard mapping.
    const unsigned int pad = player.joystick;
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
    addAxis(playerActionName(player.playerNumber, "Horizontal"), player.left, player.right, PadAxis::leftX,
            PadButton::dpadLeft, PadButton::dpadRight, sf::Joystick::X);
    addAxis(playerActionName(player.playerNumber, "Vertical"), player.up, player.down, PadAxis::leftY,
            PadButton::dpadUp, PadButton::dpadDown, sf::Joystick::Y);

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
    addButton(playerActionName(player.playerNumber, "Jump"), true, player.jump, {PadButton::south}, 0);
    addButton(playerActionName(player.playerNumber, "Beard"), false, player.beard, {PadButton::west}, 2);
    addButton(playerActionName(player.playerNumber, "Magic"), true, player.magic,
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

void registerInputBindings(InputManager& input, Player2Keys player2Keys) {
    input.addAction("Restart", false);
    input.addKey("Restart", sf::Keyboard::R);

    registerPlayer(input, {1, 0, sf::Keyboard::A, sf::Keyboard::D, sf::Keyboard::W, sf::Keyboard::S,
                           sf::Keyboard::Space, sf::Keyboard::H, sf::Keyboard::G});

    // The pause and back button, on the keyboard and on both pads' start
    // buttons (raw button 8 on pads without a standard mapping).
    input.addAction("ESC", false);
    input.addKey("ESC", sf::Keyboard::Escape);
    for (unsigned int pad : {0u, 1u}) {
        input.addPadButton("ESC", PadButton::start, pad);
        input.addJoystickButton("ESC", 8, pad);
    }

    // Without a number pad, player 2's left hand takes the letters right of
    // player 1's (J, K, L) while the right hand stays on the arrows.
    const bool laptop = player2Keys == Player2Keys::laptop;
    registerPlayer(input, {2, 1, sf::Keyboard::Left, sf::Keyboard::Right, sf::Keyboard::Up,
                           sf::Keyboard::Down, laptop ? sf::Keyboard::L : sf::Keyboard::Numpad0,
                           laptop ? sf::Keyboard::J : sf::Keyboard::Numpad5,
                           laptop ? sf::Keyboard::K : sf::Keyboard::Numpad4});
}
