#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Graphics/Vertex.hpp>

#include "render/tiles/TextureFilter.hpp"
#include "render/tiles/TileAtlas.hpp"

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

namespace {
// The atlas copy of `tile` drawn at `scale` into a target of its scaled
// size. As a layer does, the atlas is told the scale first, unless `asLayers` is false.
sf::Image placedAt(const TileAtlas::Placement& tile, float scale, bool asLayers = true) {
    sf::RenderTexture target;
    const auto side = static_cast<unsigned>(64.f * scale);
    EXPECT_TRUE(target.create(side, side));
    target.clear(sf::Color::Red);
    if (asLayers) {
        TileAtlas::instance().drawAtScale(scale);
    }
    sf::RenderStates states(tile.texture);
    states.blendMode = sf::BlendNone;
    states.transform.scale(scale, scale);
    const sf::IntRect r = tile.rectangle;
    const auto left = static_cast<float>(r.left), top = static_cast<float>(r.top);
    const auto right = static_cast<float>(r.left + r.width), bottom = static_cast<float>(r.top + r.height);
    const sf::Vertex corners[] = {{{0.f, 0.f}, {left, top}},
                                  {{0.f, 64.f}, {left, bottom}},
                                  {{64.f, 0.f}, {right, top}},
                                  {{64.f, 64.f}, {right, bottom}}};
    target.draw(corners, 4, sf::TriangleStrip, states);
    target.display();
    return target.getTexture().copyToImage();
}
} // namespace

// The atlas's smoothed copies leave their mipmaps out while they are drawn
// at three quarters of their size or more, where the picture is the same
// without them, and take them again further out; copies made meanwhile
// follow, and SFML's own texture bookkeeping stays true across the switch.
TEST(TextureFilter, AtlasCopiesSampleMipmapsOnlyWhereTheyChangeThePicture) {
    sf::Texture tileset, later, marker;
    ASSERT_TRUE(tileset.loadFromImage(checkerboard()));
    ASSERT_TRUE(later.loadFromImage(checkerboard()));
    sf::Image blue;
    blue.create(4, 4, sf::Color::Blue);
    ASSERT_TRUE(marker.loadFromImage(blue));
    auto& atlas = TileAtlas::instance();
    atlas.reset();
    const TileAtlas::Placement tile = atlas.place(sf::Sprite(tileset, {0, 0, 64, 64}), true);
    ASSERT_NE(tile.texture, &tileset);

    // Far out: the mipmap's grey, where the full picture would alias.
    const sf::Image far = placedAt(tile, 0.3f);
    for (unsigned y = 2; y < 17; ++y) {
        for (unsigned x = 2; x < 17; ++x) {
            ASSERT_NEAR(far.getPixel(x, y).r, 128, 8) << x << "," << y;
        }
    }
    // Near: pixel for pixel the picture the mipmaps give there.
    const sf::Image nearWithout = placedAt(tile, 0.8f);
    atlas.drawAtScale(0.3f);
    EXPECT_EQ(largestDifference(nearWithout, placedAt(tile, 0.8f, false)), 0);

    // A copy made while they are off is drawn far out with its mipmaps too.
    atlas.drawAtScale(1.0f);
    const TileAtlas::Placement made = atlas.place(sf::Sprite(later, {0, 0, 64, 64}), true);
    EXPECT_EQ(largestDifference(placedAt(made, 0.3f), far), 0);

    // The switch binds the copies' textures for a moment. SFML skips binding
    // the texture it bound last, so that one must be bound again after it.
    sf::RenderTexture target;
    ASSERT_TRUE(target.create(16, 16));
    target.clear(sf::Color::Red);
    target.draw(sf::Sprite(marker));
    atlas.drawAtScale(1.0f);
    sf::Sprite again(marker);
    again.setPosition(8.f, 8.f);
    target.draw(again);
    target.display();
    EXPECT_EQ(target.getTexture().copyToImage().getPixel(10, 10), sf::Color::Blue);

    // The scale the layers pass: window pixels per unit of drawing.
    target.setView(sf::View(sf::FloatRect(0.f, 0.f, 32.f, 64.f)));
    EXPECT_FLOAT_EQ(scaleOnTarget(target, sf::Transform()), 0.25f);
    EXPECT_FLOAT_EQ(scaleOnTarget(target, sf::Transform().scale(8.f, 4.f)), 1.0f);
}
