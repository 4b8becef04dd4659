#pragma once

#include <SFML/Window/Event.hpp>

// Keyboard window events as SFML delivers them, for driving the input manager in tests.
namespace keys {

inline sf::Event pressed(sf::Keyboard::Key key) {
    sf::Event event;
    event.type = sf::Event::KeyPressed;
    event.key.code = key;
    return event;
}

inline sf::Event released(sf::Keyboard::Key key) {
    sf::Event event;
    event.type = sf::Event::KeyReleased;
    event.key.code = key;
    return event;
}

} // namespace keys
