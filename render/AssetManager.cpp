#include "render/AssetManager.hpp"

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <utility>

#include <rapidxml/rapidxml.hpp>

#include "core/ContentRoot.hpp"
#include "core/FreshState.hpp"
#include "core/Paths.hpp"
#include "core/Report.hpp"
#include "core/XmlNesting.hpp"
#include "render/TilesetGrid.hpp"

namespace {
const char* attributeValue(rapidxml::xml_node<>* node, const char* name) {
    auto* attribute = node->first_attribute(name);
    return attribute ? attribute->value() : nullptr;
}
} // namespace

AssetManager& AssetManager::instance() {
    static AssetManager manager;
    return manager;
}

void AssetManager::reset() {
    replaceWithFresh(*this, AssetManager());
}

std::shared_ptr<sf::Texture> AssetManager::loadTexture(const std::string& path, const std::string& name,
                                                       std::shared_ptr<sf::Sprite>& sprite) {
    // A path is loaded once. Sprites only point at their texture, so a sprite
    // made here must show the texture the cache keeps alive, never a second
    // copy that dies with the caller.
    std::shared_ptr<sf::Texture> texture;
    if (auto cached = textures.find(path); cached != textures.end()) {
        texture = cached->second;
    } else {
        texture = readTexture(path);
        if (!texture) {
            return nullptr;
        }
    }
    keep(path, name, texture, sprite);
    return texture;
}

std::shared_ptr<sf::Texture> AssetManager::readTexture(const std::string& path) {
    if (unreadable.count(path) != 0) {
        return nullptr;
    }
    auto texture = std::make_shared<sf::Texture>();
    if (!texture->loadFromFile(contentPath(path))) {
        reportProblem("Couldn't load texture %s", path.c_str());
        unreadable.insert(path);
        return nullptr;
    }
    texture->setSmooth(smooth);
    return texture;
}

void AssetManager::keep(const std::string& path, const std::string& name,
                        const std::shared_ptr<sf::Texture>& texture, std::shared_ptr<sf::Sprite>& sprite) {
    textures.emplace(path, texture);
    sprite = std::make_shared<sf::Sprite>(*texture);
    sprites.emplace(name, sprite);
    spriteSources.emplace(name, path);
}

std::shared_ptr<sf::Texture> AssetManager::loadTexture(const std::string& path, const std::string& name) {
    std::shared_ptr<sf::Sprite> discarded;
    return loadTexture(path, name, discarded);
}

std::shared_ptr<sf::Texture> AssetManager::loadTexture(const std::string& path) {
    return loadTexture(path, path);
}

std::shared_ptr<sf::Texture> AssetManager::getTexture(const std::string& path) {
    auto found = textures.find(path);
    if (found != textures.end()) {
        return found->second;
    }
    return loadTexture(path);
}

std::shared_ptr<sf::Sprite> AssetManager::getSprite(const std::string& name) {
    auto found = sprites.find(name);
    if (found != sprites.end()) {
        return found->second;
    }
    std::shared_ptr<sf::Sprite> sprite;
    loadTexture(name, name, sprite);
    return sprite;
}

bool AssetManager::loadTileset(const std::string& path, int tileWidth, int tileHeight, int margin,
                               int spacing, int tileCount) {
    if (tileWidth <= 0 || tileHeight <= 0 || margin < 0 || spacing < 0) {
        reportProblem("Tileset %s has an invalid tile size %dx%d, margin %d or spacing %d", path.c_str(),
                      tileWidth, tileHeight, margin, spacing);
        return false;
    }
    if (textures.count(path) != 0) {
        return false;
    }
    // Cached only once it is known to be cut: a refused tileset leaves nothing behind.
    auto texture = readTexture(path);
    if (!texture) {
        return false;
    }
    const TilesetGrid grid = TilesetGrid::of(texture->getSize(), tileWidth, tileHeight, margin, spacing);
    long long tiles = static_cast<long long>(grid.cutColumns) * grid.cutRows;
    if (tiles > maxTilesetTiles) {
        throw std::length_error("tileset image " + path + " would be cut into " + std::to_string(tiles) +
                                " tiles of " + std::to_string(tileWidth) + " x " +
                                std::to_string(tileHeight) + " pixels, more than " +
                                std::to_string(maxTilesetTiles));
    }
    std::shared_ptr<sf::Sprite> whole;
    keep(path, path, texture, whole);
    for (int column = 0; column < grid.cutColumns; ++column) {
        for (int row = 0; row < grid.cutRows; ++row) {
            // Numbered by whole columns, as the map editor counts them.
            const long long number = column + 1LL + static_cast<long long>(grid.columns) * row;
            if (tileCount > 0 && number > tileCount) {
                continue;
            }
            const std::string name = path + std::to_string(number);
            sprites.emplace(name, std::make_shared<sf::Sprite>(*texture, grid.rectangle(column, row)));
            spriteSources.emplace(name, path);
        }
    }
    return true;
}

AssetManager::AtlasEntries AssetManager::readAtlasEntries(const std::string& path) {
    std::vector<char> text = readFile(path);
    rapidxml::xml_document<> document;
    parseXml(document, text.data());
    auto* atlas = document.first_node("TextureAtlas");
    if (!atlas) {
        throw std::runtime_error("no TextureAtlas element in " + path);
    }
    const char* imageAttribute = attributeValue(atlas, "imagePath");
    if (!imageAttribute) {
        throw std::runtime_error("TextureAtlas without imagePath in " + path);
    }
    AtlasEntries entries;
    entries.imagePath = directoryOfPath(path) + imageAttribute;
    for (auto* sub = atlas->first_node("SubTexture"); sub; sub = sub->next_sibling("SubTexture")) {
        const char* name = attributeValue(sub, "name");
        const char* x = attributeValue(sub, "x");
        const char* y = attributeValue(sub, "y");
        const char* width = attributeValue(sub, "width");
        const char* height = attributeValue(sub, "height");
        if (!name || !x || !y || !width || !height) {
            throw std::runtime_error("SubTexture without name, x, y, width or height in " + path);
        }
        // The first entry under a name wins, as everywhere in the stores.
        entries.pieces.emplace(name,
                               sf::IntRect(std::atoi(x), std::atoi(y), std::atoi(width), std::atoi(height)));
    }
    return entries;
}

