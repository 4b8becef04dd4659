#include "widgets/Picture.hpp"

#include "widgets/Drawing.hpp"

namespace widgets {

sf::Vector2f Picture::defaultSize(sf::Vector2f) const {
    return renderer.texture ? sf::Vector2f(renderer.texture->getSize()) : sf::Vector2f();
}

void Picture::draw(sf::RenderTarget& target) const {
    if (renderer.texture) {
        drawing::stretched(target, *renderer.texture, getAbsoluteRect());
    }
}

} // namespace widgets
