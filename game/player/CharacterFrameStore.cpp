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
// Transparent texels kept around a frame's drawn pixels. The sprite reads
// beyond the texture's edge as the edge's texels, so these must stay
// transparent in the mipmap levels a zoomed-out view uses (the first three
// here).
constexpr int margin = 8;

// The part of `picture` that holds drawn pixels, as a mipmapped texture
// with a transparent margin; `corner` is where the picture's top-left
// corner falls on it. A figure covers about a third of its frame, so this
// keeps a third of the texels.
std::shared_ptr<sf::Texture> trimmedTexture(const sf::Image& picture, sf::Vector2i& corner) {
    const sf::Vector2u size = picture.getSize();
    const sf::Uint8* pixels = picture.getPixelsPtr();
    int left = static_cast<int>(size.x), top = static_cast<int>(size.y), right = 0, bottom = 0;
    for (unsigned y = 0; y < size.y; ++y) {
        const sf::Uint8* row = pixels + 4u * size.x * y;
        for (unsigned x = 0; x < size.x; ++x) {
            if (row[4u * x + 3] != 0) {
                left = std::min(left, static_cast<int>(x));
                right = std::max(right, static_cast<int>(x) + 1);
                top = std::min(top, static_cast<int>(y));
                bottom = std::max(bottom, static_cast<int>(y) + 1);
            }
        }
    }
    if (right <= left) {
        // Nothing drawn: a frame of nothing but margin.
        left = top = right = bottom = 0;
    }
    sf::Image trimmed;
    trimmed.create(static_cast<unsigned>(right - left + 2 * margin),
                   static_cast<unsigned>(bottom - top + 2 * margin), sf::Color::Transparent);
    trimmed.copy(picture, margin, margin, sf::IntRect(left, top, right - left, bottom - top));
    corner = sf::Vector2i(margin - left, margin - top);
    auto texture = std::make_shared<sf::Texture>();
    if (!texture->loadFromImage(trimmed)) {
        return nullptr;
    }
    texture->generateMipmap();
    return texture;
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
    sf::Vector2i corner;
    auto texture = compose(name, "_" + std::to_string(index) + ".png", colors, side, corner);
    if (!texture) {
        reportProblem("Couldn't create frame %d of the animation %s", index, name.c_str());
        return;
    }
    textures.push_back(texture);
    // The sprite spans the whole frame: its rectangle starts where the
    // frame's top-left corner falls on the trimmed texture.
    const int frameSide = static_cast<int>(side);
    animation.frames.push_back(
        {std::make_shared<sf::Sprite>(*texture, sf::IntRect(corner.x, corner.y, frameSide, frameSide)),
         frameDuration});
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
                                                          const PlayerColors& colors, unsigned side,
                                                          sf::Vector2i& corner) {
    auto& assets = AssetManager::instance();
    const std::shared_ptr<sf::Sprite> layers[] = {
        assets.getSprite(prefix + "_color" + suffix), assets.getSprite(prefix + "_clothes1" + suffix),
        assets.getSprite(prefix + "_clothes2" + suffix), assets.getSprite(prefix + "_hair" + suffix)};
    sf::Vector2u extent(0, 0);
    for (const auto& layer : layers) {
        if (layer) {
            const sf::IntRect rectangle = layer->getTextureRect();
            extent.x = std::max(extent.x, static_cast<unsigned>(std::max(0, rectangle.width)));
            extent.y = std::max(extent.y, static_cast<unsigned>(std::max(0, rectangle.height)));
        }
    }
    extent.x = std::min(side, std::max(1u, extent.x));
    extent.y = std::min(side, std::max(1u, extent.y));
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
    return trimmedTexture(canvas->getTexture().copyToImage(), corner);
}
