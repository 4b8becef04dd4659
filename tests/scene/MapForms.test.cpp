#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include <SFML/Graphics/RenderTexture.hpp>

#include "common/MapFixtures.hpp"
#include "render/RenderManager.hpp"
#include "scene/GameObjectManager.hpp"
#include "scene/InstantiateTileLayers.hpp"
#include "scene/MapStore.hpp"

// The maps under maps/forms were saved by the map editor in each of the
// forms it writes, and forms/<map>.expected.png is the editor's own
// rendering of each (see forms/make_forms.py). Here every one is loaded and
// painted by the engine and compared with that rendering pixel by pixel.

namespace {

const sf::Color backdrop(90, 90, 90);

// Both pictures are laid over one opaque colour, so half-transparent pixels
// compare as they look rather than by how each stores alpha.
sf::Color over(sf::Color top) {
    auto mix = [&](sf::Uint8 a, sf::Uint8 b) {
        return static_cast<sf::Uint8>((a * top.a + b * (255 - top.a) + 127) / 255);
    };
    return {mix(top.r, backdrop.r), mix(top.g, backdrop.g), mix(top.b, backdrop.b)};
}

// The map's picture, widened as the editor's renderer widens it so that
// layers shifted by their offsets are seen whole.
sf::Image paint(const std::string& file) {
    EXPECT_TRUE(MapStore::instance().loadMap(fixtureMapPath("forms/" + file), file));
    auto map = MapStore::instance().findMap(file);
    auto holder = instantiateTileLayers(file, true, false);
    EXPECT_TRUE(holder);
    float left = 0.f, top = 0.f, right = 0.f, bottom = 0.f;
    for (const auto& layer : map->layers) {
        left = std::max(left, -layer->offsetX);
        top = std::max(top, -layer->offsetY);
        right = std::max(right, layer->offsetX);
        bottom = std::max(bottom, layer->offsetY);
    }
    const sf::Vector2f mapSize(static_cast<float>(map->width * map->tileWidth),
                               static_cast<float>(map->height * map->tileHeight));
    const sf::Vector2f size(mapSize.x + left + right, mapSize.y + top + bottom);
    sf::RenderTexture target;
    EXPECT_TRUE(target.create(static_cast<unsigned>(size.x), static_cast<unsigned>(size.y)));
    // The map is centred on the world origin.
    target.setView(sf::View(sf::FloatRect(-mapSize.x / 2.f - left, -mapSize.y / 2.f - top, size.x, size.y)));
    target.clear(backdrop);
    RenderManager::instance().drawAll(target, 0.f, 0.f);
    target.display();
    // Gone before the next map of the same test is painted.
    holder.reset();
    GameObjectManager::instance().flushPendingAdditions();
    GameObjectManager::instance().clear(true);
    return target.getTexture().copyToImage();
}

// The largest difference in any channel, and how many pixels differ by more than 2.
struct Difference {
    int largest = 0;
    int pixels = 0;
};

Difference compareWithEditor(const std::string& file) {
    sf::Image painted = paint(file);
    sf::Image expected;
    const std::string reference = file.substr(0, file.size() - 4) + ".expected.png";
    EXPECT_TRUE(expected.loadFromFile(fixtureMapPath("forms/" + reference)));
    EXPECT_EQ(painted.getSize(), expected.getSize()) << file;
    Difference difference;
    if (painted.getSize() != expected.getSize()) {
        difference.largest = 255;
        return difference;
    }
    for (unsigned y = 0; y < expected.getSize().y; ++y) {
        for (unsigned x = 0; x < expected.getSize().x; ++x) {
            const sf::Color got = painted.getPixel(x, y);
            const sf::Color want = over(expected.getPixel(x, y));
            const int worst =
                std::max({std::abs(got.r - want.r), std::abs(got.g - want.g), std::abs(got.b - want.b)});
            difference.largest = std::max(difference.largest, worst);
            if (worst > 2) {
                if (difference.pixels++ < 5) {
                    ADD_FAILURE() << file << " at " << x << "," << y << ": " << int(got.r) << " "
                                  << int(got.g) << " " << int(got.b) << " instead of " << int(want.r) << " "
                                  << int(want.g) << " " << int(want.b);
                }
            }
        }
    }
    return difference;
}

} // namespace

TEST(MapForms, EveryTileLayerFormatLooksAsTheEditorDrawsIt) {
    for (const char* form : {"csv", "base64", "zlib", "gzip", "zstd", "infinite"}) {
        const Difference difference = compareWithEditor(std::string("forms-") + form + ".tmx");
        EXPECT_EQ(difference.pixels, 0) << form << ": largest difference " << difference.largest;
    }
}

TEST(MapForms, FlippedTilesLookAsTheEditorDrawsThem) {
    const Difference difference = compareWithEditor("flips.tmx");
    EXPECT_EQ(difference.pixels, 0) << "largest difference " << difference.largest;
}

TEST(MapForms, LayerSettingsGroupsImagesAndTilesetFilesLookAsTheEditorDrawsThem) {
    const Difference difference = compareWithEditor("layers.tmx");
    EXPECT_EQ(difference.pixels, 0) << "largest difference " << difference.largest;
}
