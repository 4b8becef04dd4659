#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "common/MediaFixtures.hpp"
#include "render/AssetManager.hpp"
#include "render/tiles/TileAtlas.hpp"

namespace {
// The reports written since the capture began. The graphics library says
// why an image did not load on standard error too ("Failed to load image");
// the game prints those through its library log, so they are left out here.
std::string capturedStderr() {
    std::fflush(stderr);
    const std::string written = testing::internal::GetCapturedStderr();
    std::string reports;
    size_t start = 0;
    while (start < written.size()) {
        const size_t end = std::min(written.find('\n', start), written.size() - 1);
        const std::string line = written.substr(start, end + 1 - start);
        if (line.rfind("Failed to load image", 0) != 0) {
            reports += line;
        }
        start = end + 1;
    }
    return reports;
}

std::string atlasText(const std::string& imagePath, const std::string& entries) {
    return "<?xml version=\"1.0\"?>\n<TextureAtlas imagePath=\"" + imagePath + "\">\n" + entries +
           "</TextureAtlas>\n";
}
} // namespace

// Each case of this suite expects the AssetManager with empty caches: the test main resets the engine before
// every case.
TEST(AssetManager, MissingImageIsReportedAndStoresNothing) {
    auto& assets = AssetManager::instance();
    std::shared_ptr<sf::Sprite> sprite = std::make_shared<sf::Sprite>();
    auto before = sprite;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(assets.loadTexture("no/such/image.png", "name", sprite));
    // Asked again every frame (animation frames are built one a frame): still one line.
    for (int frame = 0; frame < 270; ++frame) {
        EXPECT_FALSE(assets.loadTexture("no/such/image.png"));
        EXPECT_FALSE(assets.getSprite("no/such/image.png"));
    }
    EXPECT_EQ(capturedStderr(), "Couldn't load texture no/such/image.png\n");
    EXPECT_EQ(sprite, before);
    EXPECT_TRUE(assets.textures.empty());
    EXPECT_TRUE(assets.sprites.empty());
    EXPECT_TRUE(assets.spriteSources.empty());
}

TEST(AssetManager, LoadedImageGivesWholeSmoothTextureAndSprite) {
    TempDirectory dir;
    const std::string path = dir.writeImage("a.png", 20, 10);
    auto& assets = AssetManager::instance();
    std::shared_ptr<sf::Sprite> sprite;
    auto texture = assets.loadTexture(path, "hero", sprite);
    ASSERT_TRUE(texture);
    EXPECT_TRUE(texture->isSmooth());
    ASSERT_TRUE(sprite);
    EXPECT_EQ(sprite->getTextureRect(), sf::IntRect(0, 0, 20, 10));
    EXPECT_EQ(assets.sprites.at("hero"), sprite);
    EXPECT_EQ(assets.spriteSources.at("hero"), path);
    EXPECT_EQ(assets.textures.at(path), texture);
}

TEST(AssetManager, FirstEntryUnderANameWins) {
    TempDirectory dir;
    const std::string first = dir.writeImage("first.png", 4, 4);
    const std::string second = dir.writeImage("second.png", 8, 8);
    auto& assets = AssetManager::instance();
    auto firstTexture = assets.loadTexture(first, "shared");
    ASSERT_TRUE(assets.loadTexture(second, "shared"));
    EXPECT_EQ(assets.sprites.at("shared")->getTexture(), firstTexture.get());
    EXPECT_EQ(assets.spriteSources.at("shared"), first);
}

TEST(AssetManager, LoadingACachedPathAgainReusesItsTexture) {
    TempDirectory dir;
    const std::string path = dir.writeImage("hero.png", 4, 6);
    auto& assets = AssetManager::instance();
    auto cached = assets.loadTexture(path, "hero");
    std::filesystem::remove(path);

    // The caller drops what it got back: the new sprite must still show a
    // texture that the cache keeps alive, not a copy that died with the caller.
    std::shared_ptr<sf::Sprite> sprite;
    EXPECT_EQ(assets.loadTexture(path, "hero again", sprite), cached);
    ASSERT_TRUE(sprite);
    EXPECT_EQ(sprite->getTexture(), cached.get());
    EXPECT_EQ(assets.sprites.at("hero again")->getTexture(), cached.get());
    EXPECT_EQ(assets.sprites.at("hero again")->getTexture()->getSize(), sf::Vector2u(4, 6));
    EXPECT_EQ(assets.textures.at(path), cached);
    EXPECT_EQ(assets.textures.size(), 1u);
}

