#include <gtest/gtest.h>

#include "common/MapFixtures.hpp"
#include "common/MediaFixtures.hpp"
#include "level/MapStore.hpp"
#include "render/AssetManager.hpp"
#include "scene/GameObjectManager.hpp"

namespace {

const char* const smallMap = R"(<?xml version="1.0" encoding="UTF-8"?>
<map version="1.8" orientation="orthogonal" renderorder="right-down" width="2" height="1" tilewidth="8" tileheight="8" infinite="0">
 <tileset firstgid="1" name="t" tilewidth="8" tileheight="8">
  <image source="img/t.png" width="16" height="8"/>
 </tileset>
 <layer id="1" name="L" width="2" height="1">
  <data encoding="csv">
DATA
</data>
 </layer>
</map>
)";

std::string smallMapWith(const std::string& data) {
    std::string text = smallMap;
    return text.replace(text.find("DATA"), 4, data);
}

// Loads `text` written to a file and returns what was printed.
std::string loadText(const TempDirectory& directory, const std::string& text, bool expected) {
    const std::string path = directory.writeText("bad.tmx", text);
    ReportCapture output;
    EXPECT_EQ(MapStore::instance().loadMap(path, "bad"), expected);
    return output.text();
}

} // namespace

// Each case of this suite expects an empty MapStore and AssetManager: the test main resets the engine before
// every case.
TEST(MapStore, LoadsTheEditorsMapAndCutsItsTilesets) {
    const std::string path = fixtureMapPath("tiles.tmx");
    ASSERT_TRUE(MapStore::instance().loadMap(path, "tiles"));
    auto map = MapStore::instance().findMap("tiles");
    ASSERT_TRUE(map);
    EXPECT_EQ(map->layers.size(), 3u);
    const std::string directory = fixtureMapPath("");
    EXPECT_EQ(MapStore::instance().mapDirectories.at("tiles"), directory);
    const auto& sprites = AssetManager::instance().sprites;
    EXPECT_EQ(sprites.count(directory + "tiles.png1"), 1u);
    EXPECT_EQ(sprites.count(directory + "tiles.png64"), 1u);
    EXPECT_EQ(sprites.count(directory + "tiles.png65"), 0u);
    EXPECT_EQ(sprites.count(directory + "tall.png2"), 1u);
}

TEST(MapStore, BackslashesInThePathGiveASlashDirectory) {
    // The tests run from build/, beside the sources.
    ASSERT_TRUE(MapStore::instance().loadMap("..\\tests\\scene\\maps\\tiles.tmx", "tiles"));
    EXPECT_EQ(MapStore::instance().mapDirectories.at("tiles"), "../tests/scene/maps/");
    EXPECT_EQ(AssetManager::instance().sprites.count("../tests/scene/maps/tall.png1"), 1u);
}

TEST(MapStore, SecondMapUnderATakenNameLeavesTheFirst) {
    auto& store = MapStore::instance();
    ASSERT_TRUE(store.loadMap(fixtureMapPath("tiles.tmx"), "level"));
    EXPECT_TRUE(store.loadMap(fixtureMapPath("objects.tmx"), "level"));
    EXPECT_EQ(store.maps.size(), 1u);
    EXPECT_EQ(store.findMap("level")->width, 3);
}

TEST(MapStore, MalformedFilesAreReportedAndNotStored) {
    TempDirectory directory;
    const std::string path = directory.path("bad.tmx");
    const std::string message = "File " + path + " is not a valid tilemap.\n";
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"not XML", "just some text"},
        {"cut short", smallMapWith("1,2").substr(0, 200)},
        {"too many numbers", smallMapWith("1,2,3")},
        {"no tile layer", R"(<map width="1" height="1" tilewidth="8" tileheight="8"></map>)"},
        {"empty file", ""},
    };
    for (const auto& [what, text] : cases) {
        std::string printed = loadText(directory, text, false);
        EXPECT_EQ(printed.rfind(message, 0), 0u) << what << ": " << printed;
    }
    EXPECT_TRUE(MapStore::instance().maps.empty());
    EXPECT_TRUE(MapStore::instance().mapDirectories.empty());
}

