#include "render/tiles/TextureFilter.hpp"

#include <memory>

#include <SFML/OpenGL.hpp>
#include <SFML/Window/Context.hpp>

bool smoothWithNearestMipmaps(sf::Texture& texture) {
    texture.setSmooth(true);
    if (!texture.generateMipmap()) {
        return false;
    }
    // The filter is set with a plain OpenGL call, which needs a current
    // context; SFML makes one current only inside its own calls.
    std::unique_ptr<sf::Context> context;
    if (!sf::Context::getActiveContext()) {
        context = std::make_unique<sf::Context>();
    }
    sf::Texture::bind(&texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    sf::Texture::bind(nullptr);
    return true;
}
