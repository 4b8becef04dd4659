#include <gtest/gtest.h>

#include <string>

#include "common/EditorPictures.hpp"
#include "common/MapFixtures.hpp"
#include "level/MapStore.hpp"
#include "render/AssetManager.hpp"
#include "render/CameraComponent.hpp"
#include "render/RenderManager.hpp"
#include "render/SpriteRendererComponent.hpp"
#include "render/tiles/LayerRenderComponent.hpp"
#include "render/tiles/TileObjectRendererComponent.hpp"
#include "scene/GameObject.hpp"
#include "scene/GameObjectManager.hpp"

// Maps that use the editor's tileset, layer and object settings (margin and
// spacing, tile offsets and big tiles in every render order, parallax,
// repeated images, tile objects), drawn by the engine and compared with the
// editor's own pictures of them (forms/make_forms.py).

namespace {

std::shared_ptr<const TmxMap> loadForm(const std::string& file) {
    EXPECT_TRUE(MapStore::instance().loadMap(fixtureMapPath("forms/" + file), file)) << file;
    return MapStore::instance().findMap(file);
}

// Builds the map's whole scene (tile layers and objects) and returns its tile layers' holder.
std::shared_ptr<GameObject> buildForm(const std::string& file, bool smooth = false) {
    std::shared_ptr<GameObject> tileLayers;
    std::vector<std::shared_ptr<GameObject>> objects;
    MapStore::instance().instantiate(file, tileLayers, objects, true, smooth);
    EXPECT_TRUE(tileLayers) << file;
    return tileLayers;
}

void clearScene() {
    GameObjectManager::instance().flushPendingAdditions();
    GameObjectManager::instance().clear(true);
}

sf::Vector2u sizeOf(const sf::FloatRect& area) {
    return {static_cast<unsigned>(area.width), static_cast<unsigned>(area.height)};
}

// The whole picture the editor draws of the map.
sf::Image paintWhole(const TmxMap& map) {
    const sf::FloatRect area = editorPictureArea(map);
    return drawScene(sf::View(area), sizeOf(area));
}

int pixelsDifferingBetween(const std::string& first, const std::string& second) {
    sf::Image a, b;
    EXPECT_TRUE(a.loadFromFile(fixtureMapPath("forms/" + first)));
    EXPECT_TRUE(b.loadFromFile(fixtureMapPath("forms/" + second)));
    int differing = 0;
    for (unsigned y = 0; y < a.getSize().y && y < b.getSize().y; ++y) {
        for (unsigned x = 0; x < a.getSize().x && x < b.getSize().x; ++x) {
            differing += a.getPixel(x, y) != b.getPixel(x, y);
        }
    }
    return differing;
}

} // namespace

TEST(EditorMapFeatures, TilesetsWithMarginAndSpacingAreCutAsTheEditorCutsThem) {
    auto map = loadForm("spacing.tmx");
    ASSERT_TRUE(map);
    ASSERT_EQ(map->tilesets.size(), 2u);
    EXPECT_EQ(map->tilesets[0]->margin, 2);
    EXPECT_EQ(map->tilesets[0]->spacing, 3);
    EXPECT_EQ(map->tilesets[0]->columns, 4);
    EXPECT_EQ(map->tilesets[1]->margin, 0);
    EXPECT_EQ(map->tilesets[1]->spacing, 2);
    EXPECT_EQ(map->tilesets[1]->tileCount, 6);
    // The 3 x 2 tiles of the gutter image, and no more.
    const auto& sprites = AssetManager::instance().sprites;
    EXPECT_EQ(sprites.count(map->directory + "gutter.png6"), 1u);
    EXPECT_EQ(sprites.count(map->directory + "gutter.png7"), 0u);

    buildForm("spacing.tmx");
    const PictureDifference difference =
        compareWithEditorPicture(paintWhole(*map), "spacing.expected.png", "spacing.tmx");
    EXPECT_EQ(difference.pixels, 0) << "largest difference " << difference.largest;

    // Smoothed, zoomed and shifted by a fraction of a pixel, no tile takes
    // in the magenta between the tiles of its image (every tile colour has
    // at least 10 of green).
    clearScene();
    buildForm("spacing.tmx", true);
    for (float zoom : {0.37f, 2.6f}) {
        sf::View view(sf::Vector2f(0.3f, -0.45f), sf::Vector2f(96.f, 64.f));
        view.zoom(zoom);
        const sf::Image picture = drawScene(view, {96, 64});
        int seams = 0;
        for (unsigned y = 0; y < 64; ++y) {
            for (unsigned x = 0; x < 96; ++x) {
                const sf::Color pixel = picture.getPixel(x, y);
                seams += pixel.g < 8 && pixel.r > 60 && pixel.b > 60;
            }
        }
        EXPECT_EQ(seams, 0) << "zoom " << zoom;
    }
}

