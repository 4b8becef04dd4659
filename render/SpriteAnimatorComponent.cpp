#include "render/SpriteAnimatorComponent.hpp"

#include <algorithm>

#include "render/SpriteRendererComponent.hpp"
#include "scene/GameObject.hpp"

void SpriteAnimatorComponent::init() {
    if (auto owner = getGameObject()) {
        renderer = owner->getComponent<SpriteRendererComponent>();
    }
}

void SpriteAnimatorComponent::update(float delta, float) {
    auto target = renderer.lock();
    if (!target) {
        init();
        target = renderer.lock();
    }
    if (frames.empty() || !target) {
        return;
    }
    elapsed += delta * speed;
    if (frameDuration <= elapsed) {
        elapsed -= frameDuration;
        const int32_t count = static_cast<int32_t>(frames.size());
        int32_t next = frameIndex + 1;
        // Past the end (also when `frames` was shortened behind our back) a
        // looping animation starts over and a one-shot one stays on its last frame.
        if (next >= count) {
            next = loop ? 0 : std::min(frameIndex, count - 1);
        }
        frameIndex = next;
        target->setFrame(frames[static_cast<size_t>(next)]);
        frameDuration = frames[static_cast<size_t>(next)].duration;
    }
}

void SpriteAnimatorComponent::setAnimation(const std::vector<AnimationFrame>& animation) {
    frames = animation;
    frameIndex = 0;
    elapsed = 0.0f;
}

std::function<void()> SpriteAnimatorComponent::keepShown() {
    return [this, kept = frames, index = frameIndex, clock = elapsed, duration = frameDuration] {
        frames = kept;
        frameIndex = index;
        elapsed = clock;
        frameDuration = duration;
        auto target = renderer.lock();
        if (target && index >= 0 && static_cast<size_t>(index) < frames.size()) {
            target->setFrame(frames[static_cast<size_t>(index)]);
        }
    };
}
