#include "game/demo/ButtonClick.hpp"

#include <SFML/Window/Event.hpp>

#include "app/Game.hpp"
#include "app/GuiManager.hpp"
#include "widgets/Widget.hpp"

bool clickButton(Game& game, const std::string& page, const std::string& button) {
    const auto widget = GuiManager::instance().getWidget<widgets::Widget>(page, button);
    if (!widget) {
        return false;
    }
    const sf::FloatRect rect = widget->getAbsoluteRect();
    const int x = static_cast<int>(rect.left + rect.width / 2);
    const int y = static_cast<int>(rect.top + rect.height / 2);
    sf::Event event;
    event.type = sf::Event::MouseMoved;
    event.mouseMove = {x, y};
    game.queueGuiEvent(event);
    event.type = sf::Event::MouseButtonPressed;
    event.mouseButton = {sf::Mouse::Left, x, y};
    game.queueGuiEvent(event);
    event.type = sf::Event::MouseButtonReleased;
    game.queueGuiEvent(event);
    return true;
}
