#include "widgets/Picture.hpp"

#include "widgets/Drawing.hpp"

namespace widgets {

sf::Vector2f Picture::defaultSize(sf::Vector2f) const {
    return renderer.texture ? renderer.texture.size() : sf::Vector2f();
}

void Picture::draw(sf::RenderTarget& target) const {
    if (renderer.texture) {
        drawing::textured(target, renderer.texture, getAbsoluteRect());
    }
}

} // namespace widgets
