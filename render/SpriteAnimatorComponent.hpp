#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "render/AnimationFrame.hpp"
#include "scene/Component.hpp"

class SpriteRendererComponent;

// Plays a frame animation on the SpriteRendererComponent of its game object:
// each update it swaps the renderer's sprite when the current frame's time
// has run out, at most one frame per update, carrying the overshoot over.
class SpriteAnimatorComponent : public Component {
public:
    // Finds the object's renderer; the owner-active flag is left as built.
    void init() override;
    void update(float delta, float time) override;
    // Replaces the animation and restarts its clock; the renderer keeps its
    // sprite until the current frame's time has run out.
    void setAnimation(const std::vector<AnimationFrame>& animation);
    // The animation, its frame and clock, and the renderer's frame with them.
    std::function<void()> keepShown() override;

    // Observed; looked up again while missing (it may be added later).
    std::weak_ptr<SpriteRendererComponent> renderer;
    std::vector<AnimationFrame> frames;
    // Seconds since the last frame change.
    float elapsed = 0.0f;
    // Seconds the frame shown last stays.
    float frameDuration = 0.0f;
    // Index into `frames` of the frame shown last.
    int32_t frameIndex = 0;
    // Playback rate; multiplies the frame delta.
    float speed = 1.0f;
    // Whether the animation starts again after its last frame, or stays there.
    bool loop = true;
};
