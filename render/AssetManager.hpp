#pragma once

#include <future>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Texture.hpp>

// Loads images into textures and cuts them into named sprites (whole images,
// atlas entries, tileset tiles), caching both for the rest of the run. Every
// store keeps the first entry under a name; nothing is ever removed.
//
// Failures are content problems: they print one line to standard output and
// yield an empty pointer or false, and the caller carries on.
class AssetManager {
public:
    static AssetManager& instance();
    // Back to the just-constructed manager: every sprite and texture is
    // forgotten (those still held elsewhere live on) and `smooth` is on.
    void reset();

    // The texture of the image at `path` (loaded on first request, the cached
    // one after that) and a new sprite showing all of it, stored under `name`
    // and handed back in `sprite`. Every sprite points into a texture the cache
    // owns for the rest of the run. Empty, with "Couldn't load texture", on
    // failure; `sprite` is then left untouched.
    std::shared_ptr<sf::Texture> loadTexture(const std::string& path, const std::string& name,
                                             std::shared_ptr<sf::Sprite>& sprite);
    std::shared_ptr<sf::Texture> loadTexture(const std::string& path, const std::string& name);
    std::shared_ptr<sf::Texture> loadTexture(const std::string& path);
    // The cached texture of `path`, loaded on first request.
    std::shared_ptr<sf::Texture> getTexture(const std::string& path);
    // The sprite of `name`; an unknown name is taken as an image path and
    // loaded once. Empty when that load fails.
    std::shared_ptr<sf::Sprite> getSprite(const std::string& name);
    // Cuts the image into tileWidth x tileHeight sprites named path + number
    // (counted from 1, row by row). Without margin and spacing, tiles cut
    // short by the image's right and bottom edges are cut too. With them,
    // the tiles stand `margin` pixels in from the top-left corner and
    // `spacing` pixels apart, and only whole tiles are cut, as the map
    // editor cuts them; a positive `tileCount` is the most tiles cut. False
    // when the image was cut (or loaded) before, cannot be loaded, or the
    // tile size is not positive or the margin or spacing negative. An image
    // that would give more than `maxTilesetTiles` tiles throws
    // std::length_error naming it, and nothing is stored.
    bool loadTileset(const std::string& path, int tileWidth, int tileHeight, int margin = 0, int spacing = 0,
                     int tileCount = 0);
    // A 4096 x 4096 sheet of 16 x 16 tiles: far beyond any real tileset, and
    // small enough that a mistyped tile size cannot exhaust memory.
    static constexpr long long maxTilesetTiles = 65536;
    // Reads a texture-atlas XML file; its image path is relative to the
    // atlas's directory. False, with "Loading failed", on a missing or
    // malformed file; nothing of that atlas is stored then.
    bool loadAtlas(const std::string& path);
    // Reads a texture-atlas XML file and its image, kept as pixels in
    // `atlasPixels` rather than as a texture: for pictures composed on the
    // processor from its pieces (see `findPiece`), where a texture would
    // only double the memory. Fails as `loadAtlas` does; an image that
    // cannot be read is reported as "Couldn't load image".
    // True at once for an atlas loaded already; waits for one started by
    // `startLoadingAtlasPixels`.
    bool loadAtlasPixels(const std::string& path);
    // Starts reading an atlas as pixels on a thread of its own, so that the
    // caller's frames go on meanwhile; `loadAtlasPixels(path)` takes the
    // result (and reports what failed). Does nothing for an atlas loaded or
    // being read.
    void startLoadingAtlasPixels(const std::string& path);
    // Whether an atlas started by `startLoadingAtlasPixels` is read, so that
    // `loadAtlasPixels` would not wait.
    bool atlasPixelsReady(const std::string& path) const;
    // The image of the pixel atlas holding the piece `name`, with the
    // piece's rectangle (clipped to the image) in `rectangle`; null when no
    // atlas loaded by `loadAtlasPixels` has it.
    const sf::Image* findPiece(const std::string& name, sf::IntRect& rectangle) const;
    // Drops what loadAtlas(path) or loadAtlasPixels(path) stored: the atlas's
    // texture or pixels and every sprite cut from it. Sprites handed out before keep the texture alive
    // for as long as they are held. Does nothing for an atlas not loaded.
    void unloadAtlas(const std::string& path);
    // The whole file plus one terminating zero byte (for the XML parser).
    // Throws std::runtime_error("cannot open file " + path) when unreadable.
    static std::vector<char> readFile(const std::string& path);

    // Applied to every texture loaded from now on.
    bool smooth = true;
    std::map<std::string, std::shared_ptr<sf::Sprite>> sprites;
    std::map<std::string, std::shared_ptr<sf::Texture>> textures;
    // Sprite name -> the image path its texture came from.
    std::map<std::string, std::string> spriteSources;
    // Atlas path -> the image path of its texture, for every atlas loaded
    // (either way).
    std::map<std::string, std::string> atlasImages;
    // An atlas loaded as pixels: its image and its pieces by name. The image
    // is held by pointer: sf::Image cannot be moved, only copied, and it
    // may be 21 MB.
    struct AtlasPixels {
        std::unique_ptr<sf::Image> image;
        std::map<std::string, sf::IntRect> pieces;
    };
    // Atlas path -> its pixels, for every atlas loaded by `loadAtlasPixels`.
    std::map<std::string, AtlasPixels> atlasPixels;

private:
    // An atlas file's image path (relative to build/) and its pieces.
    struct AtlasEntries {
        std::string imagePath;
        std::map<std::string, sf::IntRect> pieces;
    };
    // Throws std::runtime_error on a missing or malformed file.
    static AtlasEntries readAtlasEntries(const std::string& path);
    // An atlas read as pixels, or why not: `failure` for the atlas file,
    // `imageRead` false for its image.
    struct PixelRead {
        AtlasPixels pixels;
        std::string imagePath;
        bool imageRead = false;
        std::string failure;
    };
    // Reads the file and the image without touching the stores: safe on
    // any thread.
    static PixelRead readAtlasPixels(const std::string& path);
    // Atlases being read on their own threads.
    std::map<std::string, std::future<PixelRead>> pendingPixels;
    std::set<std::string> unreadable;
    AssetManager() = default;
    // The image as a new texture with `smooth` applied, not cached; empty,
    // with "Couldn't load texture", when it cannot be loaded. A path that
    // failed once is neither reported nor tried again (until reset): callers
    // that ask every frame would fill the output with one broken file.
    std::shared_ptr<sf::Texture> readTexture(const std::string& path);
    // Caches the texture under `path` and a new whole-image sprite of it under `name`.
    void keep(const std::string& path, const std::string& name, const std::shared_ptr<sf::Texture>& texture,
              std::shared_ptr<sf::Sprite>& sprite);
};
