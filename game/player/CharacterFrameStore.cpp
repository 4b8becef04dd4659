#include "game/player/CharacterFrameStore.hpp"

#include <algorithm>
#include <utility>
#include <vector>

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/Sprite.hpp>

#include "core/Report.hpp"
#include "render/AssetManager.hpp"

namespace {
// One channel of `value` times `tint`, both 0 to 255, rounded.
sf::Uint8 tinted(sf::Uint8 value, sf::Uint8 tint) {
    return static_cast<sf::Uint8>((value * tint + 127) / 255);
}

// Draws `rectangle` of `source`, tinted (the picture's colour times the
// tint, as a sprite's colour does), over `target` at its top-left corner,
// blended as a sprite is drawn over the frame: the piece's colour in
// proportion to its alpha, what lies beneath in the rest.
void drawPiece(sf::Image& target, const sf::Image& source, const sf::IntRect& rectangle, sf::Color tint) {
    const sf::Vector2u size = target.getSize();
    const int width = std::min(rectangle.width, static_cast<int>(size.x));
    const int height = std::min(rectangle.height, static_cast<int>(size.y));
    const unsigned sourceWidth = source.getSize().x;
    const sf::Uint8* from = source.getPixelsPtr();
    // sf::Image hands out its pixels only as const; they are its own vector.
    auto* to = const_cast<sf::Uint8*>(target.getPixelsPtr());
    for (int y = 0; y < height; ++y) {
        const sf::Uint8* in = from + 4u * (sourceWidth * static_cast<unsigned>(rectangle.top + y) +
                                           static_cast<unsigned>(rectangle.left));
        sf::Uint8* out = to + 4u * size.x * static_cast<unsigned>(y);
        for (int x = 0; x < width; ++x, in += 4, out += 4) {
            const int alpha = tinted(in[3], tint.a);
            if (alpha == 0) {
                continue;
            }
            const int rest = 255 - alpha;
            out[0] = static_cast<sf::Uint8>((tinted(in[0], tint.r) * alpha + out[0] * rest + 127) / 255);
            out[1] = static_cast<sf::Uint8>((tinted(in[1], tint.g) * alpha + out[1] * rest + 127) / 255);
            out[2] = static_cast<sf::Uint8>((tinted(in[2], tint.b) * alpha + out[2] * rest + 127) / 255);
            out[3] = static_cast<sf::Uint8>(alpha + (out[3] * rest + 127) / 255);
        }
    }
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

void CharacterFrameStore::warmUpRenderer() {
    // As large as a figure: the renderer prepares its passes by size too.
    sf::Image figure;
    figure.create(96, 192, sf::Color::White);
    sf::Vector2i corner;
    trimmedTexture(figure, corner);
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
    // The sprite is the trimmed texture alone, so only its pixels are
    // drawn; its origin is the frame's centre, where the whole frame's
    // would be.
    const float half = static_cast<float>(side) / 2.0f;
    animation.frames.push_back(
        {std::make_shared<sf::Sprite>(*texture), frameDuration,
         sf::Vector2f(static_cast<float>(corner.x) + half, static_cast<float>(corner.y) + half)});
}

const std::vector<AnimationFrame>& CharacterFrameStore::animation(const std::string& name, int frameCount,
                                                                  float frameDuration,
                                                                  const PlayerColors& colors, unsigned side) {
    Entry& found = entry(name, frameDuration, colors, side);
    while (found.composed < frameCount) {
        composeNext(found, name, frameDuration, colors, side);
    }
    return found.frames;
}

bool CharacterFrameStore::prepareFrame(const std::string& name, int frameCount, float frameDuration,
                                       const PlayerColors& colors, unsigned side) {
    Entry& found = entry(name, frameDuration, colors, side);
    if (found.composed >= frameCount) {
        return false;
    }
    composeNext(found, name, frameDuration, colors, side);
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
    const std::pair<std::string, sf::Color> layers[] = {{prefix + "_color" + suffix, sf::Color::White},
                                                        {prefix + "_clothes1" + suffix, colors.clothes1},
                                                        {prefix + "_clothes2" + suffix, colors.clothes2},
                                                        {prefix + "_hair" + suffix, colors.hair}};
    // Composed on the processor from the atlas's pixels: a texture of the
    // atlas would double its memory and each frame would cost render passes
    // and a read back.
    struct Piece {
        const sf::Image* image;
        sf::IntRect rectangle;
        sf::Color tint;
    };
    std::vector<Piece> pieces;
    sf::Vector2u extent(1, 1);
    for (const auto& [name, tint] : layers) {
        Piece piece{nullptr, {}, tint};
        piece.image = AssetManager::instance().findPiece(name, piece.rectangle);
        if (!piece.image) {
            reportProblem("Couldn't find the picture %s", name.c_str());
            continue;
        }
        pieces.push_back(piece);
        extent.x = std::max(extent.x, static_cast<unsigned>(piece.rectangle.width));
        extent.y = std::max(extent.y, static_cast<unsigned>(piece.rectangle.height));
    }
    if (pieces.empty()) {
        return nullptr;
    }
    sf::Image picture;
    picture.create(std::min(side, extent.x), std::min(side, extent.y), sf::Color::Transparent);
    for (const Piece& piece : pieces) {
        drawPiece(picture, *piece.image, piece.rectangle, piece.tint);
    }
    return trimmedTexture(picture, corner);
}