TEST(AssetManager, TwoAtlasesOnOneSheetShareItsTexture) {
    TempDirectory dir;
    const std::string image = dir.writeImage("sheet.png", 32, 16, sf::Color::Green);
    dir.writeText(
        "walk.xml",
        atlasText("sheet.png", "<SubTexture name=\"walk\" x=\"0\" y=\"0\" width=\"16\" height=\"16\"/>"));
    dir.writeText(
        "jump.xml",
        atlasText("sheet.png", "<SubTexture name=\"jump\" x=\"16\" y=\"0\" width=\"16\" height=\"16\"/>"));
    auto& assets = AssetManager::instance();
    ASSERT_TRUE(assets.loadAtlas(dir.path("walk.xml")));
    ASSERT_TRUE(assets.loadAtlas(dir.path("jump.xml")));
    const sf::Texture* sheet = assets.textures.at(image).get();
    EXPECT_EQ(assets.sprites.at("walk")->getTexture(), sheet);
    ASSERT_EQ(assets.sprites.at("jump")->getTexture(), sheet);
    // The second atlas's frames read the sheet's pixels.
    const sf::Image pixels = assets.sprites.at("jump")->getTexture()->copyToImage();
    EXPECT_EQ(pixels.getPixel(20, 8), sf::Color::Green);
}

TEST(AssetManager, GetSpriteLoadsAnUnknownNameOnceAsAPath) {
    TempDirectory dir;
    const std::string path = dir.writeImage("once.png", 6, 6);
    auto& assets = AssetManager::instance();
    auto sprite = assets.getSprite(path);
    ASSERT_TRUE(sprite);
    std::filesystem::remove(path);
    EXPECT_EQ(assets.getSprite(path), sprite);
    EXPECT_EQ(assets.getTexture(path)->getSize(), sf::Vector2u(6, 6));

    testing::internal::CaptureStderr();
    EXPECT_FALSE(assets.getSprite(dir.path("gone.png")));
    EXPECT_EQ(capturedStderr(), "Couldn't load texture " + dir.path("gone.png") + "\n");
}

TEST(AssetManager, TilesetIsNumberedRowByRowFromOne) {
    TempDirectory dir;
    const std::string path = dir.writeImage("tiles.png", 64, 48);
    auto& assets = AssetManager::instance();
    ASSERT_TRUE(assets.loadTileset(path, 16, 16));
    for (int number = 1; number <= 12; ++number) {
        ASSERT_TRUE(assets.sprites.count(path + std::to_string(number))) << number;
        EXPECT_EQ(assets.spriteSources.at(path + std::to_string(number)), path);
    }
    EXPECT_FALSE(assets.sprites.count(path + "13"));
    EXPECT_FALSE(assets.sprites.count(path + "0"));
    EXPECT_EQ(assets.sprites.at(path + "4")->getTextureRect(), sf::IntRect(48, 0, 16, 16));
    EXPECT_EQ(assets.sprites.at(path + "5")->getTextureRect(), sf::IntRect(0, 16, 16, 16));
    EXPECT_EQ(assets.sprites.at(path + "12")->getTextureRect(), sf::IntRect(48, 32, 16, 16));

    // Cut once: a second request changes nothing.
    assets.sprites.erase(path + "1");
    EXPECT_FALSE(assets.loadTileset(path, 16, 16));
    EXPECT_FALSE(assets.sprites.count(path + "1"));
}

TEST(AssetManager, TilesetCutsPartialEdgeTiles) {
    TempDirectory dir;
    const std::string path = dir.writeImage("edge.png", 32, 40);
    auto& assets = AssetManager::instance();
    ASSERT_TRUE(assets.loadTileset(path, 16, 16));
    ASSERT_TRUE(assets.sprites.count(path + "6"));
    EXPECT_EQ(assets.sprites.at(path + "6")->getTextureRect(), sf::IntRect(16, 32, 16, 16));
    EXPECT_FALSE(assets.sprites.count(path + "7"));
}