namespace {
// Reports a failed atlas load in one line that names the file.
void reportAtlasFailure(const std::string& path, std::string message) {
    if (message.empty()) {
        message = "Unknown exception";
    }
    // The XML parser's messages do not say which file they are about.
    if (message.find(path) == std::string::npos) {
        message = path + ": " + message;
    }
    reportProblemWithDetail("Loading failed:", message);
}
} // namespace

bool AssetManager::loadAtlas(const std::string& path) {
    try {
        // Every entry is read before anything is stored, so that a malformed
        // atlas leaves nothing half-loaded behind.
        const AtlasEntries entries = readAtlasEntries(path);
        auto texture = loadTexture(entries.imagePath);
        if (!texture) {
            return false;
        }
        for (const auto& [name, rectangle] : entries.pieces) {
            if (sprites.emplace(name, std::make_shared<sf::Sprite>(*texture, rectangle)).second) {
                spriteSources.emplace(name, entries.imagePath);
            }
        }
        atlasImages[path] = entries.imagePath;
        return true;
    } catch (const std::exception& error) {
        reportAtlasFailure(path, error.what());
    } catch (...) {
        reportAtlasFailure(path, "");
    }
    return false;
}

AssetManager::PixelRead AssetManager::readAtlasPixels(const std::string& path) {
    PixelRead read;
    try {
        AtlasEntries entries = readAtlasEntries(path);
        read.imagePath = entries.imagePath;
        read.pixels.pieces = std::move(entries.pieces);
        read.pixels.image = std::make_unique<sf::Image>();
        read.imageRead = read.pixels.image->loadFromFile(contentPath(read.imagePath));
    } catch (const std::exception& error) {
        read.failure = error.what();
        read.failure = read.failure.empty() ? "Unknown exception" : read.failure;
    } catch (...) {
        read.failure = "Unknown exception";
    }
    return read;
}

void AssetManager::startLoadingAtlasPixels(const std::string& path) {
    if (atlasPixels.count(path) != 0 || pendingPixels.count(path) != 0) {
        return;
    }
    // Only the file and the image decoder are touched there: the stores
    // are the calling thread's.
    pendingPixels.emplace(path, std::async(std::launch::async, &AssetManager::readAtlasPixels, path));
}

bool AssetManager::atlasPixelsReady(const std::string& path) const {
    const auto pending = pendingPixels.find(path);
    return pending != pendingPixels.end() &&
           pending->second.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

bool AssetManager::loadAtlasPixels(const std::string& path) {
    if (atlasPixels.count(path) != 0) {
        return true;
    }
    PixelRead read;
    const auto pending = pendingPixels.find(path);
    if (pending != pendingPixels.end()) {
        read = pending->second.get();
        pendingPixels.erase(pending);
    } else {
        read = readAtlasPixels(path);
    }
    if (!read.failure.empty()) {
        reportAtlasFailure(path, read.failure);
        return false;
    }
    if (!read.imageRead) {
        // Reported once, like a texture that cannot be read.
        if (unreadable.insert(read.imagePath).second) {
            reportProblem("Couldn't load image %s", read.imagePath.c_str());
        }
        return false;
    }
    atlasPixels[path] = std::move(read.pixels);
    atlasImages[path] = read.imagePath;
    return true;
}

const sf::Image* AssetManager::findPiece(const std::string& name, sf::IntRect& rectangle) const {
    for (const auto& [path, atlas] : atlasPixels) {
        const auto piece = atlas.pieces.find(name);
        if (piece != atlas.pieces.end()) {
            // Clipped to the image: content may name pixels it does not have.
            const sf::Vector2u size = atlas.image->getSize();
            sf::IntRect inside;
            if (!piece->second.intersects(
                    sf::IntRect(0, 0, static_cast<int>(size.x), static_cast<int>(size.y)), inside)) {
                inside = sf::IntRect();
            }
            rectangle = inside;
            return atlas.image.get();
        }
    }
    return nullptr;
}

void AssetManager::unloadAtlas(const std::string& path) {
    const auto atlas = atlasImages.find(path);
    if (atlas == atlasImages.end()) {
        return;
    }
    const std::string imagePath = atlas->second;
    atlasImages.erase(atlas);
    atlasPixels.erase(path);
    for (auto source = spriteSources.begin(); source != spriteSources.end();) {
        if (source->second == imagePath) {
            sprites.erase(source->first);
            source = spriteSources.erase(source);
        } else {
            ++source;
        }
    }
    textures.erase(imagePath);
}

std::vector<char> AssetManager::readFile(const std::string& path) {
    std::ifstream file(contentPath(path), std::ios::binary);
    if (!file) {
        throw std::runtime_error("cannot open file " + path);
    }
    file.seekg(0, std::ios::end);
    const std::streamoff size = file.tellg();
    file.seekg(0, std::ios::beg);
    if (size < 0) {
        throw std::runtime_error("cannot read file " + path);
    }
    std::vector<char> buffer(static_cast<size_t>(size) + 1, '\0');
    file.read(buffer.data(), size);
    return buffer;
}
