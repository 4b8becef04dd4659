#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "common/EditorPictures.hpp"
#include "common/MapFixtures.hpp"
#include "level/InstantiateTileLayers.hpp"
#include "level/MapStore.hpp"
#include "render/RenderManager.hpp"
#include "render/tiles/LayerRenderComponent.hpp"
#include "scene/GameObjectManager.hpp"

// The maps under maps/forms were saved by the map editor in each of the
// forms it writes, and forms/<map>.expected.png is the editor's own
// rendering of each (see forms/make_forms.py). Here every one is loaded and
// painted by the engine and compared with that rendering pixel by pixel.

namespace {

// The map's picture over the area the editor's renderer draws.
sf::Image paint(const std::string& file) {
    EXPECT_TRUE(MapStore::instance().loadMap(fixtureMapPath("forms/" + file), file));
    auto map = MapStore::instance().findMap(file);
    auto holder = instantiateTileLayers(file, true, false);
    EXPECT_TRUE(holder);
    const sf::FloatRect area = editorPictureArea(*map);
    const sf::Image picture = drawScene(
        sf::View(area), sf::Vector2u(static_cast<unsigned>(area.width), static_cast<unsigned>(area.height)));
    // Gone before the next map of the same test is painted.
    holder.reset();
    GameObjectManager::instance().flushPendingAdditions();
    GameObjectManager::instance().clear(true);
    return picture;
}

PictureDifference compareWithEditor(const std::string& file) {
    return compareWithEditorPicture(paint(file), file.substr(0, file.size() - 4) + ".expected.png", file);
}

} // namespace

TEST(MapForms, EveryTileLayerFormatLooksAsTheEditorDrawsIt) {
    for (const char* form : {"csv", "base64", "zlib", "gzip", "zstd", "infinite"}) {
        const PictureDifference difference = compareWithEditor(std::string("forms-") + form + ".tmx");
        EXPECT_EQ(difference.pixels, 0) << form << ": largest difference " << difference.largest;
    }
}

TEST(MapForms, FlippedTilesLookAsTheEditorDrawsThem) {
    const PictureDifference difference = compareWithEditor("flips.tmx");
    EXPECT_EQ(difference.pixels, 0) << "largest difference " << difference.largest;
}

TEST(MapForms, LayerSettingsGroupsImagesAndTilesetFilesLookAsTheEditorDrawsThem) {
    const PictureDifference difference = compareWithEditor("layers.tmx");
    EXPECT_EQ(difference.pixels, 0) << "largest difference " << difference.largest;
}

TEST(MapForms, SameMapInEveryFormGivesTheSameTileNumbers) {
    auto& store = MapStore::instance();
    ASSERT_TRUE(store.loadMap(fixtureMapPath("forms/forms-csv.tmx"), "csv"));
    auto csv = store.findMap("csv");
    ASSERT_EQ(csv->layers.size(), 2u);
    const TmxLayer& ground = *csv->layers[0];
    // Cell (2, 1) holds arrow tile 65 flipped horizontally, (5, 1) tile 68 with all three flags.
    EXPECT_EQ(ground.data[2 + 6], 65);
    EXPECT_EQ(ground.flips[2 + 6], tmxFlipHorizontal);
    EXPECT_EQ(ground.data[5 + 6], 68);
    EXPECT_EQ(ground.flips[5 + 6], tmxFlipHorizontal | tmxFlipVertical | tmxFlipDiagonal);
    EXPECT_EQ(ground.data[0], 1);
    EXPECT_EQ(ground.flips[0], 0);

    for (const char* form : {"base64", "zlib", "gzip", "zstd"}) {
        ASSERT_TRUE(store.loadMap(fixtureMapPath(std::string("forms/forms-") + form + ".tmx"), form)) << form;
        auto map = store.findMap(form);
        ASSERT_EQ(map->layers.size(), 2u) << form;
        for (size_t i = 0; i < 2; ++i) {
            EXPECT_EQ(map->layers[i]->data, csv->layers[i]->data) << form << " layer " << i;
            EXPECT_EQ(map->layers[i]->flips, csv->layers[i]->flips) << form << " layer " << i;
        }
    }

    // The infinite map's chunks span cells (-16, -16) to (16, 16): the
    // same tiles stand 16 cells right and down, and one more at (-3, -2).
    ASSERT_TRUE(store.loadMap(fixtureMapPath("forms/forms-infinite.tmx"), "infinite"));
    auto infinite = store.findMap("infinite");
    EXPECT_EQ(infinite->width, 32);
    EXPECT_EQ(infinite->height, 32);
    for (size_t i = 0; i < 2; ++i) {
        const TmxLayer& chunked = *infinite->layers[i];
        ASSERT_EQ(chunked.width, 32);
        for (int row = 0; row < 4; ++row) {
            for (int column = 0; column < 6; ++column) {
                const size_t cell = static_cast<size_t>(column + row * 6);
                const size_t placed = static_cast<size_t>(16 + column + (16 + row) * 32);
                EXPECT_EQ(chunked.data[placed], csv->layers[i]->data[cell]) << column << "," << row;
                EXPECT_EQ(chunked.flips.empty() ? 0 : chunked.flips[placed], csv->layers[i]->flips[cell]);
            }
        }
    }
    EXPECT_EQ(infinite->layers[0]->data[13 + 14 * 32], 7);
}

TEST(MapForms, MalformedMapsAreReportedOnOneLineWithoutACrash) {
    struct Case {
        const char* file;
        const char* reason;
    };
    // Refused: the map's line, then the reason.
    const Case refused[] = {
        {"bad-base64.tmx", "malformed Base64"},
        {"inflates-past.tmx", "inflates past its 6 cells"},
        {"corrupt-zlib.tmx", "corrupt or truncated"},
        {"unknown-compression.tmx", "unknown compression \"lz4\""},
        {"chunk-outside.tmx", "chunk at (2, 1) of 16 x 16 cells outside the map"},
        {"chunks-far-apart.tmx", "unusable"},
        {"isometric.tmx", "orientation is isometric"},
        {"hexagonal.tmx", "orientation is hexagonal"},
    };
    for (const Case& c : refused) {
        const std::string path = fixtureMapPath(std::string("malformed/") + c.file);
        ReportCapture output;
        EXPECT_FALSE(MapStore::instance().loadMap(path, c.file));
        const std::string text = output.text();
        EXPECT_EQ(text.rfind("File " + path + " is not a valid tilemap.\n  ", 0), 0u) << text;
        EXPECT_NE(text.find(c.reason), std::string::npos) << text;
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2) << text;
        EXPECT_FALSE(MapStore::instance().findMap(c.file));
    }
    // A tileset file that cannot be read costs its tiles, not the map.
    for (const char* file : {"missing-tsx.tmx", "malformed-tsx.tmx"}) {
        const std::string path = fixtureMapPath(std::string("malformed/") + file);
        ReportCapture output;
        EXPECT_TRUE(MapStore::instance().loadMap(path, file));
        const std::string text = output.text();
        EXPECT_EQ(text.rfind("Map " + path + ": tileset file ", 0), 0u) << text;
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
        auto holder = instantiateTileLayers(file, true, false);
        ASSERT_TRUE(holder);
        EXPECT_EQ(holder->getComponent<LayerRenderComponent>()->tileCount(), 0u);
    }
}
