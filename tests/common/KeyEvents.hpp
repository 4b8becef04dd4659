#pragma once

#include <SFML/Window/Event.hpp>

// Keyboard and wheel events as SFML delivers them, for driving widgets and the
// input manager in tests.
namespace keys {

inline sf::Event pressed(sf::Keyboard::Key code, bool control = false, bool shift = false) {
    sf::Event event;
    event.type = sf::Event::KeyPressed;
    event.key = {code, false, control, shift, false};
    return event;
}

inline sf::Event released(sf::Keyboard::Key code) {
    sf::Event event;
    event.type = sf::Event::KeyReleased;
    event.key = {code, false, false, false, false};
    return event;
}

inline sf::Event typed(sf::Uint32 character) {
    sf::Event event;
    event.type = sf::Event::TextEntered;
    event.text.unicode = character;
    return event;
}

inline sf::Event wheel(float delta, int x, int y) {
    sf::Event event;
    event.type = sf::Event::MouseWheelScrolled;
    event.mouseWheelScroll = {sf::Mouse::VerticalWheel, delta, x, y};
    return event;
}

} // namespace keys
