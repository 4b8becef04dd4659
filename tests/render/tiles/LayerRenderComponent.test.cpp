#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include <SFML/Graphics/RenderTexture.hpp>

#include "common/MapFixtures.hpp"
#include "level/InstantiateTileLayers.hpp"
#include "level/MapStore.hpp"
#include "render/AssetManager.hpp"
#include "render/RenderManager.hpp"
#include "render/tiles/LayerRenderComponent.hpp"
#include "scene/GameObjectManager.hpp"

namespace {

// tiles.tmx: 3 x 2 cells of 16 px. "Ground" holds 1, 2, 64 / 66, 0, 3 where
// 65 and 66 are the two 16 x 32 tiles of the second tileset; "Decor" holds
// the tall tile 65 at cell (1, 1) and the half-transparent tile 67 at cell
// (2, 0); a second "Ground" is all zeros.
struct TilesMap {
    std::shared_ptr<GameObject> holder;
    std::vector<std::shared_ptr<LayerRenderComponent>> layers;
};

TilesMap instantiateTiles(bool createLayers = true, bool smooth = false) {
    EXPECT_TRUE(MapStore::instance().loadMap(fixtureMapPath("tiles.tmx"), "tiles"));
    TilesMap map;
    map.holder = instantiateTileLayers("tiles", createLayers, smooth);
    if (map.holder) {
        map.layers = map.holder->getComponents<LayerRenderComponent>();
    }
    return map;
}

// The layer drawn alone onto a transparent target of its own size.
sf::Image picture(LayerRenderComponent& layer) {
    sf::RenderTexture target;
    const sf::Vector2f size = layer.getSize();
    EXPECT_TRUE(target.create(static_cast<unsigned>(size.x), static_cast<unsigned>(size.y)));
    target.setView(sf::View(sf::Vector2f(0.f, 0.f), size));
    target.clear(sf::Color::Transparent);
    layer.draw(0.f, 0.f, target);
    target.display();
    return target.getTexture().copyToImage();
}

// The colour at pixel (x, y) of tile `number` (from 1) of a tileset image
// whose tiles are `tileWidth` x `tileHeight` in `columns` columns.
sf::Color tilePixel(const std::string& image, int number, unsigned x, unsigned y, unsigned tileWidth = 16,
                    unsigned tileHeight = 16, int columns = 8) {
    unsigned column = static_cast<unsigned>((number - 1) % columns);
    unsigned row = static_cast<unsigned>((number - 1) / columns);
    return pixelOfImageFile(fixtureMapPath(image), column * tileWidth + x, row * tileHeight + y);
}

// Draws every registered renderable into a target of `size` pixels whose
// view is centred on the world origin.
sf::Image drawScene(sf::Vector2u size) {
    sf::RenderTexture target;
    EXPECT_TRUE(target.create(size.x, size.y));
    target.setView(sf::View(sf::Vector2f(0.f, 0.f), sf::Vector2f(size)));
    target.clear(sf::Color::Transparent);
    RenderManager::instance().drawAll(target, 0.f, 0.f);
    target.display();
    return target.getTexture().copyToImage();
}

} // namespace

// Each case of this suite expects no render layers and no cut tilesets yet: the test main resets the engine
// before every case.
TEST(LayerRenderComponent, SizeIsTileSizeTimesLayerSize) {
    auto map = instantiateTiles();
    ASSERT_EQ(map.layers.size(), 3u);
    for (const auto& layer : map.layers) {
        EXPECT_EQ(layer->getSize(), sf::Vector2f(48.f, 32.f));
    }
    EXPECT_EQ(map.holder->name, "tiles");
    EXPECT_EQ(map.holder->transform->getPosition(), sf::Vector2f(0.f, 0.f));
}

TEST(LayerRenderComponent, TilesArePaintedInTheirCellsFromBothTilesets) {
    auto map = instantiateTiles();
    sf::Image ground = picture(*map.layers[0]);
    // Cell (1, 0) holds tile 2 of the first tileset, (2, 0) its last tile 64,
    // (2, 1) tile 3: every pixel of the cell is the tile's pixel.
    for (unsigned y = 0; y < 16; ++y) {
        for (unsigned x = 0; x < 16; ++x) {
            ASSERT_EQ(ground.getPixel(16 + x, y), tilePixel("tiles.png", 2, x, y)) << x << "," << y;
            ASSERT_EQ(ground.getPixel(32 + x, y), tilePixel("tiles.png", 64, x, y)) << x << "," << y;
            ASSERT_EQ(ground.getPixel(32 + x, 16 + y), tilePixel("tiles.png", 3, x, y)) << x << "," << y;
        }
    }
    EXPECT_EQ(ground.getPixel(24, 24).a, 0) << "cell (1, 1) holds no tile";
}

