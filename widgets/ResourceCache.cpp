#include "widgets/ResourceCache.hpp"

#include <map>
#include <utility>
#include <vector>

#include "widgets/ProblemReport.hpp"

namespace widgets {

namespace {
struct Store {
    std::string fontPath = "../assets/fonts/DejaVuSans.ttf";
    std::unique_ptr<sf::Font> font;
    // Fonts replaced by a new path stay alive: texts may still point at them.
    std::vector<std::unique_ptr<sf::Font>> retiredFonts;
    bool fontTried = false;
    // Failed loads are kept as null entries, so each is reported only once.
    std::map<std::pair<std::string, bool>, std::shared_ptr<const sf::Texture>> textures;
};

Store& store() {
    static Store instance;
    return instance;
}
} // namespace

const sf::Font* ResourceCache::font() {
    Store& cache = store();
    if (!cache.fontTried) {
        cache.fontTried = true;
        auto font = std::make_unique<sf::Font>();
        const bool loaded = font->loadFromFile(cache.fontPath);
        if (cache.font) {
            cache.retiredFonts.push_back(std::move(cache.font));
        }
        if (loaded) {
            cache.font = std::move(font);
        } else {
            reportProblem("Couldn't load font " + cache.fontPath);
        }
    }
    return cache.font.get();
}

void ResourceCache::setFontPath(const std::string& path) {
    Store& cache = store();
    if (path != cache.fontPath) {
        cache.fontPath = path;
        cache.fontTried = false;
    }
}

void ResourceCache::reset() {
    // The old store goes after the fresh one is in place.
    Store old = std::move(store());
    store() = Store();
}

std::shared_ptr<const sf::Texture> ResourceCache::texture(const std::string& path, bool smooth) {
    auto& textures = store().textures;
    const auto key = std::make_pair(path, smooth);
    const auto found = textures.find(key);
    if (found != textures.end()) {
        return found->second;
    }
    auto texture = std::make_shared<sf::Texture>();
    std::shared_ptr<const sf::Texture> result;
    if (texture->loadFromFile(path)) {
        texture->setSmooth(smooth);
        result = std::move(texture);
    } else {
        reportProblem("Couldn't load texture " + path);
    }
    textures.emplace(key, result);
    return result;
}

} // namespace widgets
