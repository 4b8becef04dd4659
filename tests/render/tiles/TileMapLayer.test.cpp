#include <gtest/gtest.h>

#include <climits>

#include "common/MapFixtures.hpp"
#include "level/MapStore.hpp"
#include "render/tiles/TileMapLayer.hpp"

namespace {

TileMapLayer tilesLayer() {
    EXPECT_TRUE(MapStore::instance().loadMap(fixtureMapPath("tiles.tmx"), "tiles"));
    auto map = MapStore::instance().findMap("tiles");
    return TileMapLayer(map->layers[0].get(), map.get(), "tiles");
}

} // namespace

TEST(TileMapLayer, TwoTilesetsSplitAtTheSecondFirstGid) {
    auto layer = tilesLayer();
    auto last = layer.getSprite(64);
    ASSERT_TRUE(last);
    EXPECT_EQ(last->getTextureRect(), sf::IntRect(112, 112, 16, 16));
    auto first = layer.getSprite(1);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->getTextureRect(), sf::IntRect(0, 0, 16, 16));
    auto tall = layer.getSprite(65);
    ASSERT_TRUE(tall);
    EXPECT_EQ(tall->getTextureRect(), sf::IntRect(0, 0, 16, 32));
    EXPECT_NE(tall->getTexture(), last->getTexture());
    EXPECT_EQ(layer.getSprite(66)->getTextureRect(), sf::IntRect(16, 0, 16, 32));
}

TEST(TileMapLayer, IdsWithoutATileGiveNothing) {
    auto layer = tilesLayer();
    EXPECT_FALSE(layer.getSprite(0));
    EXPECT_FALSE(layer.getSprite(-1));
    EXPECT_FALSE(layer.getSprite(68));
    // A flipped tile 2 as the editor stores it, clamped to int by the parser.
    EXPECT_FALSE(layer.getSprite(INT_MAX));
    EXPECT_FALSE(layer.getSprite(INT_MIN));
}

TEST(TileMapLayer, MissingTilesetImageGivesNothing) {
    auto map = std::make_unique<TmxMap>();
    auto tileset = std::make_unique<TmxTileset>();
    tileset->firstGid = 1;
    tileset->imageSource = "nowhere.png";
    map->tilesets.push_back(std::move(tileset));
    TmxLayer layer;
    TileMapLayer tiles(&layer, map.get(), "unknown map");
    EXPECT_FALSE(tiles.getSprite(1));
    TmxMap bare;
    EXPECT_FALSE(TileMapLayer(&layer, &bare, "bare").getSprite(1));
}
