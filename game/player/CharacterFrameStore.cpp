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

CharacterFrameStore::Entry& CharacterFrameStore::entry(const std::string& name, float frameDuration,
                                                       const PlayerColors& colors, unsigned side) {
    const Key key{
        name,         side, colors.clothes1.toInteger(), colors.clothes2.toInteger(), colors.hair.toInteger(),
        frameDuration};
    return animations[key];
}

void CharacterFrameStore::composeNext(Entry& animation, const std::string& name, float frameDuration,
                                      const PlayerColors& colors, unsigned side) {
    const int index = animation.composed++;
    auto texture = compose(name, "_" + std::to_string(index) + ".png", colors, side);
    if (!texture) {
        std::printf("Couldn't create frame %d of the animation %s\n", index, name.c_str());
        return;
    }
    textures.push_back(texture);
    animation.frames.push_back({std::make_shared<sf::Sprite>(*texture), frameDuration});
}

const std::vector<AnimationFrame>& CharacterFrameStore::animation(const std::string& name, int frameCount,
                                                                  float frameDuration,
                                                                  const PlayerColors& colors, unsigned side) {
    Entry& found = entry(name, frameDuration, colors, side);
    while (found.composed < frameCount) {
        composeNext(found, name, frameDuration, colors, side);
    }
    // The canvas's frame buffer is only needed while composing.
    canvas.reset();
    return found.frames;
}

bool CharacterFrameStore::prepareFrame(const std::string& name, int frameCount, float frameDuration,
                                       const PlayerColors& colors, unsigned side) {
    Entry& found = entry(name, frameDuration, colors, side);
    if (found.composed >= frameCount) {
        return false;
    }
    composeNext(found, name, frameDuration, colors, side);
    if (found.composed >= frameCount) {
        canvas.reset();
    }
    return true;
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