TEST(AssetManager, SpacedTilesetCutsWholeTilesUpToItsTileCount) {
    TempDirectory dir;
    // Margin 2 and spacing 3 around 16-pixel tiles: 3 whole columns fit in
    // 64 pixels (2 + 16 + 3 + 16 + 3 + 16 = 56, a fourth would end at 75),
    // 2 whole rows in 40.
    const std::string path = dir.writeImage("spaced.png", 64, 40);
    auto& assets = AssetManager::instance();
    ASSERT_TRUE(assets.loadTileset(path, 16, 16, 2, 3, 5));
    EXPECT_EQ(assets.sprites.at(path + "1")->getTextureRect(), sf::IntRect(2, 2, 16, 16));
    EXPECT_EQ(assets.sprites.at(path + "3")->getTextureRect(), sf::IntRect(40, 2, 16, 16));
    EXPECT_EQ(assets.sprites.at(path + "5")->getTextureRect(), sf::IntRect(21, 21, 16, 16));
    // The sixth fits the image but not the tile count.
    EXPECT_FALSE(assets.sprites.count(path + "6"));
    const TileAtlas::Placement placed =
        TileAtlas::instance().place(*assets.sprites.at(path + "5"), false, 2, 3);
    EXPECT_NE(placed.texture, assets.sprites.at(path + "5")->getTexture());
    EXPECT_EQ(placed.rectangle.width, 16);

    testing::internal::CaptureStderr();
    const std::string other = dir.writeImage("negative.png", 32, 32);
    EXPECT_FALSE(assets.loadTileset(other, 16, 16, -1, 0));
    EXPECT_NE(capturedStderr().find(other), std::string::npos);
}

// A map may give any tile size the number can hold; the cutting and the
// bordered copy must not overflow (the sanitizer build checks that).
TEST(AssetManager, TileSizeAtTheIntLimitCutsOneTileAndGetsNoBorderedCopy) {
    TempDirectory dir;
    const std::string path = dir.writeImage("huge.png", 32, 40);
    auto& assets = AssetManager::instance();
    const int limit = std::numeric_limits<int>::max();
    ASSERT_TRUE(assets.loadTileset(path, limit, limit));
    ASSERT_TRUE(assets.sprites.count(path + "1"));
    EXPECT_FALSE(assets.sprites.count(path + "2"));
    const auto& tile = *assets.sprites.at(path + "1");
    EXPECT_EQ(tile.getTextureRect(), sf::IntRect(0, 0, limit, limit));
    const TileAtlas::Placement placed = TileAtlas::instance().place(tile, true);
    EXPECT_EQ(placed.texture, tile.getTexture());
    EXPECT_EQ(placed.rectangle, tile.getTextureRect());
}

TEST(AssetManager, TilesetRefusesEmptyTilesAndMissingImages) {
    TempDirectory dir;
    const std::string path = dir.writeImage("zero.png", 32, 32);
    auto& assets = AssetManager::instance();
    testing::internal::CaptureStderr();
    EXPECT_FALSE(assets.loadTileset(path, 0, 16));
    EXPECT_FALSE(assets.loadTileset(dir.path("missing.png"), 16, 16));
    const std::string output = capturedStderr();
    EXPECT_NE(output.find(path), std::string::npos);
    EXPECT_NE(output.find("Couldn't load texture " + dir.path("missing.png")), std::string::npos);
    EXPECT_TRUE(assets.sprites.empty());
    // The refused tile size did not mark the image as cut.
    EXPECT_TRUE(assets.loadTileset(path, 16, 16));
}

TEST(AssetManager, AtlasWithBackslashPathLoadsImageBesideIt) {
    TempDirectory dir;
    const std::string image = dir.writeImage("a/b.png", 64, 32);
    dir.writeText("a/b.xml",
                  atlasText("b.png",
                            "<SubTexture name=\"walk1\" x=\"0\" y=\"0\" width=\"32\" height=\"32\"/>\n"
                            "<SubTexture name=\"walk2\" x=\"32\" y=\"0\" width=\"32\" height=\"32\"/>\n"));
    auto& assets = AssetManager::instance();
    std::string backslashed = dir.path("a\\b.xml");
    ASSERT_TRUE(assets.loadAtlas(backslashed));
    ASSERT_TRUE(assets.sprites.count("walk2"));
    EXPECT_EQ(assets.sprites.at("walk2")->getTextureRect(), sf::IntRect(32, 0, 32, 32));
    EXPECT_EQ(assets.spriteSources.at("walk1"), image);
    EXPECT_TRUE(assets.textures.count(image));
}

