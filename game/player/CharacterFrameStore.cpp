#include "game/player/CharacterFrameStore.hpp"

#include <cstdio>

#include <SFML/Graphics/Sprite.hpp>

#include "scene/AssetManager.hpp"

namespace {
// Atlas sprites are shared with every other user: draw through copies placed at the origin.
void drawLayer(sf::RenderTexture& target, const std::shared_ptr<sf::Sprite>& layer, const sf::Color* tint) {
    if (!layer) {
        return;
    }
    sf::Sprite copy = *layer;
    copy.setOrigin(0.0f, 0.0f);
    copy.setPosition(0.0f, 0.0f);
    copy.setRotation(0.0f);
    copy.setScale(1.0f, 1.0f);
    copy.setColor(tint ? *tint : sf::Color::White);
    target.draw(copy);
}
} // namespace

CharacterFrameStore& CharacterFrameStore::instance() {
    static CharacterFrameStore store;
    return store;
}

const std::vector<AnimationFrame>& CharacterFrameStore::animation(const std::string& name, int frameCount,
                                                                  float frameDuration,
                                                                  const PlayerColors& colors, unsigned side) {
    const Key key{
        name,         side, colors.clothes1.toInteger(), colors.clothes2.toInteger(), colors.hair.toInteger(),
        frameDuration};
    const auto found = animations.find(key);
    if (found != animations.end()) {
        return found->second;
    }
    std::vector<AnimationFrame> frames;
    for (int i = 0; i < frameCount; ++i) {
        auto texture = compose(name, "_" + std::to_string(i) + ".png", colors, side);
        if (!texture) {
            std::printf("Couldn't create frame %d of the animation %s\n", i, name.c_str());
            continue;
        }
        textures.push_back(texture);
        frames.push_back({std::make_shared<sf::Sprite>(*texture), frameDuration});
    }
    // The canvas's frame buffer is only needed while composing.
    canvas.reset();
    return animations.emplace(key, std::move(frames)).first->second;
}

std::shared_ptr<sf::Texture> CharacterFrameStore::compose(const std::string& prefix,
                                                          const std::string& suffix,
                                                          const PlayerColors& colors, unsigned side) {
    if (!canvas || canvas->getSize() != sf::Vector2u(side, side)) {
        canvas = std::make_unique<sf::RenderTexture>();
        if (!canvas->create(side, side)) {
            canvas.reset();
            return nullptr;
        }
    }
    auto& assets = AssetManager::instance();
    canvas->clear(sf::Color::Transparent);
    drawLayer(*canvas, assets.getSprite(prefix + "_color" + suffix), nullptr);
    drawLayer(*canvas, assets.getSprite(prefix + "_clothes1" + suffix), &colors.clothes1);
    drawLayer(*canvas, assets.getSprite(prefix + "_clothes2" + suffix), &colors.clothes2);
    drawLayer(*canvas, assets.getSprite(prefix + "_hair" + suffix), &colors.hair);
    canvas->display();
    // A plain texture keeps the picture without the canvas's frame buffer.
    auto texture = std::make_shared<sf::Texture>();
    if (!texture->loadFromImage(canvas->getTexture().copyToImage())) {
        return nullptr;
    }
    texture->generateMipmap();
    return texture;
}
