#include "game/InputBindings.hpp"

#include "core/input/InputManager.hpp"
#include "game/PlayerNames.hpp"

namespace {
struct PlayerBindings {
    int playerNumber;
    unsigned int joystick;
    sf::Keyboard::Key left, right, up, down;
    sf::Keyboard::Key jump, beard, magic;
};

void registerPlayer(InputManager& input, const PlayerBindings& player) {
    const auto addAxis = [&](const std::string& name, sf::Keyboard::Key negative, sf::Keyboard::Key positive,
                             sf::Joystick::Axis stick) {
        input.addAxis(name);
        input.addAxisKey(name, negative, -1.0f);
        input.addAxisKey(name, positive, 1.0f);
        input.addJoystickAxis(name, stick, player.joystick);
    };
    addAxis(playerActionName(player.playerNumber, "Horizontal"), player.left, player.right, sf::Joystick::X);
    addAxis(playerActionName(player.playerNumber, "Vertical"), player.up, player.down, sf::Joystick::Y);

    const auto addButton = [&](const std::string& name, bool continuous, sf::Keyboard::Key key,
                               unsigned int button) {
        input.addAction(name, continuous);
        input.addKey(name, key);
        input.addJoystickButton(name, button, player.joystick);
    };
    addButton(playerActionName(player.playerNumber, "Jump"), true, player.jump, 0);
    addButton(playerActionName(player.playerNumber, "Beard"), false, player.beard, 2);
    addButton(playerActionName(player.playerNumber, "Magic"), true, player.magic, 1);
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

    // The pause and back button, on the keyboard and on both pads' start buttons.
    input.addAction("ESC", false);
    input.addKey("ESC", sf::Keyboard::Escape);
    input.addJoystickButton("ESC", 8, 0);
    input.addJoystickButton("ESC", 8, 1);

    // Without a number pad, player 2's left hand takes the letters right of
    // player 1's (J, K, L) while the right hand stays on the arrows.
    const bool laptop = player2Keys == Player2Keys::laptop;
    registerPlayer(input, {2, 1, sf::Keyboard::Left, sf::Keyboard::Right, sf::Keyboard::Up,
                           sf::Keyboard::Down, laptop ? sf::Keyboard::L : sf::Keyboard::Numpad0,
                           laptop ? sf::Keyboard::J : sf::Keyboard::Numpad5,
                           laptop ? sf::Keyboard::K : sf::Keyboard::Numpad4});
}