TEST(EditorMapFeatures, BigAndShiftedTilesOverlapInEachRenderOrderAsInTheEditor) {
    const std::pair<const char*, TmxRenderOrder> orders[] = {{"right-down", TmxRenderOrder::rightDown},
                                                             {"right-up", TmxRenderOrder::rightUp},
                                                             {"left-down", TmxRenderOrder::leftDown},
                                                             {"left-up", TmxRenderOrder::leftUp}};
    // The maps exercise the order: the editor's pictures of them differ.
    EXPECT_GT(pixelsDifferingBetween("order-right-down.expected.png", "order-left-up.expected.png"), 500);
    EXPECT_GT(pixelsDifferingBetween("order-right-up.expected.png", "order-left-down.expected.png"), 500);
    for (const auto& [order, renderOrder] : orders) {
        const std::string file = std::string("order-") + order + ".tmx";
        const std::string reference = std::string("order-") + order + ".expected.png";
        auto map = loadForm(file);
        ASSERT_TRUE(map);
        EXPECT_EQ(map->renderOrder, renderOrder);
        EXPECT_EQ(map->tilesets[1]->tileOffsetX, 3);
        EXPECT_EQ(map->tilesets[1]->tileOffsetY, -2);
        auto holder = buildForm(file);
        const PictureDifference whole = compareWithEditorPicture(paintWhole(*map), reference, file);
        EXPECT_EQ(whole.pixels, 0) << file << ": largest difference " << whole.largest;

        // Under the opaque cover only the tiles that stay inside their cell
        // are left out; a big tile there still shows around the cover.
        const auto layers = holder->getComponents<LayerRenderComponent>();
        ASSERT_EQ(layers.size(), 2u);
        const TmxLayer& ground = *map->layers[0];
        const TmxLayer& cover = *map->layers[1];
        size_t coveredInCell = 0;
        for (size_t cell = 0; cell < ground.data.size(); ++cell) {
            coveredInCell += cover.data[cell] != 0 && ground.data[cell] >= 1 && ground.data[cell] <= 64;
        }
        EXPECT_GT(coveredInCell, 0u);
        EXPECT_EQ(layers[0]->uncoveredTileCount(), layers[0]->tileCount() - coveredInCell) << file;

        // Views of a few cells on both sides of the drawing blocks' edge
        // (512 pixels in) see the tiles that reach over it.
        for (float left : {480.f, 512.f, 520.f}) {
            const sf::FloatRect area(left - 320.f, -48.f, 40.f, 96.f);
            const PictureDifference part = compareWithEditorPicture(
                drawScene(sf::View(area), sizeOf(area)), reference, file + " near the block edge",
                sf::IntRect(static_cast<int>(left), 0, 40, 96));
            EXPECT_EQ(part.pixels, 0) << file << " from x " << left;
        }
        holder.reset();
        clearScene();
    }
}

TEST(EditorMapFeatures, ParallaxLayersFollowAMovingCameraAsInTheEditorsView) {
    auto map = loadForm("parallax.tmx");
    ASSERT_TRUE(map);
    EXPECT_EQ(map->parallaxOriginX, 40.f);
    EXPECT_EQ(map->parallaxOriginY, 24.f);
    // "Hills" stands in a group with factor 0.5 across.
    EXPECT_EQ(map->layers[1]->name, "Hills");
    EXPECT_FLOAT_EQ(map->layers[1]->parallaxX, 0.4f);
    EXPECT_FLOAT_EQ(map->layers[1]->parallaxY, 0.5f);
    buildForm("parallax.tmx");

    // A main camera, moved as a game moves it: the views around each camera
    // centre (in map pixels) look as the editor shows them, the tile
    // objects of the group "Kites" (factor 0.5) moving with their group.
    auto cameraObject = GameObjectManager::instance().createGameObject("Camera");
    auto camera = addComponent<CameraComponent>(cameraObject, 192, 128, 0, 0);
    RenderManager::instance().setMainCamera(camera);
    const sf::Vector2f cameras[] = {{40.f, 24.f}, {100.f, 64.f}, {0.f, 4.f}};
    sf::Image pictures[3];
    for (int number = 0; number < 3; ++number) {
        // The world's origin is the map's centre.
        cameraObject->transform->setPosition(cameras[number] - sf::Vector2f(96.f, 64.f));
        pictures[number] = drawScene(sf::View(), {192, 128});
        const std::string reference = "parallax-" + std::to_string(number) + ".expected.png";
        const PictureDifference difference = compareWithEditorPicture(pictures[number], reference, reference);
        EXPECT_EQ(difference.pixels, 0) << reference << ": largest difference " << difference.largest;
    }
    // The layer with factor 0, drawn last, stays put on the screen: its two
    // tiles (map pixels 0 to 32 across, 48 to 64 down) stand where the view
    // around the parallax origin shows them, 56 pixels in and 88 down.
    for (const sf::Image& picture : pictures) {
        for (unsigned x : {57u, 70u, 87u}) {
            EXPECT_EQ(picture.getPixel(x, 95), pictures[0].getPixel(x, 95));
            EXPECT_NE(picture.getPixel(x, 95), editorBackdrop);
        }
    }
}

