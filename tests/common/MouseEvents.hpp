#pragma once

#include <SFML/Window/Event.hpp>

// Window events as SFML delivers them, for driving widgets in tests.
namespace mouse {

inline sf::Event moved(int x, int y) {
    sf::Event event;
    event.type = sf::Event::MouseMoved;
    event.mouseMove = {x, y};
    return event;
}

inline sf::Event pressed(int x, int y, sf::Mouse::Button button = sf::Mouse::Left) {
    sf::Event event;
    event.type = sf::Event::MouseButtonPressed;
    event.mouseButton = {button, x, y};
    return event;
}

inline sf::Event released(int x, int y, sf::Mouse::Button button = sf::Mouse::Left) {
    sf::Event event;
    event.type = sf::Event::MouseButtonReleased;
    event.mouseButton = {button, x, y};
    return event;
}

inline sf::Event ofType(sf::Event::EventType type) {
    sf::Event event;
    event.type = type;
    return event;
}

inline sf::Event resized(unsigned int width, unsigned int height) {
    sf::Event event;
    event.type = sf::Event::Resized;
    event.size = {width, height};
    return event;
}

} // namespace mouse