TEST(LayerRenderComponent, TallTileStandsOnItsCellsBottomAndCoversTheCellAbove) {
    auto map = instantiateTiles();
    sf::Image ground = picture(*map.layers[0]);
    // Tile 66 (the second 16 x 32 tile) at cell (0, 1) covers texture pixels
    // x 0..16, y 0..32, painted over tile 1 in cell (0, 0).
    for (unsigned y = 0; y < 32; ++y) {
        for (unsigned x = 0; x < 16; ++x) {
            ASSERT_EQ(ground.getPixel(x, y), tilePixel("tall.png", 2, x, y, 16, 32, 2)) << x << "," << y;
        }
    }
    sf::Image decor = picture(*map.layers[1]);
    EXPECT_EQ(decor.getPixel(20, 4), tilePixel("tall.png", 1, 4, 4, 16, 32, 2));
    EXPECT_EQ(decor.getPixel(20, 28), tilePixel("tall.png", 1, 4, 28, 16, 32, 2));
    EXPECT_EQ(decor.getPixel(4, 4).a, 0);
    EXPECT_EQ(decor.getPixel(40, 28).a, 0);
}

TEST(LayerRenderComponent, AllZeroLayerIsTransparentAndStillDraws) {
    auto map = instantiateTiles();
    sf::Image empty = picture(*map.layers[2]);
    for (unsigned y = 0; y < 32; ++y) {
        for (unsigned x = 0; x < 48; ++x) {
            ASSERT_EQ(empty.getPixel(x, y).a, 0);
        }
    }
    // Drawn alone over white it leaves the white untouched.
    sf::RenderTexture target;
    ASSERT_TRUE(target.create(48, 32));
    target.setView(sf::View(sf::Vector2f(0.f, 0.f), sf::Vector2f(48.f, 32.f)));
    target.clear(sf::Color::White);
    map.layers[2]->draw(0.f, 0.f, target);
    target.display();
    EXPECT_EQ(target.getTexture().copyToImage().getPixel(10, 10), sf::Color::White);
}

TEST(LayerRenderComponent, LayerIsCentredOnItsObject) {
    auto map = instantiateTiles();
    map.layers[1]->enabled = false;
    map.layers[2]->enabled = false;
    // View 100 x 100 centred on the origin: world (x, y) is pixel (x + 50, y + 50).
    sf::Image scene = drawScene({100, 100});
    EXPECT_NE(scene.getPixel(50 - 24, 50 - 16).a, 0) << "top-left corner at (-24, -16)";
    EXPECT_NE(scene.getPixel(50 + 23, 50 + 15).a, 0) << "bottom-right corner at (24, 16)";
    EXPECT_EQ(scene.getPixel(50 - 25, 50).a, 0);
    EXPECT_EQ(scene.getPixel(50 + 24, 50).a, 0);
    EXPECT_EQ(scene.getPixel(50, 50 - 17).a, 0);
    EXPECT_EQ(scene.getPixel(50, 50 + 16).a, 0);

    // Moved and scaled with its object.
    map.holder->transform->setPosition(10.f, 0.f);
    map.holder->transform->setScale(2.f, 2.f);
    scene = drawScene({120, 100});
    EXPECT_NE(scene.getPixel(60 + 10 - 48, 50 - 32).a, 0);
    EXPECT_EQ(scene.getPixel(60 + 10 - 49, 50).a, 0);
    EXPECT_NE(scene.getPixel(60 + 10 + 47, 50 + 31).a, 0);
}

TEST(LayerRenderComponent, LayersTogetherLookAsTheMapEditorRendersThem) {
    // tiles.expected.png is the map editor's own rendering of tiles.tmx.
    instantiateTiles();
    sf::Image scene = drawScene({48, 32});
    sf::Image expected;
    ASSERT_TRUE(expected.loadFromFile(fixtureMapPath("tiles.expected.png")));
    ASSERT_EQ(expected.getSize(), sf::Vector2u(48, 32));
    // Blending rounds a little differently in the editor.
    auto near = [](sf::Uint8 a, sf::Uint8 b) { return std::abs(int(a) - int(b)) <= 2; };
    for (unsigned y = 0; y < 32; ++y) {
        for (unsigned x = 0; x < 48; ++x) {
            sf::Color got = scene.getPixel(x, y);
            sf::Color want = expected.getPixel(x, y);
            ASSERT_TRUE(near(got.r, want.r) && near(got.g, want.g) && near(got.b, want.b) &&
                        near(got.a, want.a))
                << x << "," << y << ": " << int(got.r) << " " << int(got.g) << " " << int(got.b) << " "
                << int(got.a) << " instead of " << int(want.r) << " " << int(want.g) << " " << int(want.b)
                << " " << int(want.a);
        }
    }
}

