#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Texture.hpp>

#include "render/tiles/TextureFilter.hpp"

namespace {
// A checkerboard of one-pixel black and white squares, 64 x 64.
sf::Image checkerboard() {
    sf::Image image;
    image.create(64, 64);
    for (unsigned y = 0; y < 64; ++y) {
        for (unsigned x = 0; x < 64; ++x) {
            image.setPixel(x, y, (x + y) % 2 ? sf::Color::White : sf::Color::Black);
        }
    }
    return image;
}

// `texture` drawn at `scale` into a target of its scaled size.
sf::Image drawnAt(const sf::Texture& texture, float scale) {
    sf::RenderTexture target;
    const auto side = static_cast<unsigned>(64.f * scale);
    EXPECT_TRUE(target.create(side, side));
    target.clear(sf::Color::Red);
    sf::Sprite sprite(texture);
    sprite.setScale(scale, scale);
    target.draw(sprite, sf::BlendNone);
    target.display();
    return target.getTexture().copyToImage();
}

int largestDifference(const sf::Image& a, const sf::Image& b) {
    int largest = 0;
    for (unsigned y = 0; y < a.getSize().y; ++y) {
        for (unsigned x = 0; x < a.getSize().x; ++x) {
            const sf::Color p = a.getPixel(x, y), q = b.getPixel(x, y);
            largest = std::max({largest, std::abs(p.r - q.r), std::abs(p.g - q.g), std::abs(p.b - q.b)});
        }
    }
    return largest;
}
} // namespace

// Down to about 0.7 of its size a texture shows its full-size picture, as
// plain smoothing does; further down it shows a mipmap level, which turns a
// fine pattern grey where plain smoothing lets it alias.
TEST(TextureFilter, NearestMipmapsKeepTheFullPictureUntilTheViewHalvesIt) {
    sf::Texture plain, mipmapped;
    ASSERT_TRUE(plain.loadFromImage(checkerboard()));
    ASSERT_TRUE(mipmapped.loadFromImage(checkerboard()));
    plain.setSmooth(true);
    ASSERT_TRUE(smoothWithNearestMipmaps(mipmapped));
    EXPECT_TRUE(mipmapped.isSmooth());

    EXPECT_EQ(largestDifference(drawnAt(plain, 0.75f), drawnAt(mipmapped, 0.75f)), 0);

    const sf::Image aliased = drawnAt(plain, 0.3f);
    const sf::Image averaged = drawnAt(mipmapped, 0.3f);
    EXPECT_GT(largestDifference(aliased, averaged), 40);
    for (unsigned y = 0; y < 19; ++y) {
        for (unsigned x = 0; x < 19; ++x) {
            const sf::Color grey = averaged.getPixel(x, y);
            ASSERT_NEAR(grey.r, 128, 8) << x << "," << y;
        }
    }
}