TEST(AssetManager, AtlasWithoutDirectoryUsesImagePathAlone) {
    TempDirectory dir;
    dir.writeImage("sheet.png", 16, 16);
    dir.writeText("sheet.xml",
                  atlasText("sheet.png", "<SubTexture name=\"only\" x=\"4px\" y=\"junk\" width=\"8\" "
                                         "height=\"8\"/>\n<Other/>\n"));
    ScopedWorkingDirectory inside(dir.path());
    auto& assets = AssetManager::instance();
    ASSERT_TRUE(assets.loadAtlas("sheet.xml"));
    EXPECT_EQ(assets.spriteSources.at("only"), "sheet.png");
    // Numbers read their leading digits; none reads as 0.
    EXPECT_EQ(assets.sprites.at("only")->getTextureRect(), sf::IntRect(4, 0, 8, 8));
}

TEST(AssetManager, AnAtlasReadAsPixelsHandsOutPiecesClippedToItsImageUntilItIsDropped) {
    TempDirectory dir;
    dir.writeImage("sheet.png", 32, 16, sf::Color::Green);
    dir.writeText("sheet.xml",
                  atlasText("sheet.png",
                            "<SubTexture name=\"whole\" x=\"0\" y=\"0\" width=\"16\" height=\"16\"/>\n"
                            "<SubTexture name=\"edge\" x=\"24\" y=\"8\" width=\"16\" height=\"16\"/>\n"
                            "<SubTexture name=\"beyond\" x=\"40\" y=\"0\" width=\"4\" height=\"4\"/>\n"));
    dir.writeText("absent.xml", atlasText("absent.png", ""));
    auto& assets = AssetManager::instance();
    // Read on a thread of its own, taken once it is done.
    assets.startLoadingAtlasPixels(dir.path("sheet.xml"));
    for (int wait = 0; wait < 5000 && !assets.atlasPixelsReady(dir.path("sheet.xml")); ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_TRUE(assets.atlasPixelsReady(dir.path("sheet.xml")));
    ASSERT_TRUE(assets.loadAtlasPixels(dir.path("sheet.xml")));
    // Pixels only: no texture, no sprite.
    EXPECT_TRUE(assets.textures.empty());
    EXPECT_TRUE(assets.sprites.empty());
    EXPECT_EQ(assets.atlasImages.count(dir.path("sheet.xml")), 1u);

    sf::IntRect rectangle;
    const sf::Image* image = assets.findPiece("whole", rectangle);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(rectangle, sf::IntRect(0, 0, 16, 16));
    EXPECT_EQ(image->getPixel(8, 8), sf::Color::Green);
    // A piece reaching past the image keeps only the pixels the image has.
    ASSERT_EQ(assets.findPiece("edge", rectangle), image);
    EXPECT_EQ(rectangle, sf::IntRect(24, 8, 8, 8));
    ASSERT_EQ(assets.findPiece("beyond", rectangle), image);
    EXPECT_EQ(rectangle.width * rectangle.height, 0);
    EXPECT_EQ(assets.findPiece("unknown", rectangle), nullptr);

    // A missing image is reported once, by the thread that takes the result.
    testing::internal::CaptureStderr();
    assets.startLoadingAtlasPixels(dir.path("absent.xml"));
    EXPECT_FALSE(assets.loadAtlasPixels(dir.path("absent.xml")));
    EXPECT_FALSE(assets.loadAtlasPixels(dir.path("absent.xml")));
    EXPECT_EQ(capturedStderr(), "Couldn't load image " + dir.path("absent.png") + "\n");

    assets.unloadAtlas(dir.path("sheet.xml"));
    EXPECT_EQ(assets.findPiece("whole", rectangle), nullptr);
    EXPECT_TRUE(assets.atlasImages.empty());
    EXPECT_TRUE(assets.atlasPixels.empty());
}

TEST(AssetManager, AtlasKeepsSpritesAlreadyStoredUnderItsNames) {
    TempDirectory dir;
    const std::string older = dir.writeImage("older.png", 8, 8);
    dir.writeImage("sheet.png", 32, 32);
    dir.writeText("sheet.xml",
                  atlasText("sheet.png",
                            "<SubTexture name=\"dup\" x=\"0\" y=\"0\" width=\"4\" height=\"4\"/>\n"
                            "<SubTexture name=\"dup\" x=\"8\" y=\"8\" width=\"4\" height=\"4\"/>\n"
                            "<SubTexture name=\"new\" x=\"8\" y=\"8\" width=\"4\" height=\"4\"/>\n"));
    auto& assets = AssetManager::instance();
    auto kept = assets.getSprite(older);
    assets.sprites.emplace("dup", kept);
    ASSERT_TRUE(assets.loadAtlas(dir.path("sheet.xml")));
    EXPECT_EQ(assets.sprites.at("dup"), kept);
    EXPECT_EQ(assets.sprites.at("new")->getTextureRect(), sf::IntRect(8, 8, 4, 4));
}

TEST(AssetManager, BrokenAtlasesFailWithOneMessageAndStoreNothing) {
    TempDirectory dir;
    dir.writeImage("sheet.png", 32, 32);
    dir.writeText("bad.xml", "<TextureAtlas imagePath=\"sheet.png\"><SubTexture name=\"x\" </TextureAtlas>");
    dir.writeText(
        "noimage.xml",
        atlasText("absent.png", "<SubTexture name=\"y\" x=\"0\" y=\"0\" width=\"4\" height=\"4\"/>"));
    dir.writeText("partial.xml",
                  atlasText("sheet.png", "<SubTexture name=\"z\" x=\"0\" y=\"0\" width=\"4\"/>"));
    // Deep enough to exhaust the stack of a recursive parser.
    std::string deep = "<TextureAtlas imagePath=\"sheet.png\">";
    for (int i = 0; i < 200000; ++i) {
        deep += "<a>";
    }
    dir.writeText("deep.xml", deep);
    auto& assets = AssetManager::instance();

    testing::internal::CaptureStderr();
    EXPECT_FALSE(assets.loadAtlas(dir.path("deep.xml")));
    EXPECT_EQ(capturedStderr(),
              "Loading failed:\n" + dir.path("deep.xml") + ": elements nest more than 256 deep\n");

    testing::internal::CaptureStderr();
    EXPECT_FALSE(assets.loadAtlas(dir.path("missing.xml")));
    EXPECT_EQ(capturedStderr(), "Loading failed:\ncannot open file " + dir.path("missing.xml") + "\n");

    testing::internal::CaptureStderr();
    EXPECT_FALSE(assets.loadAtlas(dir.path("bad.xml")));
    EXPECT_EQ(capturedStderr().rfind("Loading failed:\n" + dir.path("bad.xml") + ": ", 0), 0u);

    testing::internal::CaptureStderr();
    EXPECT_FALSE(assets.loadAtlas(dir.path("noimage.xml")));
    EXPECT_EQ(capturedStderr(), "Couldn't load texture " + dir.path("absent.png") + "\n");

    testing::internal::CaptureStderr();
    EXPECT_FALSE(assets.loadAtlas(dir.path("partial.xml")));
    EXPECT_EQ(capturedStderr().rfind("Loading failed:\n", 0), 0u);

    EXPECT_TRUE(assets.sprites.empty());
    EXPECT_TRUE(assets.spriteSources.empty());
    EXPECT_TRUE(assets.textures.empty());
}

TEST(AssetManager, ReadFileEndsWithAZeroByte) {
    TempDirectory dir;
    const std::string path = dir.writeText("text.txt", "abc");
    auto bytes = AssetManager::readFile(path);
    ASSERT_EQ(bytes.size(), 4u);
    EXPECT_EQ(std::string(bytes.data()), "abc");
    EXPECT_THROW(AssetManager::readFile(dir.path("none.txt")), std::runtime_error);
}
