#include "widgets/Clickable.hpp"

namespace widgets {

void Clickable::leftReleased(sf::Vector2f, bool over) {
    const bool wasDown = down;
    down = false;
    if (wasDown && over && isEnabled()) {
        activate();
    }
}

void Clickable::keyPressed(const sf::Event::KeyEvent& key) {
    if (activatedBy(key.code) && isEnabled()) {
        activate();
    }
}

} // namespace widgets
