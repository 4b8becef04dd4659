#include "render/tiles/TextureFilter.hpp"

#include <algorithm>
#include <cmath>
#include <memory>

#include <SFML/OpenGL.hpp>
#include <SFML/Window/Context.hpp>

bool smoothWithNearestMipmaps(sf::Texture& texture) {
    texture.setSmooth(true);
    if (!texture.generateMipmap()) {
        return false;
    }
    sampleMipmaps(texture, true);
    return true;
}

void sampleMipmaps(const sf::Texture& texture, bool use) {
    // The filter is set with a plain OpenGL call, which needs a current
    // context; SFML makes one current only inside its own calls.
    std::unique_ptr<sf::Context> context;
    if (!sf::Context::getActiveContext()) {
        context = std::make_unique<sf::Context>();
    }
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glBindTexture(GL_TEXTURE_2D, texture.getNativeHandle());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, use ? GL_LINEAR_MIPMAP_NEAREST : GL_LINEAR);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
}

float scaleOnTarget(const sf::RenderTarget& target, const sf::Transform& transform) {
    const sf::View& view = target.getView();
    const sf::IntRect area = target.getViewport(view);
    if (view.getSize().x == 0.f || view.getSize().y == 0.f) {
        return 0.f;
    }
    const sf::Vector2f origin = transform.transformPoint(0.f, 0.f);
    const sf::Vector2f alongX = transform.transformPoint(1.f, 0.f) - origin;
    const sf::Vector2f alongY = transform.transformPoint(0.f, 1.f) - origin;
    const float pixelsX = static_cast<float>(area.width) / std::abs(view.getSize().x);
    const float pixelsY = static_cast<float>(area.height) / std::abs(view.getSize().y);
    // A view turned by a right angle swaps the axes; the smaller scale
    // decides either way, so both lengths are taken on both axes' scale.
    const float smallestPixels = std::min(pixelsX, pixelsY);
    return smallestPixels * std::min(std::hypot(alongX.x, alongX.y), std::hypot(alongY.x, alongY.y));
}
