#include <gtest/gtest.h>

#include <string>

#include "common/EditorPictures.hpp"
#include "common/MapFixtures.hpp"
#include "level/MapStore.hpp"
#include "render/AssetManager.hpp"
#include "render/CameraComponent.hpp"
#include "render/RenderManager.hpp"
#include "render/tiles/LayerRenderComponent.hpp"
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
