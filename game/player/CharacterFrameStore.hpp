#pragma once

#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include <SFML/Graphics/Texture.hpp>

#include "core/FreshState.hpp"
#include "game/player/PlayerColors.hpp"
#include "render/AnimationFrame.hpp"

// The player character's animation frames in a colour scheme. Each frame is
// composed on the processor from the four layers of the character atlas
// loaded as pixels (`AssetManager::loadAtlasPixels`): "<name>_color_<i>.png"
// as it is, "_clothes1", "_clothes2" and "_hair" tinted with the scheme. It
// becomes a texture of its own with a mipmap chain, trimmed to the pixels
// the layers draw plus a transparent margin (the sprite still spans the
// whole frame: its rectangle reaches past the texture's edges). Composing
// takes a while, so the frames of a scheme are made the first time a player
// asks for them (or, bit by bit, by `prepareFrame` before that) and then
// shared by every later match of the program. A layer no loaded atlas has
// is reported and left out.
//
// Textures and sprites are owned here for the program's life; the sprites are
// shared with every animator that plays them (their origin is set by the
// renderer that shows them, the same for all).
class CharacterFrameStore {
public:
    static CharacterFrameStore& instance();
    CharacterFrameStore(const CharacterFrameStore&) = delete;
    CharacterFrameStore& operator=(const CharacterFrameStore&) = delete;
    // Back to the just-constructed store: every frame is forgotten (animators
    // that still hold frames keep their textures alive).
    void reset();

    // The animation `name` ("idle", "run", ...) of `frameCount` frames of
    // `side` x `side` pixels, each shown `frameDuration` seconds, in
    // `colors`. A frame whose texture cannot be made is reported in one line
    // and left out (once: the animation is not composed again).
    const std::vector<AnimationFrame>& animation(const std::string& name, int frameCount, float frameDuration,
                                                 const PlayerColors& colors, unsigned side);

    // Composes the next frame of that animation that is not made yet, so
    // that idle frames (the title menu's) can prepare a match; false when the
    // animation was complete already.
    bool prepareFrame(const std::string& name, int frameCount, float frameDuration,
                      const PlayerColors& colors, unsigned side);

    // Makes and drops one empty frame texture. The renderer may prepare its
    // mipmap pass the first time one is made (about 75 ms in software), so
    // the game does it while it starts rather than in a shown frame.
    static void warmUpRenderer();

    // Whether every frame of that animation has been composed (or tried).
    bool isComplete(const std::string& name, int frameCount, float frameDuration, const PlayerColors& colors,
                    unsigned side);

private:
    // An animation's frames, composed in order; `composed` counts the tries.
    struct Entry {
        std::vector<AnimationFrame> frames;
        int composed = 0;
    };

    CharacterFrameStore() = default;
    // For `reset` only: the singleton is never copied or moved otherwise.
    CharacterFrameStore(CharacterFrameStore&&) = default;
    CharacterFrameStore& operator=(CharacterFrameStore&&) = default;
    friend void replaceWithFresh<>(CharacterFrameStore&, CharacterFrameStore);
    Entry& entry(const std::string& name, float frameDuration, const PlayerColors& colors, unsigned side);
    void composeNext(Entry& animation, const std::string& name, float frameDuration,
                     const PlayerColors& colors, unsigned side);
    // The frame's texture, trimmed to its drawn pixels; `corner` is where
    // the frame's top-left corner falls on it.
    std::shared_ptr<sf::Texture> compose(const std::string& prefix, const std::string& suffix,
                                         const PlayerColors& colors, unsigned side, sf::Vector2i& corner);

    using Key = std::tuple<std::string, unsigned, sf::Uint32, sf::Uint32, sf::Uint32, float>;
    std::map<Key, Entry> animations;
    std::vector<std::shared_ptr<sf::Texture>> textures;
};