TEST(LayerRenderComponent, HalfTransparentTilesLookAsInTheirImage) {
    auto map = instantiateTiles();
    map.layers[0]->enabled = false;
    // Over white, the layer's glass tile looks as the tile image drawn straight onto white.
    sf::RenderTexture target;
    ASSERT_TRUE(target.create(48, 32));
    target.setView(sf::View(sf::Vector2f(0.f, 0.f), sf::Vector2f(48.f, 32.f)));
    target.clear(sf::Color::White);
    map.layers[1]->draw(0.f, 0.f, target);
    target.setView(target.getDefaultView());
    auto glass = map.layers[1]->tileMapLayer->getSprite(67);
    ASSERT_TRUE(glass);
    sf::Sprite direct(*glass->getTexture(), glass->getTextureRect());
    direct.setPosition(0.f, 16.f);
    target.draw(direct);
    target.display();
    sf::Image result = target.getTexture().copyToImage();
    for (unsigned x = 0; x < 16; ++x) {
        sf::Color layered = result.getPixel(32 + x, 8);
        sf::Color straight = result.getPixel(x, 24);
        EXPECT_NEAR(layered.r, straight.r, 1) << x;
        EXPECT_NEAR(layered.g, straight.g, 1) << x;
        EXPECT_NEAR(layered.b, straight.b, 1) << x;
    }
}

TEST(LayerRenderComponent, LayersOfTheSameNameShareOneRenderLayer) {
    auto map = instantiateTiles();
    auto& renderManager = RenderManager::instance();
    ASSERT_EQ(renderManager.layers.size(), 2u);
    EXPECT_EQ(renderManager.layers[0]->name, "Ground");
    EXPECT_EQ(renderManager.layers[1]->name, "Decor");
    EXPECT_EQ(map.layers[0]->getLayer(), renderManager.layers[0]);
    EXPECT_EQ(map.layers[1]->getLayer(), renderManager.layers[1]);
    EXPECT_EQ(map.layers[2]->getLayer(), renderManager.layers[0]);
    EXPECT_EQ(map.layers[0]->depth, 0);
}

TEST(LayerRenderComponent, WithoutCreatingLayersOnlyExistingOnesAreUsed) {
    auto decor = RenderManager::instance().addLayer("Decor");
    ASSERT_TRUE(MapStore::instance().loadMap(fixtureMapPath("tiles.tmx"), "tiles"));
    ReportCapture output;
    auto map = instantiateTiles(false);
    // Two tile layers are named "Ground"; the missing layer is reported once.
    EXPECT_EQ(output.text(),
              "Draw layer \"Ground\" does not exist; renderers put on it are drawn beneath every layer\n");
    EXPECT_EQ(RenderManager::instance().layers.size(), 1u);
    EXPECT_FALSE(map.layers[0]->getLayer());
    EXPECT_EQ(map.layers[1]->getLayer(), decor);
    // Without a layer it is still registered and drawn beneath the layered ones.
    EXPECT_EQ(RenderManager::instance().renderables.size(), 3u);
}

TEST(LayerRenderComponent, SmoothOptionBlendsScaledTilesAndOnlyThen) {
    // The ground layer drawn three times as large, shifted by a fraction of
    // a pixel: smoothed, the borders of its framed tiles blend into their
    // fill; unsmoothed, every pixel keeps a colour of the tileset.
    auto blendedPixels = [](LayerRenderComponent& layer) {
        sf::RenderTexture target;
        EXPECT_TRUE(target.create(144, 96));
        target.setView(sf::View(sf::Vector2f(0.3f, 0.3f), sf::Vector2f(48.f, 32.f)));
        target.clear(sf::Color::Transparent);
        layer.draw(0.f, 0.f, target);
        target.display();
        const sf::Image scaled = target.getTexture().copyToImage();
        sf::Image tileset;
        EXPECT_TRUE(tileset.loadFromFile(fixtureMapPath("tiles.png")));
        std::set<sf::Uint32> colours = {sf::Color::Transparent.toInteger()};
        for (unsigned y = 0; y < 128; ++y) {
            for (unsigned x = 0; x < 128; ++x) {
                colours.insert(tileset.getPixel(x, y).toInteger());
            }
        }
        int blended = 0;
        for (unsigned y = 0; y < 96; ++y) {
            for (unsigned x = 48; x < 144; ++x) { // right of the tall tile's column
                blended += colours.count(scaled.getPixel(x, y).toInteger()) == 0 ? 1 : 0;
            }
        }
        return blended;
    };
    EXPECT_EQ(blendedPixels(*instantiateTiles(true, false).layers[0]), 0);
    EXPECT_GT(
        blendedPixels(*instantiateTileLayers("tiles", true, true)->getComponent<LayerRenderComponent>()), 50);
}

