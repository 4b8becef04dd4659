#include "game/player/CharacterFrameStore.hpp"

#include <algorithm>

#include <SFML/Graphics/Sprite.hpp>

#include "core/Report.hpp"
#include "render/AssetManager.hpp"

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

void CharacterFrameStore::reset() {
    replaceWithFresh(*this, CharacterFrameStore());
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
        reportProblem("Couldn't create frame %d of the animation %s", index, name.c_str());
        return;
    }
    textures.push_back(texture);
    const int frameSide = static_cast<int>(side);
    animation.frames.push_back(
        {std::make_shared<sf::Sprite>(*texture, sf::IntRect(0, 0, frameSide, frameSide)), frameDuration});
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

bool CharacterFrameStore::isComplete(const std::string& name, int frameCount, float frameDuration,
                                     const PlayerColors& colors, unsigned side) {
    return entry(name, frameDuration, colors, side).composed >= frameCount;
}

std::shared_ptr<sf::Texture> CharacterFrameStore::compose(const std::string& prefix,
                                                          const std::string& suffix,
                                                          const PlayerColors& colors, unsigned side) {
    auto& assets = AssetManager::instance();
    const std::shared_ptr<sf::Sprite> layers[] = {
        assets.getSprite(prefix + "_color" + suffix), assets.getSprite(prefix + "_clothes1" + suffix),
        assets.getSprite(prefix + "_clothes2" + suffix), assets.getSprite(prefix + "_hair" + suffix)};
    // The frame's texture is only as large as its layers (the art leaves
    // much of a frame empty), with a transparent margin; the sprite still
    // spans the whole frame, and beyond the texture's edge it reads the
    // margin's transparent pixels. The margin is wide enough to stay
    // transparent in the first few mipmap levels.
    constexpr int margin = 8;
    sf::Vector2u extent(0, 0);
    for (const auto& layer : layers) {
        if (layer) {
            const sf::IntRect rectangle = layer->getTextureRect();
            extent.x = std::max(extent.x, static_cast<unsigned>(std::max(0, rectangle.width)));
            extent.y = std::max(extent.y, static_cast<unsigned>(std::max(0, rectangle.height)));
        }
    }
    extent.x = std::min(side, std::max(1u, extent.x + margin));
    extent.y = std::min(side, std::max(1u, extent.y + margin));
    if (!canvas || canvas->getSize() != extent) {
        canvas = std::make_unique<sf::RenderTexture>();
        if (!canvas->create(extent.x, extent.y)) {
            canvas.reset();
            return nullptr;
        }
    }
    canvas->clear(sf::Color::Transparent);
    drawLayer(*canvas, layers[0], nullptr);
    drawLayer(*canvas, layers[1], &colors.clothes1);
    drawLayer(*canvas, layers[2], &colors.clothes2);
    drawLayer(*canvas, layers[3], &colors.hair);
    canvas->display();
    // A plain texture keeps the picture without the canvas's frame buffer.
    auto texture = std::make_shared<sf::Texture>();
    if (!texture->loadFromImage(canvas->getTexture().copyToImage())) {
        return nullptr;
    }
    texture->generateMipmap();
    return texture;
}