TEST(EditorMapFeatures, RepeatingImageLayersFillTheViewAlongTheirAxes) {
    auto map = loadForm("repeat.tmx");
    ASSERT_TRUE(map);
    EXPECT_TRUE(map->layers[0]->repeatX && map->layers[0]->repeatY);
    EXPECT_TRUE(map->layers[2]->repeatX && !map->layers[2]->repeatY);
    EXPECT_TRUE(!map->layers[3]->repeatX && map->layers[3]->repeatY);
    buildForm("repeat.tmx");
    const PictureDifference whole =
        compareWithEditorPicture(paintWhole(*map), "repeat.expected.png", "repeat.tmx");
    EXPECT_EQ(whole.pixels, 0) << "largest difference " << whole.largest;

    // Far to the right of the map only the wall (both ways) and the band
    // (across) are seen: the picture repeats every 40 pixels across, the
    // band's picture is 24 pixels high, and the wall alone repeats every 24
    // pixels down.
    const sf::Image right = drawScene(sf::View(sf::FloatRect(5000.3f, -48.f, 200.f, 96.f)), {200, 96});
    int unlike = 0;
    for (unsigned y = 0; y < 96; ++y) {
        for (unsigned x = 0; x + 40 < 200; ++x) {
            unlike += right.getPixel(x, y) != right.getPixel(x + 40, y);
        }
    }
    EXPECT_EQ(unlike, 0);
    // The band covers map rows 7 to 30 (view rows 7 to 30): it shows in every column.
    const sf::Image far = drawScene(sf::View(sf::FloatRect(-9000.f, -48.f, 200.f, 96.f)), {200, 96});
    for (unsigned x = 0; x < 200; ++x) {
        EXPECT_NE(far.getPixel(x, 20), right.getPixel(x, 60)) << x;
    }
    // Far below, the column (50 to 90 across in the map) still shows, and only there.
    const sf::Image below = drawScene(sf::View(sf::FloatRect(-64.f, 7000.f, 128.f, 96.f)), {128, 96});
    const sf::Image wallOnly =
        drawScene(sf::View(sf::FloatRect(-64.f - 4000.f, 7000.f, 128.f, 96.f)), {128, 96});
    for (unsigned y = 0; y < 96; y += 7) {
        EXPECT_NE(below.getPixel(70, y), wallOnly.getPixel(70, y)) << y;
        EXPECT_EQ(below.getPixel(20, y), wallOnly.getPixel(20, y)) << y;
    }
}

TEST(EditorMapFeatures, TileObjectsWithoutADrawingOfTheirOwnShowTheirTileAsInTheEditor) {
    auto map = loadForm("tileobjects.tmx");
    ASSERT_TRUE(map);
    buildForm("tileobjects.tmx");
    auto& objects = GameObjectManager::instance();
    // A tile object stands at the centre of its tile, above its x and y
    // (map 8, 24 with 16 x 16 pixels; the world's origin is the map's centre).
    auto pebble = objects.findGameObject("Pebble");
    ASSERT_TRUE(pebble);
    EXPECT_EQ(pebble->transform->getPosition(), sf::Vector2f(148.f - 80.f, 32.f - 64.f));
    // The pebble draws itself with a sprite: its tile is not drawn as well.
    EXPECT_FALSE(pebble->getComponent<TileObjectRendererComponent>());
    EXPECT_TRUE(pebble->getComponent<SpriteRendererComponent>());

    // With the group of the object that draws itself hidden, as the
    // editor's picture leaves it out, every other tile object looks as the
    // editor draws it: stretched, flipped, turned, shifted by its tileset's
    // offset, tinted and half transparent with its group, the hidden one not at all.
    auto props = RenderManager::instance().findLayer("Props");
    ASSERT_TRUE(props);
    props->visible = false;
    // The edges of turned tiles may cover a pixel or two differently from
    // the editor's renderer.
    const int turnedEdges = 3;
    const PictureDifference difference = compareWithEditorPicture(
        paintWhole(*map), "tileobjects.expected.png", "tileobjects.tmx", {}, turnedEdges);
    EXPECT_LE(difference.pixels, turnedEdges) << "largest difference " << difference.largest;

    // Shown, the pebble's own picture (green inside) covers its place, not tile 5.
    props->visible = true;
    const sf::Image shown = paintWhole(*map);
    EXPECT_EQ(shown.getPixel(148, 32), sf::Color(90, 200, 120));
}