TEST(LayerRenderComponent, BasePictureIsCopiedBeneathTheTiles) {
    auto map = instantiateTiles();
    auto holder = GameObjectManager::instance().createGameObject("combined");
    auto combined = addComponent<LayerRenderComponent>(holder, map.layers[1]->tileMapLayer, nullptr, false, 0,
                                                       map.layers[0]);
    ASSERT_TRUE(combined);
    sf::Image both = picture(*combined);
    sf::Image ground = picture(*map.layers[0]);
    EXPECT_EQ(both.getPixel(4, 4), ground.getPixel(4, 4));
    EXPECT_EQ(both.getPixel(36, 20), ground.getPixel(36, 20));
    EXPECT_EQ(both.getPixel(20, 4), tilePixel("tall.png", 1, 4, 4, 16, 32, 2));
}

TEST(LayerRenderComponent, LayerWithoutAreaDrawsNothing) {
    TmxMap map;
    map.tileWidth = 16;
    map.tileHeight = 16;
    TmxLayer layer;
    layer.name = "Nothing";
    auto holder = GameObjectManager::instance().createGameObject("holder");
    auto component = addComponent<LayerRenderComponent>(
        holder, std::make_shared<TileMapLayer>(&layer, &map, "m"), nullptr, false);
    ASSERT_TRUE(component);
    EXPECT_EQ(component->getSize(), sf::Vector2f(0.f, 0.f));
    EXPECT_EQ(component->tileCount(), 0u);
    sf::RenderTexture target;
    ASSERT_TRUE(target.create(8, 8));
    target.clear(sf::Color::White);
    component->draw(0.f, 0.f, target);
    target.display();
    EXPECT_EQ(target.getTexture().copyToImage().getPixel(4, 4), sf::Color::White);
}

TEST(LayerRenderComponent, AbsurdlyFullLayerIsCutAtItsTileLimitAndReported) {
    ASSERT_TRUE(MapStore::instance().loadMap(fixtureMapPath("tiles.tmx"), "tiles"));
    auto map = MapStore::instance().findMap("tiles");
    TmxLayer layer;
    layer.name = "Full";
    layer.width = 1100;
    layer.height = 1000;
    layer.data.assign(1100u * 1000u, 1);
    auto holder = GameObjectManager::instance().createGameObject("holder");
    ReportCapture output;
    auto component = addComponent<LayerRenderComponent>(
        holder, std::make_shared<TileMapLayer>(&layer, map.get(), "tiles"), nullptr, false);
    EXPECT_EQ(output.text(),
              "Map tiles: tile layer Full has more than 1048576 tiles; only the first are drawn\n");
    ASSERT_TRUE(component);
    EXPECT_EQ(component->tileCount(), LayerRenderComponent::maxTiles);
}

