#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Texture.hpp>

#include "render/tiles/TileAtlas.hpp"
#include "render/tiles/TileLayerMesh.hpp"

namespace {
// Row `y` of a sky-like gradient.
sf::Color gradientRow(unsigned y) {
    return sf::Color(static_cast<sf::Uint8>(10 + 4 * y), static_cast<sf::Uint8>(200 - 3 * y), 50);
}

// The mesh drawn over red into a target of `width` x `height`.
sf::Image drawn(const TileLayerMesh& mesh, unsigned width, unsigned height) {
    sf::RenderTexture target;
    EXPECT_TRUE(target.create(width, height));
    target.clear(sf::Color::Red);
    mesh.draw(target, sf::RenderStates::Default,
              sf::FloatRect(0.f, 0.f, static_cast<float>(width), static_cast<float>(height)));
    target.display();
    return target.getTexture().copyToImage();
}
} // namespace

// A tile whose rows are each one colour, changing evenly, is drawn as two
// colours on a quad instead of from its texture, and looks the same; a tile
// with one pixel out of its row (a star) keeps its texture.
TEST(TileRamps, AnEvenGradientTileIsDrawnWithoutItsTextureAndLooksTheSame) {
    sf::Image sheet;
    sheet.create(16, 48);
    for (unsigned y = 0; y < 48; ++y) {
        for (unsigned x = 0; x < 16; ++x) {
            sheet.setPixel(x, y, gradientRow(y % 16));
        }
    }
    sheet.setPixel(5, 16 + 5, sf::Color::White);
    for (unsigned x = 0; x < 16; ++x) {
        sheet.setPixel(x, 32 + 8, sf::Color(0, 0, 0, 128));
    }
    sf::Texture texture;
    ASSERT_TRUE(texture.loadFromImage(sheet));
    auto& atlas = TileAtlas::instance();
    const TileAtlas::Placement even = atlas.place(sf::Sprite(texture, {0, 0, 16, 16}), true);
    const TileAtlas::Placement star = atlas.place(sf::Sprite(texture, {0, 16, 16, 16}), true);
    const TileAtlas::Placement seeThrough = atlas.place(sf::Sprite(texture, {0, 32, 16, 16}), true);
    ASSERT_TRUE(even.ramp);
    EXPECT_TRUE(even.opaque);
    EXPECT_FALSE(star.ramp);
    EXPECT_TRUE(star.opaque);
    EXPECT_FALSE(seeThrough.ramp);

    // Drawn three times as large, as a zoomed-in view draws it: the texture,
    // smoothed, and the ramp meet within two steps of a channel everywhere.
    TileLayerMesh textured, ramp;
    textured.addTile(even.texture, even.rectangle, {0.f, 0.f}, {48.f, 48.f}, 0, sf::Color::White, true);
    textured.endBlock(true);
    ramp.addRamp({0.f, 0.f}, {48.f, 48.f}, even.top, even.bottom);
    ramp.endBlock(true);
    const sf::Image fromTexture = drawn(textured, 48, 48);
    const sf::Image fromRamp = drawn(ramp, 48, 48);
    int largest = 0;
    for (unsigned y = 0; y < 48; ++y) {
        for (unsigned x = 0; x < 48; ++x) {
            const sf::Color a = fromTexture.getPixel(x, y), b = fromRamp.getPixel(x, y);
            ASSERT_EQ(b.a, 255) << x << "," << y;
            largest = std::max({largest, std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
        }
    }
    EXPECT_LE(largest, 2);
    // The ramp runs the gradient's way: darker red at the top than at the bottom.
    EXPECT_LT(fromRamp.getPixel(20, 2).r, fromRamp.getPixel(20, 45).r);
}

// Ramps of a layer whose tiles keep to their cells are joined along their
// rows into strips where they continue one another in the same colours, and
// the strips look as the ramps one by one do; a gap or another colour
// starts a new strip.
TEST(TileRamps, LooseRampsOfARowJoinIntoOneStripThatLooksTheSame) {
    const sf::Color dusk(40, 30, 90), dawn(240, 160, 120), night(10, 10, 30);
    TileLayerMesh separate, joined;
    // Four columns by three rows of 16-pixel cells; row 1 has no tile in
    // its last column, row 2 another colour in its third.
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 4; ++column) {
            if (row == 1 && column == 3) {
                continue;
            }
            const sf::Color top = row == 2 && column == 2 ? night : row == 0 ? dusk : dawn;
            const sf::Vector2f position(16.f * static_cast<float>(column), 16.f * static_cast<float>(row));
            separate.addRamp(position, {16.f, 16.f}, top, dawn);
            joined.addLooseRamp(position, {16.f, 16.f}, top, dawn);
        }
    }
    separate.endBlock(true);
    joined.joinRamps();
    EXPECT_EQ(joined.stripCount(), 1u + 1u + 3u);
    EXPECT_EQ(joined.tileCount(), 11u);
    EXPECT_EQ(joined.bounds(), sf::FloatRect(0.f, 0.f, 64.f, 48.f));

    const sf::Image one = drawn(separate, 64, 48), strips = drawn(joined, 64, 48);
    for (unsigned y = 0; y < 48; ++y) {
        for (unsigned x = 0; x < 64; ++x) {
            const sf::Color a = one.getPixel(x, y), b = strips.getPixel(x, y);
            ASSERT_LE(std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)}), 1)
                << x << "," << y;
        }
    }
    // The gap stays the clear colour.
    EXPECT_EQ(strips.getPixel(56, 24), sf::Color::Red);
}