TEST(MapStore, MissingOrUnreadableFilesAreReported) {
    TempDirectory directory;
    for (const std::string& path : {directory.path("absent.tmx"), directory.path()}) {
        ReportCapture output;
        EXPECT_FALSE(MapStore::instance().loadMap(path, "m"));
        EXPECT_EQ(output.text().rfind("File " + path + " is not a valid tilemap.\n", 0), 0u) << output.text();
    }
    EXPECT_TRUE(MapStore::instance().maps.empty());
}

TEST(MapStore, MissingTilesetImageIsReportedButTheMapIsStored) {
    TempDirectory directory;
    std::string printed = loadText(directory, smallMapWith("1,2"), true);
    EXPECT_NE(printed.find("Couldn't load texture " + directory.path("img/t.png")), std::string::npos)
        << printed;
    EXPECT_TRUE(MapStore::instance().findMap("bad"));
}

TEST(MapStore, UnknownMapIsReportedAndBuildsNothing) {
    std::shared_ptr<GameObject> tileLayers = GameObjectManager::instance().createGameObject("stale");
    std::vector<std::shared_ptr<GameObject>> objects{tileLayers};
    ReportCapture output;
    MapStore::instance().instantiate("nowhere", tileLayers, objects, true, true);
    EXPECT_NE(output.text().find("Map nowhere is not loaded"), std::string::npos);
    EXPECT_FALSE(tileLayers);
    EXPECT_TRUE(objects.empty());
}

TEST(MapStore, InstantiatedObjectsAreFoundByNameAtOnce) {
    auto& store = MapStore::instance();
    ASSERT_TRUE(store.loadMap(fixtureMapPath("objects.tmx"), "objects"));
    std::shared_ptr<GameObject> tileLayers;
    std::vector<std::shared_ptr<GameObject>> objects;
    store.instantiate("objects", tileLayers, objects, true, true);
    auto& manager = GameObjectManager::instance();
    ASSERT_TRUE(tileLayers);
    EXPECT_EQ(manager.findGameObject("objects"), tileLayers);
    EXPECT_EQ(manager.findGameObject("Crate"), objects.at(0));
    EXPECT_TRUE(manager.findGameObject("Actors"));
    EXPECT_TRUE(manager.pendingAdditions.empty());

    // A second instantiation builds new objects from the same model.
    store.instantiate("objects", true, true);
    auto crates = std::count_if(manager.persistentObjects.begin(), manager.persistentObjects.end(),
                                [](const auto& object) { return object->name == "Crate"; });
    EXPECT_EQ(crates, 2);
}

TEST(MapStore, TilesetCutIntoTooManyTilesRefusesTheMap) {
    TempDirectory directory;
    directory.writeImage("img/t.png", 16, 8);
    // 1 x 1 tiles on a 300 x 300 image: 90000 tiles, more than any real tileset.
    const std::string big = directory.writeImage("img/big.png", 300, 300);
    std::string text = smallMapWith("1,2");
    const std::string second = R"(<tileset firstgid="3" name="dust" tilewidth="1" tileheight="1">
  <image source="img/big.png" width="300" height="300"/>
 </tileset>
 <layer)";
    text.replace(text.find("<layer"), 6, second);
    const std::string path = directory.path("bad.tmx");
    const std::string printed = loadText(directory, text, false);
    EXPECT_EQ(printed, "File " + path + " is not a valid tilemap.\n  tileset image " + big +
                           " would be cut into 90000 tiles of 1 x 1 pixels, more than 65536\n");
    EXPECT_FALSE(MapStore::instance().findMap("bad"));
    const auto& assets = AssetManager::instance();
    EXPECT_EQ(assets.textures.count(big), 0u) << "a refused tileset caches nothing";
    EXPECT_EQ(assets.sprites.count(big + "1"), 0u);
    EXPECT_EQ(assets.sprites.size() + assets.spriteSources.size(), 2u * 3u)
        << "only the first tileset's whole image and two tiles";
}