TEST(LayerRenderComponent, AViewOfPartOfALargeLayerShowsExactlyThatPartOfIt) {
    // 100 x 100 cells of 16 px, many blocks: a small view draws only the
    // blocks it meets, and must still show all it covers, whatever the
    // owner's turn.
    ASSERT_TRUE(MapStore::instance().loadMap(fixtureMapPath("tiles.tmx"), "tiles"));
    auto map = MapStore::instance().findMap("tiles");
    TmxLayer layer;
    layer.name = "Large";
    layer.width = 100;
    layer.height = 100;
    // Every fifth cell a 16 x 32 tile that reaches up into the cell above,
    // into the block above at the blocks' edges.
    for (int cell = 0; cell < 100 * 100; ++cell) {
        layer.data.push_back(cell % 7 == 0 ? 0 : cell % 5 == 0 ? 65 + cell % 2 : 1 + (cell * 13) % 64);
    }
    auto holder = GameObjectManager::instance().createGameObject("holder");
    auto component = addComponent<LayerRenderComponent>(
        holder, std::make_shared<TileMapLayer>(&layer, map.get(), "tiles"), nullptr, false);
    ASSERT_TRUE(component);
    auto render = [&](sf::Vector2f centre, sf::Vector2u size) {
        sf::RenderTexture target;
        EXPECT_TRUE(target.create(size.x, size.y));
        target.setView(sf::View(centre, sf::Vector2f(size)));
        target.clear(sf::Color::Transparent);
        component->draw(0.f, 0.f, target);
        target.display();
        return target.getTexture().copyToImage();
    };
    for (float turn : {0.f, 90.f}) {
        holder->transform->setRotation(turn);
        const sf::Image whole = render({0.f, 0.f}, {1600, 1600});
        // The third view ends 7 pixels above the first edge between blocks
        // (512 pixels down): the tall tiles of the block below reach into it.
        for (const sf::Vector2f centre :
             {sf::Vector2f(333.f, -517.f), sf::Vector2f(-700.f, 700.f), sf::Vector2f(333.f, -355.f)}) {
            const sf::Image part = render(centre, {200, 120});
            for (unsigned y = 0; y < 120; y += 3) {
                for (unsigned x = 0; x < 200; x += 3) {
                    const unsigned wholeX = static_cast<unsigned>(centre.x + 800.f - 100.f) + x;
                    const unsigned wholeY = static_cast<unsigned>(centre.y + 800.f - 60.f) + y;
                    ASSERT_EQ(part.getPixel(x, y), whole.getPixel(wholeX, wholeY))
                        << "turn " << turn << " view at " << centre.x << "," << centre.y << " pixel " << x
                        << "," << y;
                }
            }
        }
    }
}

// covered.tmx: "Back" fills its 3 x 2 cells with tile 1; "Cover" puts the
// opaque tile 2 on cells (0, 0) and (1, 1); "Glass" the half-transparent
// glass tile on (2, 0); "Shifted", 16 px to the right, tile 3 on (2, 1).
// Only "Cover" hides tiles of "Back": the glass lets them through and the
// shifted layer lies on another grid.
TEST(LayerRenderComponent, TilesUnderOpaqueTilesOfALaterLayerAreLeftOutOnlyWhileThatLayerShows) {
    ASSERT_TRUE(MapStore::instance().loadMap(fixtureMapPath("covered.tmx"), "covered"));
    auto holder = instantiateTileLayers("covered", true, false);
    ASSERT_TRUE(holder);
    const auto layers = holder->getComponents<LayerRenderComponent>();
    ASSERT_EQ(layers.size(), 4u);
    const auto& back = layers[0];
    const auto& cover = layers[1];
    EXPECT_EQ(back->tileCount(), 6u);
    EXPECT_EQ(back->uncoveredTileCount(), 4u);
    for (size_t i = 1; i < layers.size(); ++i) {
        EXPECT_EQ(layers[i]->uncoveredTileCount(), layers[i]->tileCount()) << i;
    }

    // The cell centres of the whole scene, 48 x 32 px around the origin.
    auto cellColour = [](const sf::Image& image, unsigned column, unsigned row) {
        return image.getPixel(column * 16 + 8, row * 16 + 8);
    };
    const sf::Color back1 = tilePixel("tiles.png", 1, 8, 8);
    const sf::Color cover2 = tilePixel("tiles.png", 2, 8, 8);
    const sf::Image shown = drawScene({48, 32});
    EXPECT_EQ(cellColour(shown, 0, 0), cover2);
    EXPECT_EQ(cellColour(shown, 1, 1), cover2);
    EXPECT_EQ(cellColour(shown, 1, 0), back1);
    EXPECT_EQ(cellColour(shown, 0, 1), back1);
    // The glass cell still shows the back tile through it.
    EXPECT_NE(cellColour(shown, 2, 0), cellColour(picture(*layers[2]), 2, 0));
    EXPECT_EQ(cellColour(shown, 2, 1), back1) << "the shifted tile lies beyond the scene";

    // Without the covering layer the whole back layer is drawn again: no holes.
    cover->enabled = false;
    const sf::Image uncovered = drawScene({48, 32});
    for (unsigned row = 0; row < 2; ++row) {
        for (unsigned column = 0; column < 2; ++column) {
            EXPECT_EQ(cellColour(uncovered, column, row), back1) << column << "," << row;
        }
    }
    cover->enabled = true;
    cover->getLayer()->visible = false;
    EXPECT_EQ(cellColour(drawScene({48, 32}), 0, 0), back1);
    cover->getLayer()->visible = true;
    // Moved beneath the back layer, it is drawn first and hides nothing.
    cover->setLayer(nullptr);
    const sf::Image beneath = drawScene({48, 32});
    EXPECT_EQ(cellColour(beneath, 0, 0), back1);
    EXPECT_EQ(cellColour(beneath, 1, 1), back1);
}
