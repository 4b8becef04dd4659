#pragma once

#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Graphics/Texture.hpp>

#include "game/player/PlayerColors.hpp"
#include "render/AnimationFrame.hpp"

// The player character's animation frames in a colour scheme. Each frame is
// composed from the character atlas's four layers ("<name>_color_<i>.png"
// as it is, "_clothes1", "_clothes2" and "_hair" tinted with the scheme)
// into a texture of its own with a mipmap chain. That costs a render pass per
// layer, so the frames of a scheme are made the first time a player asks for
// them and then shared by every later match of the program.
//
// Textures and sprites are owned here for the program's life; the sprites are
// shared with every animator that plays them (their origin is set by the
// renderer that shows them, the same for all).
class CharacterFrameStore {
public:
    static CharacterFrameStore& instance();
    CharacterFrameStore(const CharacterFrameStore&) = delete;
    CharacterFrameStore& operator=(const CharacterFrameStore&) = delete;

    // The animation `name` ("idle", "run", ...) of `frameCount` frames of
    // `side` x `side` pixels, each shown `frameDuration` seconds, in
    // `colors`. A frame whose texture cannot be made is reported in one line
    // and left out (once: the animation is not composed again).
    const std::vector<AnimationFrame>& animation(const std::string& name, int frameCount, float frameDuration,
                                                 const PlayerColors& colors, unsigned side);

    // How many animations have been composed so far.
    size_t composedCount() const { return animations.size(); }

private:
    CharacterFrameStore() = default;
    std::shared_ptr<sf::Texture> compose(const std::string& prefix, const std::string& suffix,
                                         const PlayerColors& colors, unsigned side);

    using Key = std::tuple<std::string, unsigned, sf::Uint32, sf::Uint32, sf::Uint32, float>;
    std::map<Key, std::vector<AnimationFrame>> animations;
    std::vector<std::shared_ptr<sf::Texture>> textures;
    // Where frames are composed before they are copied into their own texture.
    std::unique_ptr<sf::RenderTexture> canvas;
};
